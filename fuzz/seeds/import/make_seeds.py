#!/usr/bin/python3
# Writes the hostile and ordinary seeds of the npy and pickle fuzz targets with
# NumPy itself. Run from this folder.
import io
import numpy as np

def save(name, arr, **kw):
    b = io.BytesIO(); np.save(b, arr, **kw); open(name, 'wb').write(b.getvalue()); return b.getvalue()

good = save('spks-f4.npy', np.arange(12, dtype='<f4').reshape(3, 4))
save('traces-be-f8-fortran.npy', np.asfortranarray(np.arange(6, dtype='>f8').reshape(2, 3)))
save('iscell-i8.npy', np.array([[1, 0.5], [0, 0.2]], dtype='<i8'))
save('nan-inf.npy', np.array([[np.nan, np.inf, -np.inf, 1]], dtype='<f4'))
save('zero-rois.npy', np.zeros((0, 5), dtype='<f4'))
save('zero-frames.npy', np.zeros((3, 0), dtype='<f4'))
save('wrong-shape-3d.npy', np.zeros((2, 2, 2), dtype='<f4'))
open('truncated.npy', 'wb').write(good[:-5])
stat = save('stat.npy', np.array([{'med': np.array([1, 2], dtype=np.int32), 'npix': np.int32(3),
                                   'lam': np.ones(2, np.float32), 'ok': True, 'r': 1.5}], dtype=object),
            allow_pickle=True)
open('stat-truncated.npy', 'wb').write(stat[:-30])
open('pickle-other-global.npy', 'wb').write(stat.split(b'\n', 1)[0] + b'\n' + b"cos\nsystem\n(S'echo'\ntR.")
save('ops.npy', {'Ly': 512, 'fs': np.float64(30), 'big': 2 ** 70}, allow_pickle=True)
