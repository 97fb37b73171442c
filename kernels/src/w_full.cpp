// w(z) and w'(z) at full double precision over the whole plane.
//
// Method, at the first-quadrant point z = x + iy (the symmetries below map
// it to the others):
//  - x >= 7.5 or y >= 4: the Laplace continued fraction w = (2/sqrt(pi)) r_0,
//    r_n = 1 / (2 (-iz + (n + 1) r_{n+1})), unwound from depth 5 + 110/|z|
//    (the region kernel's step).  Then w' = 2i r_1 w and (z w)' = 4 r_1 r_2 w,
//    products with no cancellation however large |z| is.  Near the real axis
//    the truncated fraction omits exp(-z^2), below 1e-24 of Re w there for
//    y >= 7e-7 (and Re w on the axis is set to exp(-x^2)).
//  - elsewhere: the trapezoidal rule with step h = 1/2 applied to
//      w(z) = (i/pi) Int exp(-t^2) / (z - t) dt,
//    on the nodes t = k h or t = (k + 1/2) h, whichever keep at least h/4
//    from x, over |t| <= 7, plus the pole's contribution
//      -2 exp(-z^2) q / (1 - q)   (or + 2 exp(-z^2) q / (1 + q) on the
//      shifted nodes),   q = exp(2 pi i z / h).
//    The rule's remaining error is of order exp(-pi^2 / h^2) = 7e-18.  Nodes
//    are paired, t and -t, so Re w = (h/pi) y sum 2 e^{-t^2} (|z|^2 + t^2) /
//    |z^2 - t^2|^2 is a sum of positive terms and keeps its relative accuracy
//    when much smaller than |w|; the pole term supplies the Gaussian.  w' and
//    (z w)' are the same rule applied to -(2i/pi) Int t e^{-t^2} / (z - t) and
//    (i/pi) Int (1 - 2t^2) e^{-t^2} / (z - t); beyond |z| = 4 the latter with
//    its two vanishing moments taken out, divided by z^2.
// Lower half-plane: w(z) = 2 exp(-z^2) - w(-z), w'(z) = w'(-z) - 4 z exp(-z^2);
// left half-plane: w(-conj z) = conj w(z).  Beyond ARG_LIMIT the asymptotic
// leading terms, as the region plug-ins have them.
//
// Measured against 40-digit values (the line-shape tables and 3700 points
// sampled over the first quadrant, its region edges and grid switches):
// |w| within 9.3e-16 relative, Re w within 3.3e-15 of itself (y >= 1e-8),
// w' within 1.5e-15, (z w)' within 3.6e-14 (near y = 4, where the rule's
// aliasing grows); Z = i sqrt(pi) w within 6e-16 and Z' within 2e-16
// relative in the upper half-plane up to |z| = 1e150.
#include <cmath>
#include <cstdint>
#include <limits>

#include "rounding.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"
#include "w_regions_steps.hpp"

