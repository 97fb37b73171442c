#!/usr/bin/python3
"""Writes the reference tables of the kernels' own exp and sin/cos
(kernels/src/lane_elementary.hpp).

elementary_exp.csv: a in [-700, 700] and exp(a) as a pair hi + lo of doubles
(hi the nearest double, lo the nearest double of the rest).  Uniform points,
points next to the reduction's switches (a / ln 2 a half-integer), next to
multiples of ln 2, near 0, the range's ends, and the arguments where a search
over 10^6 uniform ones found the largest errors.

elementary_sincos.csv: a with |a| <= 1e5 and sin(a), cos(a) as such pairs.
Uniform points, small ones spread over many binades, the doubles nearest to
multiples of pi/2 (and their neighbours, where the reduced argument nearly
vanishes and the reduction's every part shows), points next to the
reduction's switches (odd multiples of pi/4), near 1e5, the ends, and the
arguments of the largest errors a search over 10^6 found.

Every double as its IEEE bit pattern (16 hex digits), then a and the value in
decimal for the reader.  Values with mpmath at 200 bits; the stream is seeded,
so a rerun reproduces the files byte for byte:
    /usr/bin/python3 tests/data/generate_elementary.py
"""

import math
import os
import random
import struct

from mpmath import mp, mpf

mp.prec = 200
LN2 = math.log(2)
# Where a search over 10^6 uniform arguments found the largest errors.
HARD_EXP = [665.7830330796512, -404.44576182513742, 23.220430548758166]
HARD_SINCOS = [23440.170887930755, 73350.73272151858, -53129.985050687021, -88849.755197962411,
               -79772.106058115416]


def bits(d):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", d))[0]


def pair(v):
    hi = float(v)
    return hi, float(v - hi)


def near(v, spread):
    """v and its neighbours up to `spread` doubles away."""
    out = [v]
    up = down = v
    for _ in range(spread):
        up = math.nextafter(up, math.inf)
        down = math.nextafter(down, -math.inf)
        out += [up, down]
    return out


def exp_points(rng):
    points = [rng.uniform(-700.0, 700.0) for _ in range(1200)]
    for _ in range(150):
        k = rng.randint(-1009, 1009)
        points += near((k + 0.5) * LN2, 1)  # the multiple's switch
        points.append(k * LN2)
    points += [rng.uniform(-1.0, 1.0) * 10.0 ** -rng.randint(0, 300) for _ in range(100)]
    points += near(700.0, 2) + near(-700.0, 2) + [0.0, 1.0, -1.0] + HARD_EXP
    return [a for a in points if -700.0 <= a <= 700.0]


def sincos_points(rng):
    points = [rng.uniform(-1e5, 1e5) for _ in range(1500)]
    points += [rng.choice((-1, 1)) * 10.0 ** rng.uniform(-300, 5) for _ in range(200)]
    for _ in range(150):
        k = rng.randint(-63662, 63662)
        points += near(float(k * mp.pi / 2), 1)
    for _ in range(100):
        k = rng.randint(-63662, 63661)
        points += near(float((k + mpf(0.5)) * mp.pi / 2), 1)
    points += [rng.uniform(1e5 - 100.0, 1e5) * rng.choice((-1, 1)) for _ in range(200)]
    points += near(1e5, 3) + near(-1e5, 3) + [0.0] + HARD_SINCOS
    return [a for a in points if abs(a) <= 1e5]


def main():
    rng = random.Random(20261209)
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "elementary_exp.csv"), "w", newline="\n") as f:
        f.write("a,exp_hi,exp_lo,a_value,exp_value\n")
        for a in exp_points(rng):
            hi, lo = pair(mp.exp(mpf(a)))
            f.write("%s,%s,%s,%r,%r\n" % (bits(a), bits(hi), bits(lo), a, hi))
    with open(os.path.join(here, "elementary_sincos.csv"), "w", newline="\n") as f:
        f.write("a,sin_hi,sin_lo,cos_hi,cos_lo,a_value,sin_value,cos_value\n")
        for a in sincos_points(rng):
            s_hi, s_lo = pair(mp.sin(mpf(a)))
            c_hi, c_lo = pair(mp.cos(mpf(a)))
            f.write("%s,%s,%s,%s,%s,%r,%r,%r\n" % (bits(a), bits(s_hi), bits(s_lo), bits(c_hi),
                                                   bits(c_lo), a, s_hi, c_hi))


if __name__ == "__main__":
    main()
