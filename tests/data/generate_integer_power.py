#!/usr/bin/python3
"""Writes integer_power.csv: base^exponent correctly rounded to double.

The region kernel raises its Taylor weight h2 = 2 * 1.88f * r (r in (0, 1])
to the order kappa = round(7 + 34 r) with its own integer power; the rows here
draw bases and exponents that way, independently of each other too
(exponents 7..40, r uniform and r spread over many binades), and add edge
cases: exponents 0 and 1, bases next to 1 with exponents up to 1023, tiny and
subnormal bases whose power is subnormal or zero (also from exponent 1023,
where the scaling into that range takes two steps), powers next to the overflow
threshold and beyond it.

The exact power is a Fraction; it is rounded to nearest, ties to even, with
gradual underflow and overflow to infinity, by integer arithmetic below (and
checked against float(Fraction) wherever that is finite).

Columns: base and power as IEEE bit patterns (16 hex digits), the exponent,
and 'clear': 1 where the power is a normal double and the exact value lies
more than 2^-30 units in the last place away from a rounding boundary, so that
an evaluation with a relative error far below 2^-53 must round correctly;
then base and power in decimal for the reader.

Standard library only; the stream is seeded, so a rerun reproduces the file
byte for byte (the tiny and huge bases come from Python's ** on floats, which
a platform with another pow could round differently):
    /usr/bin/python3 tests/data/generate_integer_power.py
"""

import math
import os
import random
import struct
from fractions import Fraction

TAYLOR_STEP = 1.8799999952316284  # 1.88f
CLEAR_MARGIN = Fraction(1, 2**30)  # in units of the last place
MIN_EXPONENT = -1074  # of the smallest subnormal
MAX_FINITE = (2**53 - 1) * 2**971


def bits(d):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", d))[0]


def binary_exponent(value):
    """e with 2^e <= value < 2^(e+1), for a Fraction value > 0."""
    e = value.numerator.bit_length() - value.denominator.bit_length()
    if Fraction(2) ** e > value:
        e -= 1
    return e


def round_to_double(value):
    """(the double nearest to the Fraction value > 0, clear flag)."""
    quantum = max(binary_exponent(value) - 52, MIN_EXPONENT)
    scaled = value / Fraction(2) ** quantum  # the value in units of the last place
    whole = scaled.numerator // scaled.denominator
    fraction = scaled - whole
    if fraction > Fraction(1, 2) or (fraction == Fraction(1, 2) and whole % 2 == 1):
        whole += 1
    clear = abs(fraction - Fraction(1, 2)) > CLEAR_MARGIN
    rounded = Fraction(whole) * Fraction(2) ** quantum
    if rounded > MAX_FINITE:
        return math.inf, False
    result = math.ldexp(whole, quantum)  # exact: whole has at most 53 bits
    assert result == float(value), value
    normal = result >= 2.0**-1022
    return result, clear and normal


def kernel_base(r):
    h = TAYLOR_STEP * r
    return h + h


def rows():
    rng = random.Random(20261208)
    out = []
    # As the kernel draws them: r in (0, 1], kappa = round(7 + 34 r) (r >= 0).
    for _ in range(400):
        r = 1.0 - rng.random()
        out.append((kernel_base(r), math.floor(7.0 + 34.0 * r + 0.5)))
    # The same bases with every exponent the kernel uses.
    for _ in range(400):
        r = 1.0 - rng.random()
        out.append((kernel_base(r), rng.randint(7, 40)))
    # Short steps: r over many binades, as near q = 1 and near Y = 1.
    for _ in range(300):
        r = math.ldexp(1.0 + rng.random(), -rng.randint(1, 60))
        out.append((kernel_base(r), rng.randint(7, 40)))
    # Exponents 0 and 1 and small ones, over the whole range of bases.
    edge_bases = [5e-324, 1e-310, 2.2250738585072014e-308, 1e-300, 1e-20, 0.5, 1.0, 1.5,
                  3.7599999904632568, 1e20, 1e300, 1.7976931348623157e308]
    for base in edge_bases:
        for exponent in (0, 1, 2, 3):
            out.append((base, exponent))
    # Next to 1, with long exponents.
    for delta in (2.0**-53, 2.0**-52, 2.0**-40, 2.0**-30, 2.0**-20, 2.0**-10):
        for exponent in (2, 7, 40, 100, 511, 1000, 1023):
            out.append((1.0 - delta, exponent))
            out.append((1.0 + delta, exponent))
    # Tiny bases: powers that are subnormal, that round to the smallest
    # subnormal or to zero.
    for exponent in (2, 7, 13, 24, 40):
        for target in range(-1000, -1090, -3):
            base = 2.0 ** (target / exponent) * (1.0 + rng.random() / 1e3)
            out.append((base, exponent))
    # Exponent 1023 with bases in [0.25, 0.5): m^1023 * 2^-2046 with m near 2,
    # scaled into the subnormal range in two steps.
    for _ in range(12):
        out.append((0.25 * (1.94 + 0.06 * rng.random()), 1023))
    # Next to the overflow threshold and past it.
    for exponent in (2, 7, 24, 40):
        for target in (1023.5, 1023.999, 1024.0, 1024.001, 1030.0):
            base = 2.0 ** (target / exponent)
            out.append((base, exponent))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "integer_power.csv"), "w", newline="\n") as f:
        f.write("base,exponent,power,clear,base_value,power_value\n")
        for base, exponent in rows():
            power, clear = round_to_double(Fraction(base) ** exponent)
            f.write("%s,%d,%s,%d,%r,%r\n" % (bits(base), exponent, bits(power), int(clear), base,
                                            power))


if __name__ == "__main__":
    main()
