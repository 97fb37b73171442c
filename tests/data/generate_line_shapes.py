#!/usr/bin/python3
"""Writes the line-shape reference tables.

line_shapes_voigt.csv: x, sigma, gamma and the Voigt profile V with dV/dx,
dV/dsigma and dV/dgamma, then each derivative's peak over x (its largest
modulus) for that (sigma, gamma) pair.  sigma and gamma/sigma each run from
1e-6 to 1e6, gamma = 0 and sigma = 0 included, |x| from 0 to 1e6 max(sigma,
gamma); then the Gaussian's rows at x = +-sigma and a few doubles either side,
where dV/dsigma changes sign.

line_shapes_plasma.csv: zeta = zr + i zi and Z(zeta) = i sqrt(pi) w(zeta) with
Z'(zeta) = -2 (1 + zeta Z), in the upper half-plane and on the real axis with
|zeta| up to 1e150, and in the lower half-plane where the values are finite;
then, from a stream of their own, the lower half-plane points where its
factor exp(-zeta^2) is hardest to form (x^2 and y^2 cancelling, the imaginary
axis up to and past overflow, written as inf) and both half-planes beyond
|x|, |y| = 5e153.

Every value is computed with mpmath at 40 significant digits and again at 60
(more where the derivative formulas cancel); the script stops if the two
disagree beyond 1e-25 relative in the complex modulus.  w comes from
exp(-z^2) erfc(-iz) for |z| <= 40 and from its asymptotic series
i/(sqrt(pi) z) sum (2k-1)!!/(2z^2)^k beyond, in the upper half-plane (whose
remainder there is below exp(-1500) relative); the lower half-plane by
w(z) = 2 exp(-z^2) - w(-z).  Inputs are seeded Python floats, so a rerun
reproduces the files byte for byte:
    /usr/bin/python3 tests/data/generate_line_shapes.py
"""

import math
import os
import random

from mpmath import mp, mpc, mpf

ASYMPTOTIC_FROM = 40


def w_terms(z):
    """w, w' and (z w)' at z with Im z >= 0."""
    if abs(z) <= ASYMPTOTIC_FROM:
        extra = 2 * int(math.log10(float(abs(z)) + 1.0)) + 10
        with mp.workdps(mp.dps + extra):
            w = mp.exp(-z * z) * mp.erfc(-1j * z)
            dw = -2 * z * w + 2j / mp.sqrt(mp.pi)
            dzw = w + z * dw
        return +w, +dw, +dzw
    inv2 = 1 / (z * z)
    c = mpf(1)
    power = 1 / z  # z^-(2k+1)
    w = dw = dzw = mpc(0)
    k = 0
    tiny = mpf(10) ** (-mp.dps - 10)
    while True:
        term = c * power
        w += term
        dw += -(2 * k + 1) * term / z
        dzw += -2 * k * term
        if abs(term) < tiny * abs(w):
            break
        k += 1
        c = c * (2 * k - 1) / 2
        power = power * inv2
    f = 1j / mp.sqrt(mp.pi)
    return f * w, f * dw, f * dzw


def w_any(z):
    """w and w' anywhere."""
    if z.imag >= 0:
        w, dw, _ = w_terms(z)
        return w, dw
    wm, dwm, _ = w_terms(-z)
    e = mp.exp(-z * z)
    return 2 * e - wm, -4 * z * e + dwm


def voigt(x, sigma, gamma):
    x, sigma, gamma = mpf(x), mpf(sigma), mpf(gamma)
    if sigma == 0:
        d = x * x + gamma * gamma
        return (gamma / (mp.pi * d), -2 * gamma * x / (mp.pi * d * d), mpf(0),
                (x * x - gamma * gamma) / (mp.pi * d * d))
    scale = sigma * mp.sqrt(2)
    w, dw, dzw = w_terms(mpc(abs(x), gamma) / scale)
    v = w.real / (sigma * mp.sqrt(2 * mp.pi))
    dx = dw.real / (2 * mp.sqrt(mp.pi) * sigma * sigma)
    if x < 0:
        dx = -dx
    dsigma = -dzw.real / (mp.sqrt(2 * mp.pi) * sigma * sigma)
    dgamma = -dw.imag / (2 * mp.sqrt(mp.pi) * sigma * sigma)
    return v, dx, dsigma, dgamma


