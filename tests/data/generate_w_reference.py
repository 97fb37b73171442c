#!/usr/bin/python3
"""Writes w_reference.csv: reference values of the Faddeeva function.

w(z) = exp(-z^2) erfc(-iz) is evaluated with mpmath at 40 digits and again at
60 digits; the script stops if the two disagree in any part beyond 1e-20
relative.  The 60-digit value is written, rounded to 17 significant digits
(parts too small to round to a nonzero double are written as 0.0).

Inputs are Python floats, so every point is an exact double; they are written
with repr() and read back bit for bit.  The region column repeats, in double
arithmetic, the test that picks the method of the region-based kernel.

The point set is fixed (seeded sampling, no libm calls), so a rerun reproduces
the CSV byte for byte:
    /usr/bin/python3 tests/data/generate_w_reference.py
"""

import os
import random
import struct

from mpmath import mp, mpc, mpf

SEMI_X = 6.300000190734863
SEMI_Y = 4.400000095367432
SERIES_Q = 0.085264
EXP_LIMIT = 700.0  # below the kernel's 708.5, so that w stays finite
TRIG_LIMIT = 3537118876014220.0


def quadratic(x, y):
    big_x = abs(x) / SEMI_X
    big_y = abs(y) / SEMI_Y
    return big_x * big_x + big_y * big_y


def region(x, y):
    q = quadratic(x, y)
    if q < SERIES_Q:
        return "series"
    return "taylor" if q <= 1.0 else "fraction"


def bits(d):
    return struct.unpack("<q", struct.pack("<d", d))[0]


def from_bits(n):
    return struct.unpack("<d", struct.pack("<q", n))[0]


def last_below(q_of, threshold, hi):
    """Largest double t in [0, hi] with q_of(t) < threshold (q_of nondecreasing)."""
    lo_bits, hi_bits = 0, bits(hi)
    assert q_of(0.0) < threshold <= q_of(hi)
    while hi_bits - lo_bits > 1:
        mid = (lo_bits + hi_bits) // 2
        if q_of(from_bits(mid)) < threshold:
            lo_bits = mid
        else:
            hi_bits = mid
    return from_bits(lo_bits)


def w_mp(x, y):
    z = mpc(mpf(x), mpf(y))
    return mp.exp(-z * z) * mp.erfc(-1j * z)


def agree(a, b):
    if b == 0:
        return a == 0
    return abs(a - b) <= mpf("1e-20") * abs(b)


def fmt(v):
    if abs(v) < mpf(2) ** -1075:  # rounds to zero in double
        return "0.0"
    return mp.nstr(v, 17, min_fixed=1, max_fixed=0, strip_zeros=False)


