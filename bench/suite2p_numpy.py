#!/usr/bin/python3
# The import's statistics done in NumPy, for comparison with the
# cellsonify_bench --import-suite2p run: read spks.npy in blocks of ROIs (the
# whole array would not fit beside the machine's other work), take each
# accepted row's median and population std, and count the onsets where z
# reaches 3. Prints the number of onsets.
import sys
import numpy as np

folder = sys.argv[1]
block = int(sys.argv[2]) if len(sys.argv) > 2 else 200
iscell = np.load(folder + '/iscell.npy')[:, 0] == 1
total = 0
with open(folder + '/spks.npy', 'rb') as f:
    version = np.lib.format.read_magic(f)
    shape, fortran, dtype = np.lib.format._read_array_header(f, version)
    assert not fortran
    rois, frames = shape
    for first in range(0, rois, block):
        n = min(block, rois - first)
        x = np.fromfile(f, dtype=dtype, count=n * frames).reshape(n, frames)
        x = x[iscell[first:first + n]].astype(np.float64)
        med = np.nanmedian(x, axis=1, keepdims=True)
        sd = np.nanstd(x, axis=1, keepdims=True)
        with np.errstate(divide='ignore', invalid='ignore'):
            above = (x - med) / sd >= 3
        onsets = above & ~np.concatenate([np.zeros((len(x), 1), bool), above[:, :-1]], axis=1)
        total += int(onsets.sum())
print(total)
