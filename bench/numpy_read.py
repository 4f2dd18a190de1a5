#!/usr/bin/env python3
"""The plain NumPy baseline for `cellsonify inspect`: reads every number of a
data file into one array, as a quick analysis script would (NumPy's own text
parser, blank-separated; a line break separates too), and prints the count
and sum so nothing is skipped.
   python3 bench/numpy_read.py FILE
Measured beside the whole `cellsonify inspect FILE` process writing to a pipe:
   hyperfine -N 'python3 bench/numpy_read.py F' 'sh -c "cellsonify inspect F | cat >/dev/null"'
"""
import sys

import numpy as np

values = np.fromfile(sys.argv[1], dtype=np.float64, sep=" ")
print(len(values), values.sum())
