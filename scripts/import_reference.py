#!/usr/bin/python3
"""What an import should give, computed independently with NumPy and h5py
from the README's rules: for each accepted ROI its number, its file position
(X = centre column + 1, Y = image rows - centre row) and its event onsets
(z = (x - median) / std over finite samples, onset where z >= K after a
frame below K). Prints one line per cell: ROI X Y frames...

    /usr/bin/python3 scripts/import_reference.py PATH [K]

Compare with `cellsonify inspect PATH` (roi, frames) and `cellsonify convert
PATH -o out.txt` (X, Y). Reads suite2p plane folders (not run folders),
NWB 2 files and CaImAn results; the default trace of each."""
import os
import sys

import numpy as np

sys.modules.setdefault('numpy._core', np.core)  # pickles written by NumPy 2
sys.modules.setdefault('numpy._core.multiarray', np.core.multiarray)


def onsets(x, k):
    x = np.asarray(x, dtype=np.float64)
    finite = x[np.isfinite(x)]
    if finite.size == 0 or finite.std() == 0:
        return []
    z = (x - np.median(finite)) / finite.std()
    above = z >= k
    starts = above & np.concatenate(([True], ~above[:-1]))
    return [int(i) + 1 for i in np.flatnonzero(starts)]


def suite2p(folder):
    spks = np.load(os.path.join(folder, 'spks.npy'))
    rois = spks.shape[0]
    iscell_path = os.path.join(folder, 'iscell.npy')
    accepted = np.load(iscell_path)[:, 0] == 1 if os.path.exists(iscell_path) else np.ones(rois, bool)
    stat = np.load(os.path.join(folder, 'stat.npy'), allow_pickle=True)
    rows = max(float(np.max(s['ypix'])) + 1 for s in stat)
    ops_path = os.path.join(folder, 'ops.npy')
    if os.path.exists(ops_path):
        ops = np.load(ops_path, allow_pickle=True).item()
        rows = float(ops.get('Ly', rows))
    return [(r, float(stat[r]['med'][0]), float(stat[r]['med'][1]), spks[r]) for r in range(rois) if accepted[r]], rows


def nwb(path):
    import h5py
    f = h5py.File(path, 'r')
    found = []
    for module in f['processing'].values():
        for child in module.values():
            if child.attrs.get('neurodata_type') == 'RoiResponseSeries':
                found.append((child, module.name.split('/')[-1], ''))
                continue
            if not isinstance(child, h5py.Group):
                continue
            for s in child.values():
                if isinstance(s, h5py.Group) and s.attrs.get('neurodata_type') == 'RoiResponseSeries':
                    found.append((s, child.name.split('/')[-1], child.attrs.get('neurodata_type', '')))

    def table_of(s):
        return f[s['rois'].attrs['table']]

    def accepted_of(t):
        n = t['id'].shape[0]
        for column in ('iscell', 'Accepted'):
            if column in t:
                v = t[column][()]
                return (v[:, 0] if v.ndim == 2 else v) == 1
        return np.ones(n, bool)

    usable = [x for x in found if accepted_of(table_of(x[0]))[x[0]['rois'][()]].any()] or found
    name = lambda x: x[0].name.split('/')[-1]
    chosen = (next((x for x in usable if 'Deconvolved' in name(x) or 'Deconvolved' in x[1]), None) or
              next((x for x in usable if x[2] == 'DfOverF' or 'DfOverF' in x[1]), None) or
              next((x for x in usable if (x[2] == 'Fluorescence' or 'Fluorescence' in x[1]) and 'Neuropil' not in name(x)), None) or
              usable[0])
    s = chosen[0]
    t = table_of(s)
    region = s['rois'][()]
    data = s['data'][()]
    if data.ndim == 1:
        data = data[:, None]
    if data.shape[1] != len(region) and data.shape[0] == len(region):
        data = data.T
    accepted = accepted_of(t)
    ids = t['id'][()]
    masks = t['image_mask'][()]
    rows = masks.shape[1]
    out = []
    for j, r in enumerate(region):
        if not accepted[r]:
            continue
        m = np.where(np.isfinite(masks[r]) & (masks[r] > 0), masks[r], 0).astype(np.float64)
        yy, xx = np.mgrid[0:m.shape[0], 0:m.shape[1]]
        out.append((int(ids[r]), (m * yy).sum() / m.sum(), (m * xx).sum() / m.sum(), data[:, j]))
    return out, float(rows)


def caiman(path):
    import h5py
    f = h5py.File(path, 'r')
    e = f['estimates']
    S = e['S'][()]
    dims = f['dims'][()]
    rows = float(dims[0])
    A = e['A']
    data, indices, indptr = A['data'][()], A['indices'][()], A['indptr'][()]
    idx = e['idx_components']
    accepted = np.ones(S.shape[0], bool)
    if idx.dtype.kind in 'iuf':
        accepted[:] = False
        accepted[idx[()].astype(int)] = True
    out = []
    for k in range(S.shape[0]):
        if not accepted[k]:
            continue
        w = data[indptr[k]:indptr[k + 1]].astype(np.float64)
        p = indices[indptr[k]:indptr[k + 1]].astype(np.float64)
        keep = np.isfinite(w) & (w > 0)
        w, p = w[keep], p[keep]
        col = np.floor(p / rows)  # CaImAn's A is in Fortran (column-major) pixel order
        out.append((k, (w * (p - col * rows)).sum() / w.sum(), (w * col).sum() / w.sum(), S[k]))
    return out, rows


def main():
    path = sys.argv[1]
    k = float(sys.argv[2]) if len(sys.argv) > 2 else 3.0
    if os.path.isdir(path):
        cells, rows = suite2p(path)
    elif path.lower().endswith('.nwb'):
        cells, rows = nwb(path)
    else:
        cells, rows = caiman(path)
    for roi, row, column, trace in cells:
        print(roi, '%.6g' % (column + 1), '%.6g' % (rows - row), *onsets(trace, k))


main()
