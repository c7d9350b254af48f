#!/usr/bin/env python3
"""Writes the fuzz seed corpus from the shared real strokes: each seed draws one real stroke in a view
onto a sketch plane and edits it as a user would (range, update, insert, drag, bend, subset, extrude).
Usage: make_corpus.py STROKES_DIR OUT_DIR [COUNT]"""
import glob, json, os, struct, sys

def num(v):  # a number as the fuzz target reads it: a 16-bit integer in hundredths
    return struct.pack('<h', max(-32000, min(32000, int(round(v * 100)))))

def point(p):
    return num(p[0]) + num(p[1]) + num(p[2] if len(p) > 2 else 0.0)

def seed(points, variant):
    pts = points[:399]
    b = bytearray()
    # draw in view: op 0, slot 0, plane (origin, kind 1 = origin + normal), view, type 1, points, target flag
    tilt = [0.0, 0.3 * (variant % 3), 1.0]
    b += bytes([0, 0]) + point([0, 0, 0]) + bytes([1]) + point(tilt) + point([0, 0, -1]) + bytes([0])
    b += bytes([0]) + struct.pack('<h', len(pts)) + b''.join(point(p) for p in pts) + bytes([variant & 1])
    mid, q = pts[len(pts) // 2], pts[len(pts) // 3]
    b += bytes([3, 0])                                   # whole range
    b += bytes([12, 0])                                  # update
    b += bytes([10, 0])                                  # evaluate from the cache
    b += bytes([13, 0]) + point([mid[0] + 1, mid[1] + 1, 0])          # insert an anchor near the middle
    b += bytes([15, 0]) + point(q) + point([q[0] + 2, q[1] - 1, 0]) + bytes([variant & 1])  # drag
    b += bytes([5, 0]) + point(pts[0]) + point(pts[-1])               # end points
    b += bytes([16, 0, 1]) + point([1, 1, 0]) + bytes([1])            # bend the start
    b += bytes([2, 0]) + num(10) + num(80)                            # range 0.1 .. 0.8
    b += bytes([17, 0])                                               # cut to the range
    b += bytes([7, 0, 1]) + bytes([14, 1, 2])                         # copy, delete an anchor in the copy
    b += bytes([18, 0]) + point(mid) + bytes([0])                     # project
    b += bytes([20, 0]) + num(0) + num(10) + bytes([1])               # extrude
    b += bytes([9, 0]) + bytes([12, 1]) + bytes([variant % 2])        # destroy the first, update the copy
    return bytes(b)

src, out = sys.argv[1], sys.argv[2]
count = int(sys.argv[3]) if len(sys.argv) > 3 else 40
os.makedirs(out, exist_ok=True)
files = sorted(glob.glob(os.path.join(src, 'real', '*.json')))
step = max(1, len(files) // count)
for i, f in enumerate(files[::step][:count]):
    pts = json.load(open(f))['points']
    with open(os.path.join(out, 'real-%03d' % i), 'wb') as o:
        o.write(seed(pts, i))