def close(a, b):
    return abs(a - b) <= mpf("1e-25") * abs(b)


def checked(f, *args):
    mp.dps = 40
    low = f(*args)
    mp.dps = 60
    high = f(*args)
    for a, b in zip(low, high):
        if not close(a, b):
            raise SystemExit("precision check failed at %r" % (args,))
    return high


def fmt(v):
    if abs(v) < mpf(2) ** -1075:  # rounds to zero in double
        return "0.0"
    if abs(v) >= mpf(2) ** 1024 * (1 - mpf(2) ** -54):  # rounds to infinity
        return "inf" if v > 0 else "-inf"
    return mp.nstr(v, 17, min_fixed=1, max_fixed=0, strip_zeros=False)


def peaks(sigma, gamma):
    """The largest |dV/dx|, |dV/dsigma|, |dV/dgamma| over x, from a scan in
    the units of the wider width (each scales as 1/width^2)."""
    unit = max(sigma, gamma)
    mp.dps = 20
    best = [mpf(0)] * 3
    ts = [0.0] + [10 ** (-3 + 5 * i / 400) for i in range(401)]
    for t in ts:
        _, dx, ds, dg = voigt(t, sigma / unit, gamma / unit)
        best = [max(b, abs(d)) for b, d in zip(best, (dx, ds, dg))]
    return [b / (mpf(unit) ** 2) for b in best]


def voigt_rows(rng):
    rows = []
    pairs = []
    for sigma in (1e-6, 3.7e-3, 1.0, 290.0, 1e6):
        for ratio in (0.0, 1e-6, 1e-5, 1e-3, 0.05, 0.7, 1.0, 3.0, 30.0, 1e3, 1e5, 1e6):
            pairs.append((sigma, sigma * ratio))
    for gamma in (1e-6, 1.0, 1e6):
        pairs.append((0.0, gamma))
    for sigma, gamma in pairs:
        peak = peaks(sigma, gamma)
        unit = max(sigma, gamma)
        xs = [0.0, unit * 1e6, -unit * 1e6]
        xs += [unit * 10 ** rng.uniform(-3, 6) * rng.choice((1, -1)) for _ in range(24)]
        narrow = sigma if sigma > 0 else gamma
        xs += [narrow * rng.uniform(0, 16) for _ in range(16)]
        for x in xs:
            v = checked(voigt, x, sigma, gamma)
            rows.append(",".join([repr(x), repr(sigma), repr(gamma)] + [fmt(t) for t in v] +
                                 [fmt(p) for p in peak]))
    return rows


def gaussian_sign_change_rows():
    """The Gaussian's dV/dsigma where it changes sign, at x = +-sigma and k
    doubles either side, where (x^2 - sigma^2) cancels to a few units: V and
    its x- and sigma-derivatives from the closed form (dV/dsigma = V (x^2 -
    sigma^2) / sigma^3, exactly 0 at x = sigma), dV/dgamma as above."""
    rows = []
    for sigma in (1e-6, 3.7e-3, 0.7, 1.0, 290.0, 1e6):
        peak = peaks(sigma, 0.0)
        xs = [sigma, -sigma]
        up = down = sigma
        for k in range(1, 41):
            up = math.nextafter(up, math.inf)
            down = math.nextafter(down, 0.0)
            if k in (1, 2, 5, 40):
                xs += [up, -down]
        for x in xs:
            mp.dps = 40
            dgamma = voigt(x, sigma, 0.0)[3]
            mp.dps = 60
            if not close(dgamma, voigt(x, sigma, 0.0)[3]):
                raise SystemExit("precision check failed at %r" % ((x, sigma),))
            t, s = mpf(x), mpf(sigma)
            v = mp.exp(-t * t / (2 * s * s)) / (s * mp.sqrt(2 * mp.pi))
            values = (v, -t / (s * s) * v, (t * t - s * s) / s**3 * v, dgamma)
            rows.append(",".join([repr(x), repr(sigma), repr(0.0)] + [fmt(u) for u in values] +
                                 [fmt(p) for p in peak]))
    return rows


