#!/usr/bin/python3
"""Writes accuracy_grid.csv: w(z) on the grid of the demonstration's accuracy map.

The grid is x = i/10 for i = -80..80 and y = j/10 for j = -40..80, so it
crosses the power-series ellipse, the Taylor ring and the continued-fraction
region of the region-based kernel, and reaches into the lower half-plane.
Both coordinates are formed as a correctly rounded quotient of integers, the
same doubles Octave gets from (-80:80) / 10.

w(z) = exp(-z^2) erfc(-iz) is evaluated with mpmath at 30 and again at 50
digits; the script stops if the two disagree in either part beyond 1e-20
relative to |w|.  Each part of the 50-digit value is rounded to the nearest
double and written with 17 significant digits, so it reads back bit for bit.
A rerun reproduces the file byte for byte.

Run with Debian's interpreter (python3-mpmath), from anywhere:
    /usr/bin/python3 demo/generate_accuracy_grid.py
"""

import os

from mpmath import mp, mpc, mpf

X_STEPS = range(-80, 81)
Y_STEPS = range(-40, 81)


def w_mp(x, y):
    z = mpc(mpf(x), mpf(y))
    return mp.exp(-z * z) * mp.erfc(-1j * z)


def fmt(v):
    return "%.17g" % float(v)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "accuracy_grid.csv")
    rows = ["x,y,re_w,im_w"]
    for j in Y_STEPS:
        y = j / 10
        for i in X_STEPS:
            x = i / 10
            mp.dps = 30
            coarse = w_mp(x, y)
            mp.dps = 50
            fine = w_mp(x, y)
            scale = abs(fine)
            if abs(coarse.real - fine.real) > mpf("1e-20") * scale or abs(
                coarse.imag - fine.imag
            ) > mpf("1e-20") * scale:
                raise SystemExit("30 and 50 digits disagree at %r%+ri" % (x, y))
            rows.append(",".join([repr(x), repr(y), fmt(fine.real), fmt(fine.imag)]))
    with open(out, "w") as f:
        f.write("\n".join(rows) + "\n")
    print("wrote %d points to %s" % (len(rows) - 1, out))


if __name__ == "__main__":
    main()
