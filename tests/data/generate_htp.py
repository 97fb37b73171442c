#!/usr/bin/python3
"""Writes the Hartmann-Tran profile's reference table, htp.csv.

Each row: nu, nu0, GammaD, Gamma0, Gamma2, Delta0, Delta2, nuVC, eta, then
Re F and Im F, then Re and Im of dF/dp for p = nu0, GammaD, Gamma0, Gamma2,
Delta0, Delta2, nuVC, eta, then each derivative's peak modulus over nu for
that line (a scan of the line's core and wings at 20 digits, a scale for the
tests' absolute floor, not a reference value).

F is evaluated from its definition in terms of w:
  c = sqrt(ln 2) / GammaD, C0 = Gamma0 + i Delta0, C2 = Gamma2 + i Delta2,
  C0t = (1 - eta) (C0 - 3 C2 / 2) + nuVC, C2t = (1 - eta) C2;
  C2t = 0:  Z = c (i (nu0 - nu) + C0t), A = sqrt(pi) c w(iZ),
            B = sqrt(pi) c ((1 - Z^2) w(iZ) + Z / sqrt(pi));
  else:     X = (i (nu0 - nu) + C0t) / C2t, sqrt(Y) = 1 / (2 c C2t),
            Z1,2 = sqrt(X + Y) -+ sqrt(Y) (principal root),
            A = sqrt(pi) c (w(iZ1) - w(iZ2)),
            B = (-1 + sqrt(pi) / (2 sqrt(Y)) ((1 - Z1^2) w(iZ1)
                 - (1 - Z2^2) w(iZ2))) / C2t;
  F = A / (pi (1 - (nuVC - eta (C0 - 3 C2 / 2)) A + eta C2 B)),
A and B are Maxwell averages over the reduced velocity s (most probable
speed 1) of 1/D and s^2/D, D = C0t + C2t s^2 + i (nu0 - nu) + i s_z / c.
B's speed-dependent form is divided by C2t, not 2 C2t: that would halve the
average, and F would jump at eta = 1 (--check-averages compares both forms
with the averages by quadrature).  Derivatives are carried through every
operation in forward mode (w' = -2 z w + 2i/sqrt(pi)).  GammaD = 0 is the
limit, evaluated at GammaD = 1e-40 times the line's width (the limit's
corrections are of order GammaD^2).  Where C2t = 0 the derivatives in
Gamma2 and Delta2 are the one-sided limits of the speed-dependent form, by a
five-point forward difference of step 1e-10 times the line's width (error
of order 1e-40).
Every row is computed at two working precisions 25 digits apart, raised
until the two agree to 1e-30 relative in each modulus; the cancellations of
the definition (Z1 = sqrt(X + Y) - sqrt(Y), w(iZ1) - w(iZ2), B) are simply
paid for in digits.  Inputs are seeded Python floats, so a rerun reproduces
the file byte for byte (about half an hour):
    /usr/bin/python3 tests/data/generate_htp.py
"""

import math
import os
import random
import sys

from mpmath import mp, mpc, mpf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from generate_line_shapes import w_any  # noqa: E402  (the same w as the line shapes' table)

PARAMETERS = ("nu0", "GammaD", "Gamma0", "Gamma2", "Delta0", "Delta2", "nuVC", "eta")
N = len(PARAMETERS)


class Dual:
    """A complex value with its gradient over the eight parameters."""

    __slots__ = ("v", "g")

    def __init__(self, v, g=None):
        self.v = mpc(v)
        self.g = g if g is not None else [mpc(0)] * N

    @staticmethod
    def lift(a):
        return a if isinstance(a, Dual) else Dual(a)

    def __add__(self, o):
        o = Dual.lift(o)
        return Dual(self.v + o.v, [a + b for a, b in zip(self.g, o.g)])

    __radd__ = __add__

    def __neg__(self):
        return Dual(-self.v, [-a for a in self.g])

    def __sub__(self, o):
        return self + (-Dual.lift(o))

    def __rsub__(self, o):
        return Dual.lift(o) - self

    def __mul__(self, o):
        o = Dual.lift(o)
        return Dual(self.v * o.v, [a * o.v + self.v * b for a, b in zip(self.g, o.g)])

    __rmul__ = __mul__

    def __truediv__(self, o):
        o = Dual.lift(o)
        q = self.v / o.v
        return Dual(q, [(a - q * b) / o.v for a, b in zip(self.g, o.g)])

    def __rtruediv__(self, o):
        return Dual.lift(o) / self

    def chain(self, value, slope):
        return Dual(value, [slope * a for a in self.g])


