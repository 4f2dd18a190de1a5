#!/usr/bin/python3
"""Writes the HDF5 seeds of hdf5_fuzz: a small NWB file and a small CaImAn
result, laid out as those tools write them. Run from this folder."""
import h5py
import numpy as np

rng = np.random.default_rng(1)

with h5py.File('seed.nwb', 'w') as f:
    seg = f.create_group('processing/ophys/ImageSegmentation/PlaneSegmentation')
    seg.attrs['neurodata_type'] = 'PlaneSegmentation'
    seg.attrs['description'] = 'suite2p output'
    seg['id'] = np.arange(3, dtype=np.int64)
    mask = np.array([(4, 1, 1.0), (2, 6, 0.5), (2, 8, 0.5), (9, 0, 2.0)],
                    dtype=[('x', '<u4'), ('y', '<u4'), ('weight', '<f4')])
    seg['pixel_mask'] = mask
    seg['pixel_mask_index'] = np.array([1, 3, 4], dtype=np.int64)
    seg['iscell'] = np.array([[1, 0.9], [0, 0.2], [1, 0.7]])
    for container, name in [('Fluorescence', 'Fluorescence'), ('Fluorescence', 'Neuropil'), ('DfOverF', 'Deconvolved')]:
        c = f.require_group('processing/ophys/' + container)
        c.attrs['neurodata_type'] = container
        s = c.create_group(name)
        s.attrs['neurodata_type'] = 'RoiResponseSeries'
        s['data'] = rng.normal(size=(24, 3)).astype(np.float32)
        rois = s.create_dataset('rois', data=np.arange(3, dtype=np.int64))
        rois.attrs['table'] = seg.ref

with h5py.File('seed.hdf5', 'w') as f:
    f['dims'] = np.array([10, 8], dtype=np.int64)
    e = f.create_group('estimates')
    e['C'] = rng.normal(size=(2, 24))
    e['S'] = 'NoneType'
    e['idx_components'] = np.array([0, 1], dtype=np.int64)
    a = e.create_group('A')
    a['data'] = np.array([1.0, 1.0, 4.0])
    a['indices'] = np.array([23, 25, 70], dtype=np.int64)
    a['indptr'] = np.array([0, 2, 3], dtype=np.int64)
    a['shape'] = np.array([80, 2], dtype=np.int64)