namespace vorlan {
namespace detail {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where the continued fraction takes over from the trapezoidal rule, and its
// depth: measured for 3e-16 in w, w' and (z w)' (the depth needed is about
// 100 / |z| + 4 from |z| = 4 to 1e3).
constexpr double kFractionX = 7.5;
constexpr double kFractionY = 4.0;
constexpr double kDepthScale = 110.0;
constexpr double kDepthBase = 5.0;

// Trapezoidal rule: step h = 1/2, h/pi, 4 pi = 2 pi / h, the nodes per grid
// and the weights 2 exp(-t^2) of the two grids' positive nodes (t = h/2 + k h
// and t = h/4 + k h, k = 0, 1, ...; the node t = 0 is added on its own).
constexpr double kStep = 0.5;
constexpr double kStepOverPi = 0.15915494309189535;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;
constexpr int kNodes = 14;
constexpr double kIntegerGridWeights[kNodes] = {
    1.5576015661428098,      // t = 0.5
    0.7357588823428847,      // t = 1.0
    0.21079844912372867,     // t = 1.5
    0.03663127777746836,     // t = 2.0
    0.0038609082724554186,   // t = 2.5
    0.0002468196081733591,   // t = 3.0
    9.570234784258018e-06,   // t = 3.5
    2.2507034943851823e-07,  // t = 4.0
    3.2104561103712233e-09,  // t = 4.5
    2.7775887729928042e-11,  // t = 5.0
    1.4575448191639384e-13,  // t = 5.5
    4.639045660487139e-16,   // t = 6.0
    8.955464883436603e-19,   // t = 6.5
    1.0485771326726928e-21,  // t = 7.0
};
constexpr double kShiftedGridWeights[kNodes] = {
    1.8788261256269516,      // t = 0.25
    1.139565649461846,       // t = 0.75
    0.4192227743021956,      // t = 1.25
    0.09354124476791796,     // t = 1.75
    0.012659430854971494,    // t = 2.25
    0.0010391493643096769,   // t = 2.75
    5.173620044530824e-05,   // t = 3.25
    1.5622978816608982e-06,  // t = 3.75
    2.8614483837135376e-08,  // t = 4.25
    3.1787820189032735e-10,  // t = 4.75
    2.1418464765016153e-12,  // t = 5.25
    8.7532370057417e-15,     // t = 5.75
    2.1697105280858756e-17,  // t = 6.25
    3.2620278453403715e-20,  // t = 6.75
};
// Above this |z|^2, (z w)' is summed with its moments taken out.
constexpr double kMomentSplit = 16.0;

// exp(-x^2) for x >= 0, with x^2 split exactly so that the exponent's
// rounding (up to 745 eps) does not enter.
double gaussian(double x) {
  if (!(x < 40.0)) {
    return 0.0;  // exp(-1600) and beyond
  }
  double p;
  double e;
  two_product(x, x, p, e);
  return std::exp(-p) * (1.0 - e);
}

void fraction_terms(double x, double y, bool with_zw, FullTerms& t) {
  const double r = std::sqrt(x * x + y * y);
  const std::int32_t depth = trunc_to_int32(kDepthBase + kDepthScale / r);
  double rx = 0.0;
  double ry = 0.0;
  double r1x = 0.0;
  double r1y = 0.0;
  double r2x = 0.0;
  double r2y = 0.0;
  for (std::int32_t n = depth; n >= 0; --n) {
    fraction_step(x, y, static_cast<double>(n + 1), rx, ry);
    if (n == 2) {
      r2x = rx;
      r2y = ry;
    } else if (n == 1) {
      r1x = rx;
      r1y = ry;
    }
  }
  t.wr = TWO_OVER_SQRT_PI * rx;
  t.wi = TWO_OVER_SQRT_PI * ry;
  // w' = 2i r_1 w
  const double pr = r1x * t.wr - r1y * t.wi;
  const double pi = r1x * t.wi + r1y * t.wr;
  t.dr = -2.0 * pi;
  t.di = 2.0 * pr;
  if (with_zw) {
    // (z w)' = 4 r_1 r_2 w = -2i r_2 w'
    t.gr = 2.0 * (r2x * t.di + r2y * t.dr);
    t.gi = -2.0 * (r2x * t.dr - r2y * t.di);
  }
}

void trapezoid_terms(double x, double y, bool with_zw, FullTerms& t) {
  // 2x = nearest + u exactly, |u| <= 1/2: x lies u h from the nearest multiple
  // of h, and q = exp(-4 pi y) exp(2 pi i u).
  const double twice = x + x;
  const double u = twice - std::floor(twice + 0.5);
  const bool integer_grid = std::fabs(u) >= 0.25;
  const double* weights = integer_grid ? kIntegerGridWeights : kShiftedGridWeights;
  const double first = integer_grid ? kStep : 0.5 * kStep;
  const double yy = y * y;
  const double r2 = x * x + yy;
  const bool moments_out = r2 > kMomentSplit;
  double a = 0.0;  // sum of e (|z|^2 + t^2): Re w
  double b = 0.0;  // sum of e (|z|^2 - t^2): Im w
  double q = 0.0;  // sum of e t^2: Re w'
  double p = 0.0;  // sum of e t^2 Re(z^2 - t^2): Im w'
  double ga = 0.0;
  double gb = 0.0;
  for (int k = 0; k < kNodes; ++k) {
    const double node = first + kStep * k;
    const double tt = node * node;
    const double below = x - node;
    const double above = x + node;
    const double e = weights[k] / ((below * below + yy) * (above * above + yy));
    a += e * (r2 + tt);
    b += e * (r2 - tt);
    const double et = e * tt;
    q += et;
    p += et * (below * above - yy);
    if (with_zw) {
      const double c = moments_out ? et * (1.0 - 2.0 * tt) : et;
      ga += c * (r2 + tt);
      gb += c * (r2 - tt);
    }
  }
  if (integer_grid) {  // the node t = 0, weight 1
    const double inv = 1.0 / r2;
    a += inv;
    b += inv;
  }
  t.wr = kStepOverPi * y * a;
  t.wi = kStepOverPi * x * b;
  t.dr = -4.0 * kStepOverPi * (x * y) * q;
  t.di = -2.0 * kStepOverPi * p;
  if (with_zw) {
    if (moments_out) {
      // (y ga + i x gb) / z^2, |z^2| = |z|^2
      const double sr = kStepOverPi * y * ga;
      const double si = kStepOverPi * x * gb;
      const double zr = (x - y) * (x + y);
      const double zi = 2.0 * x * y;
      const double den = r2 * r2;
      t.gr = (sr * zr + si * zi) / den;
      t.gi = (si * zr - sr * zi) / den;
    } else {
      t.gr = kStepOverPi * y * (a - 2.0 * ga);
      t.gi = kStepOverPi * x * (b - 2.0 * gb);
    }
  }

  // The pole's term f = -s 2 g / (1 - s q), s = 1 on the integer grid and -1
  // on the shifted one, g = exp(-z^2) q.
  const double s = integer_grid ? 1.0 : -1.0;
  const double decay = std::exp(-kFourPi * y);
  const double turn = kTwoPi * u;
  const double qr = s * decay * std::cos(turn);
  const double qi = s * decay * std::sin(turn);
  // |g| = exp(-x^2 + y^2 - 4 pi y), x^2 split exactly as in gaussian()
  double xx;
  double xx_lo;
  two_product(x, x, xx, xx_lo);
  double exponent;
  double exponent_lo;
  two_sum(-xx, y * (y - kFourPi), exponent, exponent_lo);
  const double g_abs = std::exp(exponent) * (1.0 + (exponent_lo - xx_lo));
  const double phase = turn - 2.0 * x * y;
  const double gr = -2.0 * s * g_abs * std::cos(phase);
  const double gi = -2.0 * s * g_abs * std::sin(phase);
  const double dr = 1.0 - qr;
  const double di = -qi;
  const double dd = dr * dr + di * di;
  const double fr = (gr * dr + gi * di) / dd;
  const double fi = (gi * dr - gr * di) / dd;
  t.wr += fr;
  t.wi += fi;
  // w' gets -2 z f, (z w)' gets (1 - 2 z^2) f.
  t.dr += -2.0 * (x * fr - y * fi);
  t.di += -2.0 * (x * fi + y * fr);
  if (with_zw) {
    const double cr = 1.0 - 2.0 * ((x - y) * (x + y));
    const double ci = -4.0 * x * y;
    t.gr += cr * fr - ci * fi;
    t.gi += cr * fi + ci * fr;
  }
}

// w'(z) = w'(-z) - 4 z exp(-z^2) for y < 0, given w'(-z) as (dm_r, dm_i): the
// lower half-plane step of W_REFLECT, with its range rules, for the derivative.
void reflect_derivative(double x, double y, double dm_r, double dm_i, double& du, double& dv) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (std::exp(-((ax - ay) * (ax + ay))) == 0.0) {
    du = dm_r;
    dv = dm_i;
    return;
  }
  const double phase = (ax + ax) * ay;
  if (phase > TRIG_LIMIT) {
    du = kNaN;
    dv = kNaN;
    return;
  }
  // The factor grows with z, so its exponent y^2 - x^2 and phase 2|x||y| are
  // carried to twice the precision (their rounding would be eps times their
  // size, relative, in the result), then applied to first order.
  double xx;
  double xx_lo;
  double yy;
  double yy_lo;
  double xy;
  double xy_lo;
  two_product(ax, ax, xx, xx_lo);
  two_product(ay, ay, yy, yy_lo);
  two_product(ax, ay, xy, xy_lo);
  double exponent;
  double exponent_lo;
  two_sum(yy, -xx, exponent, exponent_lo);
  exponent_lo += yy_lo - xx_lo;
  const double phase_lo = 2.0 * xy_lo;
  const double c0 = std::cos(phase);
  const double s0 = std::sin(phase);
  // exp(-z^2) = exp(exponent) (cos phase + i sign(x) sin phase)
  const double c = (c0 - phase_lo * s0) * (1.0 + exponent_lo);
  const double s1 = (s0 + phase_lo * c0) * (1.0 + exponent_lo);
  const double sn = x > 0.0 ? s1 : -s1;
  const double pr = -4.0 * (x * c - y * sn);
  const double pi = -4.0 * (x * sn + y * c);
  double er;
  double ei;
  if (exponent <= EXP_LIMIT) {
    const double d = std::exp(exponent);
    er = pr * d;
    ei = pi * d;
  } else {
    // The product may be finite where exp(exponent) is not: scale twice, and
    // keep a zero part zero rather than 0 * Inf.
    const double half = std::exp(0.5 * exponent);
    er = pr == 0.0 ? 0.0 : (pr * half) * half;
    ei = pi == 0.0 ? 0.0 : (pi * half) * half;
  }
  du = x == 0.0 ? 0.0 : er + dm_r;  // w' is imaginary on the imaginary axis
  dv = ei + dm_i;
}

}  // namespace

