// Region-based w(z).  With X = |x| / 6.3f, Y = |y| / 4.4f (single-precision
// scales) and q = X^2 + Y^2, w at the first-quadrant point comes
//  - for q < 0.085264 from erf's power series, w = exp(-z^2) (1 - 2/sqrt(pi)
//    (-iz) sum), with single-precision reciprocals 1/(2n+1): a few 1e-7
//    relative;
//  - for q > 1 from the Laplace continued fraction, depth shrinking with q;
//  - in between from a Taylor expansion around z + ih, whose derivatives the
//    unwound fraction yields.
// w(-conj z) = conj w(z) and w(-z) = 2 exp(-z^2) - w(z) map it to z's quadrant.
#include "vorlan/w_regions.hpp"

#include <cmath>

#include "integer_power.hpp"
#include "rounding.hpp"
#include "w_constants.hpp"
#include "w_regions_steps.hpp"

namespace vorlan {

void W_REGIONS(const double& x, const double& y, double& u, double& v, std::int32_t& flag) {
  // |x| by clearing the sign bit: GCC moves std::fabs past a rounding ((|x| / c)^2
  // becomes (x / c)^2), which differs under directed rounding.
  const double ax = detail::LaneOps<double>::magnitude(x);
  const double ay = detail::LaneOps<double>::magnitude(y);
  if (ax > ARG_LIMIT || ay > ARG_LIMIT) {
    flag = -1;
    return;
  }

  double sy;
  const double q = detail::region_q(ax, ay, sy);
  double a, b;
  detail::z_squared(ax, ay, a, b);

  if (q < detail::kSeriesBound) {
    const std::int32_t terms = detail::round_to_int32(detail::series_terms(sy, std::sqrt(q)));
    detail::SeriesSums<double, 1> s{
        {a}, {b}, {static_cast<double>(terms)}, {detail::single_reciprocal(2 * terms + 1)}, {0.0}};
    detail::sum_series(s, terms, terms);
    detail::series_value(x, y, a, b, s.s_r[0], s.s_i[0], u, v);
    flag = 0;
    return;
  }

  double h = 0.0;
  std::int32_t kappa = -1;  // no Taylor sums
  std::int32_t nu;
  if (q > 1.0) {
    nu = detail::trunc_to_int32(detail::fraction_passes(std::sqrt(q)));
  } else {
    const detail::RingPlan<double> ring = detail::ring_plan(sy, std::sqrt(1.0 - q));
    h = ring.h;
    nu = detail::round_to_int32(ring.nu);
    if (h > 0.0) kappa = detail::round_to_int32(ring.kappa);
  }
  detail::FractionUnwinding<double, 1> f{};
  f.x[0] = ax;
  f.y[0] = ay + h;
  f.depth[0] = static_cast<double>(nu);
  f.h2[0] = h + h;
  f.lambda[0] = detail::integer_powers(f.h2[0], &kappa);
  f.kappa[0] = static_cast<double>(kappa);
  detail::unwind_fraction<detail::FractionKeeps::kTaylorSums>(f, nu, nu, kappa, kappa);
  double wr, wi;  // not u, v yet: they may be x, y
  detail::outer_value(x, y, h, f.rx[0], f.ry[0], f.tsx[0], f.tsy[0], wr, wi);
  flag = detail::map_outer_value(x, y, a, b, wr, wi) ? 0 : -1;
  u = wr;
  v = wi;
}

}  // namespace vorlan