def dsqrt(a):
    r = mp.sqrt(a.v)
    return a.chain(r, 1 / (2 * r))


def dw(a):
    w, dwv = w_any(a.v)
    return a.chain(w, dwv)


def seed(values):
    """The parameters as Duals, each with its own unit gradient (nu has none)."""
    nu = Dual(values[0])
    params = []
    for k, v in enumerate(values[1:]):
        g = [mpc(0)] * N
        g[k] = mpc(1)
        params.append(Dual(v, g))
    return nu, params


def terms(nu, nu0, gd, g0, g2, d0, d2, vc, eta):
    """A and B of the definition."""
    sqrt_pi = mp.sqrt(mp.pi)
    i = mpc(0, 1)
    c = mp.sqrt(mp.log(2)) / gd
    c0 = g0 + i * d0
    c2 = g2 + i * d2
    c0_shifted = c0 - mpf(3) / 2 * c2
    c0t = (1 - eta) * c0_shifted + vc
    c2t = (1 - eta) * c2
    detuning = i * (nu0 - nu)
    if c2t.v == 0:
        z = c * (detuning + c0t)
        wz = dw(i * z)
        a = sqrt_pi * c * wz
        b = sqrt_pi * c * ((1 - z * z) * wz + z / sqrt_pi)
    else:
        x = (detuning + c0t) / c2t
        root_y = 1 / (2 * c * c2t)
        root = dsqrt(x + root_y * root_y)
        z1 = root - root_y
        z2 = root + root_y
        w1 = dw(i * z1)
        w2 = dw(i * z2)
        a = sqrt_pi * c * (w1 - w2)
        b = (-1 + sqrt_pi / (2 * root_y) * ((1 - z1 * z1) * w1 - (1 - z2 * z2) * w2)) / c2t
    return a, b


def profile(nu, nu0, gd, g0, g2, d0, d2, vc, eta):
    a, b = terms(nu, nu0, gd, g0, g2, d0, d2, vc, eta)
    c0_shifted = g0 + mpc(0, 1) * d0 - mpf(3) / 2 * (g2 + mpc(0, 1) * d2)
    return a / (mp.pi * (1 - (vc - eta * c0_shifted) * a + eta * (g2 + mpc(0, 1) * d2) * b))


def width(p):
    _, _, gd, g0, g2, d0, d2, vc, _ = p
    return gd + g0 + abs(d0) + g2 + abs(d2) + vc


def evaluate(p):
    """F and its gradient at the parameters p (floats), at the current precision."""
    p = list(p)
    if p[2] == 0.0:
        p[2] = mpf(10) ** -40 * width(p)
    nu, params = seed([mpf(t) for t in p])
    f = profile(nu, *params)
    grad = list(f.g)
    gamma2, delta2, eta = p[4], p[6], p[8]
    if gamma2 == 0.0 and delta2 == 0.0 and eta != 1.0:
        # C2t = 0: the speed-dependent form's one-sided limits, by a
        # five-point forward difference (error of order h^4, 1e-40 here)
        h = mpf(10) ** -10 * width(p)
        for k in (3, 5):
            values = [f.v]
            for m in range(1, 5):
                q = [mpf(v) for v in p]
                q[k + 1] = m * h
                nu_t, params_t = seed(q)
                with mp.workdps(mp.dps + 60):
                    values.append(profile(nu_t, *params_t).v)
            f0, f1, f2, f3, f4 = values
            grad[k] = (-25 * f0 + 48 * f1 - 36 * f2 + 16 * f3 - 3 * f4) / (12 * h)
    return f.v, grad