def plasma(zr, zi):
    z = mpc(zr, zi)
    w, dw = w_any(z)
    f = 1j * mp.sqrt(mp.pi)
    return f * w, f * dw


def lower_half_points(rng):
    """Where the lower half-plane factor exp(-zeta^2) is hardest to form."""
    points = []
    for _ in range(40):  # near zeta = x - i|x|, |x| 10 to 26: x^2 and y^2 cancel
        x = rng.choice((1, -1)) * rng.uniform(10, 26)
        points.append((x, -math.sqrt(x * x + rng.uniform(-30, 30))))
    for _ in range(30):  # the imaginary axis below the real one, nothing cancels
        points.append((0.0, -rng.uniform(1, 26.6)))
    # ... up to and past the overflow of Z' (|y| ~ 26.55) and of Z (~ 26.63)
    for y in (26.5, 26.58, 26.62, 26.628, 26.64, 27.0, 30.0, 1e10, 6e153, 1e300):
        points.append((rng.choice((0.0, -0.0)), -y))
    for _ in range(12):  # beyond 5e153 with both parts large: above, and below
        # where exp(-zeta^2) vanishes (|y| < |x|; elsewhere there it has no value)
        r = 10 ** rng.uniform(math.log10(5.1e153), 300)
        angle = rng.uniform(0.1, 1.4)
        points.append((rng.choice((1, -1)) * r * math.cos(angle), r * math.sin(angle)))
        angle = rng.uniform(0.1, 0.75)
        points.append((rng.choice((1, -1)) * r * math.cos(angle), -r * math.sin(angle)))
    # Z' ~ 1/zeta^2 keeps its bits only just beyond 5e153 (below 2e-308 there)
    points += [(6e153, -5e153), (6e153, 5e153), (-6e153, -5e153), (-6e153, 5e153),
               (5e153, 6e153), (-5e153, 6e153), (2e153, 7e153), (7e153, -2e153)]
    return points


def plasma_rows(rng):
    points = []
    for _ in range(700):  # upper half-plane, |zeta| from 1e-3 to 1e150
        r = 10 ** rng.uniform(-3, 150)
        angle = rng.uniform(0, math.pi)
        points.append((r * math.cos(angle), r * math.sin(angle)))
    for _ in range(400):  # where the methods meet: |zeta| up to 12
        points.append((rng.uniform(-12, 12), rng.uniform(0, 12)))
    for _ in range(200):  # close to the real axis, inside the Gaussian's reach
        points.append((rng.uniform(-30, 30), 10 ** rng.uniform(-12, 0)))
    for _ in range(100):  # the real axis
        points.append((rng.choice((1, -1)) * 10 ** rng.uniform(-3, 150), 0.0))
    for _ in range(300):  # lower half-plane, values finite
        r = 10 ** rng.uniform(-3, math.log10(25))
        angle = rng.uniform(-math.pi, 0)
        points.append((r * math.cos(angle), r * math.sin(angle)))
    for _ in range(40):  # lower half-plane where exp(-zeta^2) vanishes
        x = rng.choice((1, -1)) * 10 ** rng.uniform(2, 100)
        points.append((x, -abs(x) * rng.uniform(0, 0.9)))
    points += lower_half_points(random.Random(17))
    rows = []
    for zr, zi in points:
        z, dz = checked(plasma, zr, zi)
        rows.append(",".join([repr(zr), repr(zi), fmt(z.real), fmt(z.imag), fmt(dz.real),
                              fmt(dz.imag)]))
    return rows


def write(name, header, rows):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(path, "w", newline="\n") as f:
        f.write(header + "\n" + "\n".join(rows) + "\n")
    print("%d rows written to %s" % (len(rows), path))


def main():
    write("line_shapes_plasma.csv", "zr,zi,re_z,im_z,re_dz,im_dz", plasma_rows(random.Random(13)))
    write("line_shapes_voigt.csv",
          "x,sigma,gamma,v,dv_dx,dv_dsigma,dv_dgamma,peak_dx,peak_dsigma,peak_dgamma",
          voigt_rows(random.Random(31)) + gaussian_sign_change_rows())


if __name__ == "__main__":
    main()
