#!/usr/bin/python3
# Writes the small pipeline-output fixtures the import tests read, with
# Debian's NumPy and h5py, the way the pipelines' own writers lay them out.
# Run from this folder: /usr/bin/python3 make_pipeline_fixtures.py
import datetime
import os
import pathlib
import pickle
import shutil

import h5py
import numpy as np

FRAMES = 40


def traces(rois, seed):
    """Float32 ROIs x frames, flat but for one spike per ROI at frame 5 + 3 r (0-based)."""
    t = np.zeros((rois, FRAMES), dtype=np.float32)
    for r in range(rois):
        t[r, 5 + 3 * r] = 100
    return t


def stat(rois, with_med=True):
    out = []
    for r in range(rois):
        ypix = np.array([2 * r, 2 * r, 2 * r + 1], dtype=np.int32)
        xpix = np.array([3 * r + 1, 3 * r + 2, 3 * r + 1], dtype=np.int32)
        roi = {'ypix': ypix, 'xpix': xpix, 'lam': np.ones(3, dtype=np.float32), 'npix': np.int32(3)}
        if with_med:
            roi['med'] = [int(np.median(ypix)), int(np.median(xpix))]
        out.append(roi)
    return np.array(out, dtype=object)


def save_protocol2(path, array):
    """A pickled .npy as NumPy before 1.17 wrote it: protocol 2, bytes as _codecs.encode(text, 'latin1')."""
    with open(path, 'wb') as f:
        np.lib.format.write_array_header_1_0(f, np.lib.format.header_data_from_array_1_0(array))
        pickle.dump(array, f, protocol=2)


def plane(folder, rois, iscell, ops, protocol2=False):
    os.makedirs(folder, exist_ok=True)
    np.save(os.path.join(folder, 'spks.npy'), traces(rois, 0))
    np.save(os.path.join(folder, 'F.npy'), traces(rois, 0))
    np.save(os.path.join(folder, 'iscell.npy'), np.array([[c, 0.5] for c in iscell], dtype=np.float64))
    if protocol2:
        save_protocol2(os.path.join(folder, 'stat.npy'), stat(rois))
        save_protocol2(os.path.join(folder, 'ops.npy'), np.array(ops, dtype=object))
    else:
        np.save(os.path.join(folder, 'stat.npy'), stat(rois), allow_pickle=True)
        np.save(os.path.join(folder, 'ops.npy'), ops, allow_pickle=True)


for old in ('run-current', 'run-planes'):
    shutil.rmtree(old, ignore_errors=True)

# A current suite2p run: ops.npy holds the run's date and its paths as objects.
plane('run-current/suite2p/plane0', 4, [1, 0, 1, 1],
      {'Ly': 30, 'Lx': 20, 'fs': 30.0, 'date_proc': datetime.datetime(2025, 3, 14, 15, 9, 26),
       'save_path0': pathlib.PosixPath('/data/run'), 'reg_file': pathlib.PosixPath('/data/run/data.bin'),
       'data_path': [pathlib.PosixPath('/data/raw')], 'tau': 1.0})

# A run of two planes and suite2p's combined view; plane1 saved with protocol 2.
plane('run-planes/suite2p/plane0', 3, [1, 1, 0], {'Ly': 30, 'nplanes': 2}, protocol2=True)
plane('run-planes/suite2p/plane1', 2, [1, 1], {'Ly': 30, 'nplanes': 2}, protocol2=True)
plane('run-planes/suite2p/combined', 5, [1, 1, 0, 1, 1], {'Ly': 60, 'nplanes': 2}, protocol2=True)


def nwb_file(path, version='2.2.5'):
    f = h5py.File(path, 'w')
    f.attrs['nwb_version'] = version
    f.attrs['neurodata_type'] = 'NWBFile'
    return f


def plane_segmentation(group, name, rois, column, values):
    ps = group.create_group(name)
    ps.attrs['neurodata_type'] = 'PlaneSegmentation'
    ps.create_dataset('id', data=np.arange(rois, dtype=np.int64) + 10)
    mask = np.zeros((rois, 16, 16), dtype=np.float32)
    for r in range(rois):
        mask[r, r, 2 * r] = 1
    ps.create_dataset('image_mask', data=mask)
    if column:
        ps.create_dataset(column, data=np.array(values))
    return ps


def series(container, name, table, data):
    s = container.create_group(name)
    s.attrs['neurodata_type'] = 'RoiResponseSeries'
    s.create_dataset('data', data=data)
    rois = s.create_dataset('rois', data=np.arange(table['id'].shape[0], dtype=np.int64))
    rois.attrs['table'] = table.ref
    return s


# CaImAn's background components (all rejected) in a Fluorescence container
# listed before the cells' own.
with nwb_file('nwb-background-series.nwb') as f:
    ophys = f.create_group('processing/ophys')
    seg = ophys.create_group('ImageSegmentation')
    seg.attrs['neurodata_type'] = 'ImageSegmentation'
    background = plane_segmentation(seg, 'Background', 2, 'Accepted', [0, 0])
    cells = plane_segmentation(seg, 'Cells', 3, 'Accepted', [1, 0, 1])
    bg = ophys.create_group('BackgroundFluorescence')
    bg.attrs['neurodata_type'] = 'Fluorescence'
    series(bg, 'RoiResponseSeries', background, traces(2, 0).T.copy())
    fl = ophys.create_group('Fluorescence')
    fl.attrs['neurodata_type'] = 'Fluorescence'
    series(fl, 'RoiResponseSeries', cells, traces(3, 0).T.copy())