void w_full_quadrant(double x, double y, bool with_zw_derivative, FullTerms& t) {
  if (x >= kFractionX || y >= kFractionY) {
    fraction_terms(x, y, with_zw_derivative, t);
  } else {
    trapezoid_terms(x, y, with_zw_derivative, t);
  }
  if (y == 0.0) {
    // On the real axis Re w is the Gaussian alone, which the continued
    // fraction leaves out.
    const double e = gaussian(x);
    t.wr = e;
    t.dr = -2.0 * x * e;
    if (with_zw_derivative) {
      t.gr = (1.0 - 2.0 * (x * x)) * e;
    }
  }
}

void w_full_beyond(double x, double y, FullTerms& t) {
  W_BEYOND_RANGE(x, y, t.wr, t.wi);
  if (std::isinf(x) || std::isinf(y)) {
    t.dr = t.wr == t.wr ? 0.0 : kNaN;
    t.di = t.dr;
    t.gr = t.dr;
    t.gi = t.dr;
    return;
  }
  // division by z with the smaller part scaled by the larger (nothing squared)
  auto divide_by_z = [x, y](double pr, double pi, double& qr, double& qi) {
    if (std::fabs(x) >= std::fabs(y)) {
      const double ratio = y / x;
      const double den = x + y * ratio;
      qr = (pr + pi * ratio) / den;
      qi = (pi - pr * ratio) / den;
    } else {
      const double ratio = x / y;
      const double den = x * ratio + y;
      qr = (pr * ratio + pi) / den;
      qi = (pi * ratio - pr) / den;
    }
  };
  divide_by_z(-t.wr, -t.wi, t.dr, t.di);
  divide_by_z(t.dr, t.di, t.gr, t.gi);
}

}  // namespace detail