def points():
    pts = []

    # Both axes, both signs; -0.0 for a few points as well.
    real_axis = [1e-300, 1e-10, 0.01, 0.1, 0.5, 1.0, 1.5, 1.8, 1.85, 2.0, 2.45, 2.472, 2.5,
                 3.0, 4.0, 5.0, 6.0, 6.3, 6.5, 7.0, 8.0, 10.0, 12.0, 15.0, 20.0, 26.0, 30.0,
                 50.0, 100.0, 1e3, 1e4, 1e6, 1e10, 1e50, 1e100, 1e150]
    for t in real_axis:
        pts += [(t, 0.0), (-t, 0.0)]
    pts += [(0.0, 0.0), (0.5, -0.0), (3.0, -0.0), (-8.0, -0.0)]
    imag_axis = [1e-300, 1e-10, 0.01, 0.1, 0.5, 1.0, 1.2, 2.0, 3.0, 4.0, 4.4, 4.5, 5.0,
                 6.0, 8.0, 10.0, 12.0, 15.0, 20.0, 26.0]
    for t in imag_axis:
        pts += [(0.0, t), (0.0, -t)]
    for t in [50.0, 100.0, 1e3, 1e4, 1e10, 1e50, 1e100, 1e150]:
        pts.append((0.0, t))
    pts += [(-0.0, 0.7), (-0.0, -0.7)]

    # Top of the series region on the imaginary axis, where its error peaks.
    top = last_below(lambda t: quadratic(0.0, t), SERIES_Q, 2.0)
    for k in range(22):
        pts += [(0.0, 1.2 + 0.004 * k), (0.0, -(1.2 + 0.004 * k))]
    for t in [top, from_bits(bits(top) - 1), from_bits(bits(top) - 8)]:
        pts += [(0.0, t), (0.0, -t), (1e-3, t), (-1e-3, t)]

    # Just inside and just outside the region boundaries, along lines x = a
    # and y = b; all four sign combinations of each point.
    edge = []
    for threshold, ulps in [(SERIES_Q, 2), (1.0, 3)]:
        semi = threshold**0.5
        for f in [0.0, 0.1, 0.3, 0.5, 0.7, 0.9, 0.99]:
            a = f * semi * SEMI_X
            t = last_below(lambda s: quadratic(a, s), threshold, 2 * SEMI_Y)
            edge += [(a, from_bits(bits(t) + k)) for k in range(ulps)]
            b = f * semi * SEMI_Y
            t = last_below(lambda s: quadratic(s, b), threshold, 2 * SEMI_X)
            edge += [(from_bits(bits(t) + k), b) for k in range(ulps)]
    edge += [(SEMI_X, 0.0), (6.300000190734864, 0.0), (0.0, SEMI_Y)]
    for x, y in edge:
        pts += [(x, y), (-x, y), (x, -y), (-x, -y)]

    pts += [(0.0, 0.1), (0.0, -0.1), (0.1, 0.0), (0.1, 0.1)]

    # Moderately large |z| along exact directions; the lower half-plane only
    # where exp(-z^2) stays finite.
    directions = [(1.0, 0.0), (0.96, 0.28), (0.8, 0.6), (0.7, 0.7), (0.6, 0.8), (0.28, 0.96),
                  (1e-3, 1.0)]
    for r in [10.0, 100.0, 1e4, 1e10, 1e22, 1e30, 1e50, 1e150, 4.9e153]:
        for cx, cy in directions:
            pts += [(r * cx, r * cy), (-r * cx, r * cy)]
    for r in [6.0, 10.0, 20.0, 30.0, 100.0, 1e3, 1e4]:
        for cx, cy in directions[1:]:
            pts += [(r * cx, -r * cy), (-r * cx, -r * cy)]

    rng = random.Random(20240601)
    # Uniform over |x|, |y| < 12, both half-planes.
    for _ in range(370):
        pts.append((rng.uniform(-12.0, 12.0), rng.uniform(-12.0, 12.0)))
    # The two inner regions, which the square above samples thinly.
    for name, count, box_x, box_y in [("series", 150, 1.85, 1.29), ("taylor", 150, SEMI_X, SEMI_Y)]:
        k = 0
        while k < count:
            x, y = rng.uniform(-box_x, box_x), rng.uniform(-box_y, box_y)
            if region(x, y) == name:
                pts.append((x, y))
                k += 1
    # Close to either axis, where one part of w is far smaller than the other.
    for _ in range(50):
        pts.append((rng.uniform(-12.0, 12.0), rng.uniform(-1e-3, 1e-3)))
        pts.append((rng.uniform(-1e-3, 1e-3), rng.uniform(-12.0, 12.0)))
    # Magnitudes from 1e-8 to 1e8.
    for _ in range(80):
        r = 10.0 ** rng.uniform(-8.0, 8.0)
        cx, cy = rng.uniform(-1.0, 1.0), rng.uniform(-1.0, 1.0)
        pts.append((r * cx, r * cy))

    seen, out = set(), []
    for x, y in pts:
        key = (bits(x), bits(y))
        if key in seen:
            continue
        if y < 0 and (y * y - x * x >= EXP_LIMIT or 2 * abs(x) * abs(y) >= TRIG_LIMIT):
            continue
        seen.add(key)
        out.append((x, y))
    return out


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "w_reference.csv")
    rows = ["x,y,re_w,im_w,region"]
    for x, y in points():
        mp.dps = 40
        w40 = w_mp(x, y)
        mp.dps = 60
        w60 = w_mp(x, y)
        if not (agree(w40.real, w60.real) and agree(w40.imag, w60.imag)):
            raise SystemExit("precision check failed at %r, %r" % (x, y))
        rows.append("%r,%r,%s,%s,%s" % (x, y, fmt(w60.real), fmt(w60.imag), region(x, y)))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(rows) + "\n")
    print("%d rows written to %s" % (len(rows) - 1, path))


if __name__ == "__main__":
    main()