# An older writer's layout: data stored ROIs x frames, acceptance in iscell (ROIs x 2).
with nwb_file('nwb-rois-by-frames.nwb') as f:
    ophys = f.create_group('processing/ophys')
    seg = ophys.create_group('ImageSegmentation')
    cells = plane_segmentation(seg, 'PlaneSegmentation', 3, 'iscell', [[1, 0.9], [1, 0.8], [0, 0.1]])
    fl = ophys.create_group('Fluorescence')
    fl.attrs['neurodata_type'] = 'Fluorescence'
    series(fl, 'RoiResponseSeries', cells, traces(3, 0))

# NWB 1 kept its version as a dataset at the root.
with h5py.File('nwb-version-1.nwb', 'w') as f:
    f.create_dataset('nwb_version', data='NWB-1.0.6')
    f.create_group('processing')


# Hostile: an ops.npy whose values would run commands if unpickled by Python.
# Each would create /tmp/cellsonify-pickle-ran; the reader must create nothing.
class Call:
    def __init__(self, function, *args):
        self.function, self.args = function, args

    def __reduce__(self):
        return self.function, self.args


import builtins
import subprocess
VICTIM = '/tmp/cellsonify-pickle-ran'
shutil.rmtree('../hostile-pickle-payload', ignore_errors=True)
os.makedirs('../hostile-pickle-payload/plane0')
np.save('../hostile-pickle-payload/plane0/spks.npy', traces(2, 0))
np.save('../hostile-pickle-payload/plane0/stat.npy', stat(2), allow_pickle=True)
np.save('../hostile-pickle-payload/plane0/ops.npy',
        {'Ly': Call(os.system, 'touch ' + VICTIM),
         'fs': Call(builtins.eval, "open('%s', 'w').close()" % VICTIM),
         'reg_file': Call(subprocess.Popen, ['touch', VICTIM])},
        allow_pickle=True)

# Bare pickles as Python writes them, for the reader's opcode tests.
import collections
import copyreg
import math
os.makedirs('pickles', exist_ok=True)


class Point:
    def __init__(self, x, y):
        self.x, self.y = x, y

    def __getnewargs_ex__(self):
        return (self.x,), {'y': self.y}


Point.__module__ = 'lab.geometry'
Point.__qualname__ = 'Point'
import sys
import types
sys.modules['lab'] = types.ModuleType('lab')
sys.modules['lab.geometry'] = types.ModuleType('lab.geometry')
sys.modules['lab.geometry'].Point = Point
copyreg.add_extension('collections', 'OrderedDict', 7)
pickles = {
    'protocol0.pkl': pickle.dumps({'a': 7, 'b': 12345678901, 'x\xe9': 2.5, 'd': [1, True], 'e': (None, 'text')}, protocol=0),
    'protocol2-bytes.pkl': pickle.dumps(b'\x00\xe9A', protocol=2),
    'protocol5.pkl': pickle.dumps([math.pi, 2 ** 2100, bytearray(b'!'), frozenset({1, 2}), {3},
                                   collections.OrderedDict, datetime.date(2025, 1, 2), Point(1, 2)], protocol=5),
    'payload-os-system.pkl': b"cos\nsystem\n(S'touch " + VICTIM.encode() + b"'\ntR.",
    'payload-posix-system.pkl': pickle.dumps(Call(os.system, 'touch ' + VICTIM), protocol=4),
    'payload-eval.pkl': pickle.dumps(Call(builtins.eval, "open('%s', 'w').close()" % VICTIM), protocol=3),
    'payload-popen.pkl': pickle.dumps(Call(subprocess.Popen, ['touch', VICTIM]), protocol=2, fix_imports=False),
    'codecs-rot13.pkl': b"c_codecs\nencode\n(S'abc'\nS'rot13'\ntR.",
}
copyreg.remove_extension('collections', 'OrderedDict', 7)
for name, data in pickles.items():
    with open(os.path.join('pickles', name), 'wb') as f:
        f.write(data)


# Hostile HDF5: data that lies outside the file. Each must be refused, not read.
def caiman_result(path):
    f = h5py.File(path, 'w')
    f.create_dataset('dims', data=np.array([10, 8], dtype=np.int32))
    A = f.create_group('estimates/A')
    A.create_dataset('data', data=np.ones(2))
    A.create_dataset('indices', data=np.array([3, 25], dtype=np.int32))
    A.create_dataset('indptr', data=np.array([0, 1, 2], dtype=np.int32))
    return f


with caiman_result('../hostile-caiman-external-storage.hdf5') as f:
    f['estimates'].create_dataset('S', shape=(2, 16), dtype='u1', external=[('/etc/passwd', 0, 32)])
with caiman_result('../hostile-caiman-virtual.hdf5') as f:
    layout = h5py.VirtualLayout(shape=(2, 16), dtype='f8')
    layout[:] = h5py.VirtualSource('/tmp/cellsonify-elsewhere.h5', 'S', shape=(2, 16))
    f['estimates'].create_virtual_dataset('S', layout)
with caiman_result('../hostile-caiman-external-link.hdf5') as f:
    f['estimates/S'] = h5py.ExternalLink('/tmp/cellsonify-elsewhere.h5', '/S')
