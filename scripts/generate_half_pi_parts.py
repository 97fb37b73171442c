#!/usr/bin/python3
"""Writes kernels/src/half_pi_parts.hpp: pi/2 as a sum of three doubles, each
the nearest double to what the ones before leave of pi/2, and the exponent
below which exp rounds to zero in double precision.

    /usr/bin/python3 scripts/generate_half_pi_parts.py
"""

import os

from mpmath import mp, mpf

mp.prec = 400


def nearest_double(v):
    return float(mp.nstr(v, 40))  # 40 digits round to the nearest double


def main():
    rest = mp.pi / 2
    parts = []
    for _ in range(3):
        p = nearest_double(rest)
        parts.append(p)
        rest -= mpf(p)
    # exp(a) below 2^-1075 rounds to zero: a < -1075 ln 2.
    edge = nearest_double(-1075 * mp.log(2))
    lines = [
        "// Written by scripts/generate_half_pi_parts.py (mpmath, 400 bits); do not edit.",
        "#ifndef VORLAN_HALF_PI_PARTS_HPP",
        "#define VORLAN_HALF_PI_PARTS_HPP",
        "",
        "namespace vorlan::detail {",
        "",
        "// pi/2 = sum of the parts to %.3g relative." % float(abs(rest) / (mp.pi / 2)),
        "constexpr double kHalfPiParts[3] = {",
    ]
    lines += ["    %r," % p for p in parts]
    lines += [
        "};",
        "",
        "// exp(a) rounds to zero below -1075 ln 2 (here to the nearest double).",
        "constexpr double kExpUnderflowExponent = %r;" % edge,
        "",
        "}  // namespace vorlan::detail",
        "",
        "#endif",
    ]
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "kernels", "src",
                        "half_pi_parts.hpp")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print("written", os.path.normpath(path))


if __name__ == "__main__":
    main()
