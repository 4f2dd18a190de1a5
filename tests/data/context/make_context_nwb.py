#!/usr/bin/python3
"""Writes the NWB files the context tests read, in the layout pynwb writes
(neurodata_type and namespace attributes, colnames, VectorData columns with
ElementIdentifiers ids, TimeSeries timed by timestamps or starting_time and
rate). Needs Debian's python3-h5py and python3-numpy; run from this folder:
    /usr/bin/python3 make_context_nwb.py
The files are committed, so the tests need no Python."""
import zlib

import h5py
import numpy as np

STR = h5py.string_dtype()


def typed(obj, kind, namespace="core", **attrs):
    obj.attrs["neurodata_type"] = kind
    obj.attrs["namespace"] = namespace
    obj.attrs["object_id"] = "00000000-0000-0000-0000-%012d" % zlib.crc32(obj.name.encode())
    for key, value in attrs.items():
        obj.attrs[key] = value
    return obj


def column(group, name, values, dtype=None):
    d = group.create_dataset(name, data=np.asarray(values, dtype=dtype))
    return typed(d, "VectorData", "hdmf-common", description=name)


def interval_table(parent, name, columns):
    g = typed(parent.create_group(name), "TimeIntervals", description=name,
              colnames=np.array(list(columns), dtype=STR))
    rows = len(next(iter(columns.values())))
    typed(g.create_dataset("id", data=np.arange(rows, dtype=np.int64)), "ElementIdentifiers", "hdmf-common")
    for key, values in columns.items():
        column(g, key, values, STR if isinstance(values[0], str) else np.float64)
    return g


def time_series(parent, name, data, timestamps=None, start=None, rate=None, kind="TimeSeries"):
    g = typed(parent.create_group(name), kind, description=name, comments="no comments")
    d = g.create_dataset("data", data=np.asarray(data, dtype=np.float64))
    d.attrs["unit"] = "a.u."
    d.attrs["conversion"] = 1.0
    d.attrs["offset"] = 0.0
    d.attrs["resolution"] = -1.0
    if timestamps is not None:
        t = g.create_dataset("timestamps", data=np.asarray(timestamps, dtype=np.float64))
        t.attrs["interval"] = 1
        t.attrs["unit"] = "seconds"
    else:
        t = g.create_dataset("starting_time", data=np.float64(start))
        t.attrs["rate"] = np.float64(rate)
        t.attrs["unit"] = "seconds"
    return g


def session(path, frames=40, rate=10.0):
    f = h5py.File(path, "w")
    typed(f, "NWBFile", nwb_version="2.6.0")
    f.create_dataset("session_description", data="context fixture", dtype=STR)
    ophys = typed(f.create_group("processing/ophys"), "ProcessingModule", description="optical physiology")
    seg = typed(ophys.create_group("ImageSegmentation"), "ImageSegmentation")
    plane = typed(seg.create_group("PlaneSegmentation"), "PlaneSegmentation", description="cells",
                  colnames=np.array(["image_mask"], dtype=STR))
    typed(plane.create_dataset("id", data=np.arange(3, dtype=np.int64)), "ElementIdentifiers", "hdmf-common")
    masks = np.zeros((3, 8, 8))
    masks[0, 1, 1] = masks[1, 4, 4] = masks[2, 6, 2] = 1
    column(plane, "image_mask", masks)
    fl = typed(ophys.create_group("Fluorescence"), "Fluorescence")
    # Cell 1 fires at frame 6, cell 2 at 11, cell 3 at 21 (1-based), all else flat.
    traces = np.zeros((frames, 3))
    for cell, frame in ((0, 6), (1, 11), (2, 21)):
        traces[frame - 1, cell] = 10.0
    series = time_series(fl, "Deconvolved", traces, start=0.0, rate=rate, kind="RoiResponseSeries")
    rois = series.create_dataset("rois", data=np.arange(3, dtype=np.int64))
    typed(rois, "DynamicTableRegion", "hdmf-common", description="all cells")
    rois.attrs.create("table", plane.ref, dtype=h5py.ref_dtype)
    return f


def good(path):
    f = session(path)
    intervals = f.create_group("intervals")
    # Frames last 0.1 s from 0: starts in frames 6, 11, 21, 31; the last stops after the end (4 s).
    interval_table(intervals, "trials", {"start_time": [0.5, 1.0, 2.05, 3.0],
                                         "stop_time": [0.8, 1.5, 2.5, 5.0],
                                         "condition": ["go", "nogo", "go", "nogo"]})
    stimulus = f.create_group("stimulus/presentation")
    interval_table(stimulus, "gratings", {"start_time": [0.2, 9.0], "stop_time": [0.3, 9.5],
                                          "orientation": [0.0, 90.0]})
    behavior = typed(f.create_group("processing/behavior"), "ProcessingModule", description="behaviour")
    bts = typed(behavior.create_group("BehavioralTimeSeries"), "BehavioralTimeSeries")
    t = np.arange(400) / 100.0  # 100 Hz for 4 s: speed rises 0..39.9 cm/s
    time_series(bts, "running_speed", t * 10.0, timestamps=t)
    position = typed(behavior.create_group("Position"), "Position")
    xy = np.column_stack([np.full(80, 3.0), np.full(80, 4.0)])
    time_series(position, "position", xy, start=0.0, rate=20.0, kind="SpatialSeries").attrs["reference_frame"] = "arena"
    f.close()


def bad(path):
    f = session(path)
    intervals = f.create_group("intervals")
    interval_table(intervals, "trials", {"start_time": [0.5, np.nan, 2.0, 3.0],
                                         "stop_time": [0.8, 1.5, 1.0, 3.5]})
    uneven = interval_table(intervals, "epochs", {"start_time": [0.1, 1.1, 2.1], "stop_time": [0.2, 1.2, 2.2]})
    del uneven["stop_time"]
    column(uneven, "stop_time", [0.2, 1.2])
    acquisition = f.create_group("acquisition")
    time_series(acquisition, "lick_rate", [1, 2, 3], timestamps=[0.1, 0.3, 0.2])
    time_series(acquisition, "pupil_area", [1, 2, 3], timestamps=[0.1, 0.2, 0.2])
    time_series(acquisition, "wheel", [1, 2, 3, 4], timestamps=[0.1, 0.2, 0.3, 0.4])
    f.close()


good("context-session.nwb")
bad("context-bad.nwb")