def close(a, b):
    return abs(a - b) <= mpf("1e-30") * max(abs(b), mpf(10) ** -300)


def checked(p):
    extra = 0
    if p[2] > 0.0:
        extra = max(0, int(-math.log10(p[2] / width(p))))
    dps = 50 + 2 * extra + 40 * (p[2] == 0.0)
    while dps < 2000:
        mp.dps = dps
        low = evaluate(p)
        mp.dps = dps + 25
        high = evaluate(p)
        if close(low[0], high[0]) and all(close(a, b) for a, b in zip(low[1], high[1])):
            return high
        dps *= 2
    raise SystemExit("precision check failed at %r" % (p,))


def peaks(p):
    """Each derivative's largest modulus over nu, from a scan of the line."""
    mp.dps = 20
    unit = width(p)
    centre = p[1] + p[5]
    best = [mpf(0)] * N
    for k in range(-20, 21):
        t = 0.0 if k == 0 else math.copysign(10 ** (abs(k) / 5.0 - 2.0), k)
        q = list(p)
        q[0] = centre + t * unit
        _, grad = evaluate(q)
        best = [max(b, abs(d)) for b, d in zip(best, grad)]
    return best


def fmt(v):
    if abs(v) < mpf(2) ** -1075:  # rounds to zero in double
        return "0.0"
    return mp.nstr(v, 17, min_fixed=1, max_fixed=0, strip_zeros=False)


def row(p, peak):
    f, grad = checked(p)
    cells = [repr(float(t)) for t in p] + [fmt(f.real), fmt(f.imag)]
    for d in grad:
        cells += [fmt(d.real), fmt(d.imag)]
    return ",".join(cells + [fmt(b) for b in peak])


def log_sweep(lo, hi, n):
    return [lo * (hi / lo) ** (k / (n - 1)) for k in range(n)]


# Offsets of nu from the shifted centre, in units of GammaD + Gamma0, cycled
# through a sweep so that every part of the line meets every parameter value.
OFFSETS = (0.0, 0.37, -1.3, 4.1, -33.0, 270.0, -2.9e3, 4.6e4, 1e6)


def line(nu0=1000.0, gd=1.0, g0=1.0, g2r=0.1, d0r=0.2, d2r=0.1, vc=0.1, eta=0.1):
    g2 = g2r * g0
    return [None, nu0, gd, g0, g2, d0r * g0, d2r * g2, vc, eta]


def at_offset(p, offset):
    q = list(p)
    q[0] = q[1] + q[5] + offset * (q[2] + q[3])
    return q


def off_the_cut(p):
    """False where X + Y lies within 1e-3 radians of the negative real axis,
    where the principal root flips and F is not continuous."""
    nu, nu0, gd, g0, g2, d0, d2, vc, eta = p
    c2t = (1 - eta) * complex(g2, d2)
    if c2t == 0 or gd == 0:
        return True
    c0t = (1 - eta) * (complex(g0, d0) - 1.5 * complex(g2, d2)) + vc
    s = (1j * (nu0 - nu) + c0t) / c2t + (gd / (2 * math.sqrt(math.log(2)) * c2t)) ** 2
    return not (s.real < 0 and abs(s.imag) < 1e-3 * abs(s))


