#!/usr/bin/python3
# Writes pickle seeds whose values are shared rather than copied: one argument
# tuple passed to many calls, one dict named by every ROI, and ROI centres that
# are not places. Plain Python, protocol 2 as old NumPy wrote. Run from this folder.
import pickle

class Call:
    def __init__(self, args): self.args = args
    def __reduce__(self): return (Call, self.args)

def write(name, value):
    open(name, 'wb').write(pickle.dumps(value, protocol=2))

shared = tuple(range(200))
write('pickle-shared-arguments.pkl', [Call(shared) for _ in range(50)])
roi = {'med': [3, 4], 'ypix': [3], 'xpix': [4]}
roi.update({'k%d' % i: i for i in range(500)})
write('pickle-shared-dict.pkl', [roi] * 50)
write('pickle-damaged-med.pkl', [{'med': [float('nan'), 2.0], 'ypix': [1], 'xpix': [2]},
                                 {'med': [1e300, float('inf')], 'ypix': [0], 'xpix': [5]}])
