#!/usr/bin/python3
# The import's statistics done in NumPy, for comparison with the
# cellsonify_bench --import-suite2p run: load spks.npy, take each row's median
# and population std, and mark the onsets where z reaches 3.
import sys
import numpy as np

folder = sys.argv[1]
spks = np.load(folder + '/spks.npy').astype(np.float64)
iscell = np.load(folder + '/iscell.npy')[:, 0] == 1
stat = np.load(folder + '/stat.npy', allow_pickle=True)
x = spks[iscell]
med = np.nanmedian(x, axis=1, keepdims=True)
sd = np.nanstd(x, axis=1, keepdims=True)
with np.errstate(divide='ignore', invalid='ignore'):
    above = (x - med) / sd >= 3
onsets = above & ~np.concatenate([np.zeros((len(x), 1), bool), above[:, :-1]], axis=1)
print(int(onsets.sum()))
