// Region-based w(z).
//
// With X = |x| / 6.3f and Y = |y| / 4.4f (single-precision scales widened to
// double) and q = X^2 + Y^2, the value at the first-quadrant point is taken
//  - for q < 0.085264 from the power series of erf: w = exp(-z^2) (1 - 2/sqrt(pi)
//    * (-iz) * sum), summed with single-precision reciprocals 1/(2n+1), so the
//    region is accurate to a few 1e-7 relative;
//  - for q > 1 from the Laplace continued fraction of w, truncated at a depth
//    that shrinks with distance;
//  - in between from a Taylor expansion around z + ih, whose derivatives the
//    continued fraction yields as it is unwound.
// The symmetries w(-conj z) = conj w(z) and w(-z) = 2 exp(-z^2) - w(z) then
// map the value to the quadrant of z.
#include "vorlan/w_regions.hpp"

#include <cmath>

#include "integer_power.hpp"
#include "rounding.hpp"
#include "w_constants.hpp"
#include "w_regions_steps.hpp"

namespace vorlan {
namespace {

using detail::integer_power;
using detail::kScaleX;
using detail::kScaleY;
using detail::kSeriesBound;
using detail::kSeriesTermSlope;
using detail::kTaylorStep;

}  // namespace

void W_REGIONS(const double& x, const double& y, double& u, double& v, std::int32_t& flag) {
  const double ax = detail::clear_sign(x);
  const double ay = detail::clear_sign(y);
  if (ax > ARG_LIMIT || ay > ARG_LIMIT) {
    flag = -1;
    return;
  }

  const double sx = ax / kScaleX;
  const double sy = ay / kScaleY;
  const double q = sx * sx + sy * sy;
  // z^2 at the first-quadrant point.
  const double a = ax * ax - ay * ay;
  const double b = (ax + ax) * ay;

  double wr;
  double wi;
  if (q < kSeriesBound) {
    const double r = (1.0 - kSeriesTermSlope * sy) * std::sqrt(q);
    const std::int32_t terms = detail::round_to_int32(6.0 + 72.0 * r);
    std::int32_t j = 2 * terms + 1;
    double s_r = detail::single_reciprocal(j);
    double s_i = 0.0;
    for (std::int32_t i = terms; i >= 1; --i) {
      j -= 2;
      const double di = static_cast<double>(i);
      const double t = (s_r * a - s_i * b) / di;
      s_i = (s_r * b + s_i * a) / di;
      s_r = t + detail::single_reciprocal(j);
    }
    detail::series_value(x, y, ax, ay, a, b, s_r, s_i, wr, wi);
    flag = 0;
    u = wr;
    v = wi;
    return;
  } else {
    double h;
    std::int32_t kappa;
    std::int32_t nu;
    if (q > 1.0) {
      h = 0.0;
      kappa = 0;
      nu = detail::trunc_to_int32(1442.0 / (26.0 * std::sqrt(q) + 77.0) + 3.0);
    } else {
      const double r = (1.0 - sy) * std::sqrt(1.0 - q);
      kappa = detail::round_to_int32(7.0 + 34.0 * r);
      h = kTaylorStep * r;
      nu = detail::round_to_int32(16.0 + 26.0 * r);
    }
    const double h2 = h + h;
    double lambda = h > 0.0 ? integer_power(h2, kappa) : 0.0;
    double rx = 0.0;
    double ry = 0.0;
    double tsx = 0.0;
    double tsy = 0.0;
    for (std::int32_t n = nu; n >= 0; --n) {
      detail::fraction_step(ax, ay + h, static_cast<double>(n + 1), rx, ry);
      if (h > 0.0 && n <= kappa) {
        const double t = lambda + tsx;
        const double next_sx = rx * t - ry * tsy;
        tsy = ry * t + rx * tsy;
        tsx = next_sx;
        lambda = lambda / h2;
      }
    }
    if (h == 0.0) {
      wr = TWO_OVER_SQRT_PI * rx;
      wi = TWO_OVER_SQRT_PI * ry;
    } else {
      wr = TWO_OVER_SQRT_PI * tsx;
      wi = TWO_OVER_SQRT_PI * tsy;
    }
    if (ay == 0.0) {
      wr = std::exp(-(ax * ax));
    }
  }

  if (!detail::map_outer_value(x, y, a, b, wr, wi)) {
    u = wr;  // the first-quadrant value, unmapped
    v = wi;
    flag = -1;
    return;
  }
  flag = 0;
  u = wr;
  v = wi;
}

}  // namespace vorlan
