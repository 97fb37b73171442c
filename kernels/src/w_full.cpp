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
// Lower half-plane: w(z) = 2 exp(-z^2) - w(-z), w'(z) = w'(-z) - 4 z exp(-z^2),
// exp(-z^2) from the exact -z^2 (w_lower_half.hpp); left half-plane:
// w(-conj z) = conj w(z).  Beyond ARG_LIMIT the asymptotic leading terms, as
// the region plug-ins have them (+Inf on the imaginary axis below the real one).
//
// Measured against 40-digit values (the line-shape tables and 3700 points
// sampled over the first quadrant, its region edges and grid switches):
// |w| within 9.3e-16 relative, Re w within 3.3e-15 of itself (y >= 1e-8),
// w' within 1.5e-15, (z w)' within 3.6e-14 (near y = 4, where the rule's
// aliasing grows); Z = i sqrt(pi) w within 6e-16 and Z' within 9.2e-16
// relative in the upper half-plane and on the real axis up to |z| = 1e150.
// Below the real axis Z within 4.8e-16 of |Z| + 2 sqrt(pi) |exp(-z^2)| and Z'
// within 1.2e-15 of |Z'| + 4 sqrt(pi) |z| |exp(-z^2)|, and on the imaginary
// axis, where nothing cancels, both within 2.6e-16 relative up to overflow.
#include "vorlan/w_full.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

#include "rounding.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_steps.hpp"
#include "w_full_terms.hpp"
#include "w_lower_half.hpp"

namespace vorlan {
namespace detail {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
  if (x == 0.0 && y < 0.0) {
    // w = +Inf on the imaginary axis below the real one; w' = i (2|y| w +
    // 2/sqrt(pi)) and (z w)' = w + |y| Im w' with it.
    t.dr = 0.0;
    t.di = std::numeric_limits<double>::infinity();
    t.gr = t.di;
    t.gi = -0.0;
    return;
  }
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
  complete_lower_half(x, y, um, vm, dum, dvm, u, v, du, dv);
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
