#!/usr/bin/python3
# Writes the pickled stat.npy and ops.npy test files with NumPy itself, so the
# reader is checked against the real writer. Run from this folder.
import numpy as np

stat = np.array([
    {'med': np.array([12, 30], dtype=np.int32), 'ypix': np.array([11, 12, 13], dtype=np.int32),
     'xpix': np.array([30, 30, 31], dtype=np.int32), 'lam': np.array([0.5, 1.0, 0.25], dtype=np.float32),
     'npix': np.int32(3), 'radius': np.float32(1.5), 'compact': 1.25, 'inmerge': 0,
     'overlap': np.array([False, True, False])},
    {'med': np.array([40, 7], dtype=np.int32), 'npix': np.int64(1), 'aspect_ratio': np.float64(1.0),
     'soma_crop': np.array([True]), 'footprint': 2.0},
    {'med': [3, 4], 'skew': float('nan')},
], dtype=object)
np.save('stat.npy', stat, allow_pickle=True)

np.save('ops.npy', {'fs': 30.0, 'Ly': 64, 'Lx': np.int64(48), 'nframes': np.int32(5),
                    'tau': np.float32(1.0), 'save_path': 'plane0', 'do_registration': True,
                    'big': 2 ** 70, 'none': None, 'meanImg': np.zeros((2, 3), dtype=np.float32)},
        allow_pickle=True)

# A stat.npy whose second ROI lacks 'med'.
np.save('stat-no-med.npy', np.array([{'med': np.array([1, 2], dtype=np.int32)}, {'npix': 4}], dtype=object),
        allow_pickle=True)