def sweeps(n, rng):
    lines = []
    lines += [line(g0=r) for r in [0.0] + log_sweep(1e-6, 1e4, n)]
    lines += [line(g2r=r) for r in [0.0] + log_sweep(1e-6, 1.0, n)]
    lines += [line(d0r=-1 + 2 * k / (n - 1), d2r=-0.5 + k / (n - 1)) for k in range(n)]
    lines += [line(vc=r) for r in [0.0] + log_sweep(1e-4, 1e3, n)]
    lines += [line(eta=r) for r in [0.0] + log_sweep(1e-3, 0.99, n)]
    rows = [at_offset(p, OFFSETS[k % len(OFFSETS)]) for k, p in enumerate(lines)]
    # nu across the line, 0 to 1e6 (GammaD + Gamma0), for a Doppler-limited,
    # a mixed and a pressure-broadened line, and the GammaD = 0 limit
    for p in (line(g0=1e-3, vc=1e-3), line(), line(g0=100.0, vc=10.0), line(gd=0.0, g0=1.0)):
        for k, t in enumerate([0.0] + log_sweep(1e-4, 1e6, n // 2)):
            rows.append(at_offset(p, t if k % 2 == 0 else -t))
    return [p for p in rows if off_the_cut(p)]


def random_rows(n, rng):
    """Parameters drawn over the whole box, in units of GammaD, a zero now and then."""
    rows = []
    while len(rows) < n:
        gd = 10 ** rng.uniform(-4, 0) if rng.random() < 0.5 else 1.0
        nu0 = 10 ** rng.uniform(0, 4)
        zero = lambda: rng.random() < 0.15  # noqa: E731
        g0 = 0.0 if zero() else gd * 10 ** rng.uniform(-6, 4)
        g2 = 0.0 if zero() else g0 * 10 ** rng.uniform(-6, 0)
        d0 = g0 * rng.uniform(-1, 1)
        d2 = g2 * rng.uniform(-0.5, 0.5)
        vc = 0.0 if zero() else gd * 10 ** rng.uniform(-4, 3)
        eta = 0.0 if zero() else min(0.99, 10 ** rng.uniform(-3, 0))
        if rng.random() < 0.05:
            gd = 0.0
        p = [None, nu0, gd, g0, g2, d0, d2, vc, eta]
        unit = gd + g0
        if unit == 0.0:
            continue
        p = at_offset(p, rng.choice((1, -1)) * 10 ** rng.uniform(-3, 6))
        if off_the_cut(p):
            rows.append(p)
    return rows


def check_averages():
    """A and B of both forms against their Maxwell averages, by quadrature."""
    mp.dps = 20
    i = mpc(0, 1)
    c = mp.sqrt(mp.log(2))
    detuning = mpf("-1.3")
    c0t = mpc("1.2", "0.3")
    for c2t in (mpc(0), mpc("0.4", "0.1")):
        def average(weight):
            def f(sz, p):
                s2 = sz * sz + p * p
                d = c0t + c2t * s2 + i * detuning + i * sz / c
                return weight(s2) * mp.exp(-s2) * 2 * p / (mp.sqrt(mp.pi) * d)
            return mp.quad(f, [-mp.inf, 0, mp.inf], [0, mp.inf])
        c0 = c0t + mpf(3) / 2 * c2t  # eta = nuVC = 0
        nu, params = seed([mpf(0), detuning, mpf(1), c0.real, c2t.real, c0.imag, c2t.imag,
                           mpf(0), mpf(0)])
        a, b = terms(nu, *params)
        for name, form, quad in (("A", a.v, average(lambda s2: 1)),
                                 ("B", b.v, average(lambda s2: s2))):
            print("C2t = %s: %s %s, average %s" % (mp.nstr(c2t, 3), name, mp.nstr(form, 15),
                                                  mp.nstr(quad, 15)))


def main():
    if sys.argv[1:] == ["--check-averages"]:
        check_averages()
        return
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    rng = random.Random(19)
    points = sweeps(n, rng) + random_rows(n, rng)
    rows = []
    peak_cache = {}
    for p in points:
        key = tuple(p[1:])
        if key not in peak_cache:
            peak_cache[key] = peaks(p)
        rows.append(row(p, peak_cache[key]))
    header = ["nu"] + list(PARAMETERS[:1]) + list(PARAMETERS[1:]) + ["re_f", "im_f"]
    for name in PARAMETERS:
        header += ["re_d_" + name, "im_d_" + name]
    header += ["peak_d_" + name for name in PARAMETERS]
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "htp.csv")
    with open(path, "w", newline="\n") as f:
        f.write(",".join(header) + "\n" + "\n".join(rows) + "\n")
    print("%d rows written to %s" % (len(rows), path))


if __name__ == "__main__":
    main()
