// w(z) and w'(z) at full double precision over the whole plane.
//
// Method, at the first-quadrant point z = x + iy (symmetries give the rest):
//  - x >= 7.5 or y >= 4: the Laplace continued fraction w = (2/sqrt(pi)) r_0,
//    r_n = 1 / (2 (-iz + (n + 1) r_{n+1})), unwound from depth 5 + 110/|z|;
//    w' = 2i r_1 w and (z w)' = 4 r_1 r_2 w, free of cancellation.  The
//    omitted exp(-z^2) is below 1e-24 of Re w for y >= 7e-7.
//  - elsewhere: the trapezoidal rule, step h = 1/2, on
//    w(z) = (i/pi) Int exp(-t^2) / (z - t) dt over |t| <= 7, on the nodes
//    t = k h or (k + 1/2) h, whichever keep h/4 from x, plus the pole's term
//    -+2 exp(-z^2) q / (1 -+ q), q = exp(2 pi i z / h); error about
//    exp(-pi^2 / h^2) = 7e-18.  Paired nodes t, -t make Re w a sum of positive
//    terms, accurate far below |w|.  w' and (z w)' are the same rule on
//    -(2i/pi) Int t e^{-t^2} / (z - t) and (i/pi) Int (1 - 2t^2) e^{-t^2} /
//    (z - t), beyond |z| = 4 the latter with its two vanishing moments out.
//    exp, sin and cos are the kernel's own (lane_elementary.hpp), so the bits
//    are the same on every platform and in lanes.
// On the real axis Re w = exp(-x^2); near the Dawson function's maximum
// X0 = 0.924, where Im w' changes sign, Im w' is its Taylor series at X0.
// Below the real axis w(z) = 2 exp(-z^2) - w(-z) (w_lower_half.hpp); in the
// left half w(-conj z) = conj w(z); beyond ARG_LIMIT the asymptotic leading terms.
//
// Measured against 40-digit values (3700 first-quadrant points with region
// edges and grid switches, the line-shape tables): |w| within 9.3e-16
// relative, Re w within 3.3e-15 of itself (y >= 1e-8), w' within 1.5e-15,
// (z w)' within 3.6e-14 (near y = 4); w and w' within 6e-16 and 9.2e-16
// relative for y >= 0 up to |z| = 1e150.  Below the real axis w within 4.8e-16
// of |w| + 2|exp(-z^2)|, w' within 1.2e-15 of |w'| + 4|z||exp(-z^2)|, and on
// the imaginary axis both within 2.6e-16 relative up to overflow.
#include "vorlan/w_full.hpp"

#include <cmath>
#include <limits>

#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_steps.hpp"
#include "w_full_terms.hpp"
#include "w_lower_half.hpp"

namespace vorlan {
namespace detail {

void w_full_quadrant(double x, double y, bool with_zw_derivative, FullTerms& t) {
  if (in_fraction_region(x, y)) {
    fraction_terms(x, y, with_zw_derivative, t);
  } else {
    const TrapezoidGrid<double> grid = trapezoid_grid(x, y);
    trapezoid_terms(x, y, grid, trapezoid_tables(grid), with_zw_derivative, t);
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
    t.dr = t.wr == t.wr ? 0.0 : std::numeric_limits<double>::quiet_NaN();
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
  // w(-conj z) = conj w(z) and w'(-conj z) = -conj w'(z); below the real axis
  // the values at -z = -x + i|y| first.
  const bool mirror = y < 0.0 ? x > 0.0 : x < 0.0;
  const double wi = mirror ? -t.wi : t.wi;
  const double dr = mirror ? -t.dr : t.dr;
  if (y < 0.0) {
    complete_lower_half(x, y, t.wr, wi, dr, t.di, u, v, du, dv);
    return;
  }
  u = t.wr;
  v = wi;
  du = dr;
  dv = t.di;
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
