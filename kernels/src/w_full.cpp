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
//    The rule's remaining error is of order exp(-pi^2 / h^2) = 7e-18.  The
//    pole's exp, sin and cos are the kernel's own (lane_elementary.hpp), so
//    the rule is IEEE arithmetic alone, the same on every platform, and runs
//    in vector lanes (blocks/full_lanes.hpp) with the same bits.  Nodes
//    are paired, t and -t, so Re w = (h/pi) y sum 2 e^{-t^2} (|z|^2 + t^2) /
//    |z^2 - t^2|^2 is a sum of positive terms and keeps its relative accuracy
//    when much smaller than |w|; the pole term supplies the Gaussian.  w' and
//    (z w)' are the same rule applied to -(2i/pi) Int t e^{-t^2} / (z - t) and
//    (i/pi) Int (1 - 2t^2) e^{-t^2} / (z - t); beyond |z| = 4 the latter with
//    its two vanishing moments taken out, divided by z^2.
// On the real axis Re w = exp(-x^2) exactly as double rounding allows, and
// near the Dawson function's maximum X0 = 0.924, where Im w' = (2/sqrt(pi))
// (1 - 2 x D(x)) changes sign, Im w' from its Taylor series at X0.
// Lower half-plane: w(z) = 2 exp(-z^2) - w(-z), w'(z) = w'(-z) - 4 z exp(-z^2);
// left half-plane: w(-conj z) = conj w(z).  Beyond ARG_LIMIT the asymptotic
// leading terms, as the region plug-ins have them.
//
// Measured against 40-digit values (the line-shape tables and 3700 points
// sampled over the first quadrant, its region edges and grid switches):
// |w| within 9.3e-16 relative, Re w within 3.3e-15 of itself (y >= 1e-8),
// w' within 1.5e-15, (z w)' within 3.6e-14 (near y = 4, where the rule's
// aliasing grows); Z = i sqrt(pi) w within 6e-16 and Z' within 9.1e-16
// relative in the upper half-plane and on the real axis up to |z| = 1e150.
#include "vorlan/w_full.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

#include "rounding.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_steps.hpp"
#include "w_full_terms.hpp"

namespace vorlan {
namespace detail {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
  if (in_fraction_region(x, y)) {
    fraction_terms(x, y, with_zw_derivative, t);
  } else {
    const TrapezoidGrid<double> grid = trapezoid_grid(x, y);
    const TrapezoidTables tables = trapezoid_tables(grid);
    TrapezoidSums<double> sums{};
    trapezoid_sums(x, y, tables.nodes, tables.weights, tables.factors, with_zw_derivative, sums);
    trapezoid_finish(x, y, grid, with_zw_derivative, sums, t);
  }
  quadrant_close(x, y, with_zw_derivative, t);
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

void w_full_map(double x, double y, const FullTerms& t, double& u, double& v, double& du,
                double& dv) {
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
  reflect_derivative(x, y, dum, dvm, du, dv);
}

bool w_full_in_range(double x, double y) {
  return !std::isnan(x) && !std::isnan(y) && std::fabs(x) <= ARG_LIMIT && std::fabs(y) <= ARG_LIMIT;
}

}  // namespace detail

void W_FULL_ELEMENT(double x, double y, double& u, double& v, double& du, double& dv) {
  detail::FullTerms t{};
  if (!detail::w_full_in_range(x, y)) {
    detail::w_full_beyond(x, y, t);
    u = t.wr;
    v = t.wi;
    du = t.dr;
    dv = t.di;
    return;
  }
  detail::w_full_quadrant(std::fabs(x), std::fabs(y), false, t);
  detail::w_full_map(x, y, t, u, v, du, dv);
}

}  // namespace vorlan