void W_FULL_ELEMENT(double x, double y, double& u, double& v, double& du, double& dv) {
  detail::FullTerms t{};
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (std::isnan(x) || std::isnan(y) || ax > ARG_LIMIT || ay > ARG_LIMIT) {
    detail::w_full_beyond(x, y, t);
    u = t.wr;
    v = t.wi;
    du = t.dr;
    dv = t.di;
    return;
  }
  detail::w_full_quadrant(ax, ay, false, t);
  if (!(y < 0.0)) {
    // w(-conj z) = conj w(z); w'(-conj z) = -conj w'(z)
    u = t.wr;
    v = x < 0.0 ? -t.wi : t.wi;
    du = x < 0.0 ? -t.dr : t.dr;
    dv = t.di;
    return;
  }
  // -z = -x + i|y|: its values from the first-quadrant ones as above.
  const double um = t.wr;
  const double vm = x > 0.0 ? -t.wi : t.wi;
  const double dum = x > 0.0 ? -t.dr : t.dr;
  const double dvm = t.di;
  W_REFLECT(x, y, um, vm, u, v);
  // d/dz of w(-z) is -w'(-z): w'(z) = -4 z exp(-z^2) + w'(-z)
  detail::reflect_derivative(x, y, dum, dvm, du, dv);
}

}  // namespace vorlan
