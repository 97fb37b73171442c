// The closing steps of the region kernel, shared by the one-point kernel and
// its vector-lane version so that both are the same statements.
//
// Internal linkage on purpose: the lane code is compiled once per vector unit,
// and an inline function with external linkage could have its copy from a
// wider unit picked by the linker for every caller.
#ifndef VORLAN_W_REGIONS_STEPS_HPP
#define VORLAN_W_REGIONS_STEPS_HPP

#include <cmath>

#include "vorlan/w_regions.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

// Power-series region: from the series sums (s_r, s_i) at the first-quadrant
// point (ax, ay), with z^2 = a + ib there, w(x + iy) as (wr, wi).  The factor
// exp(-z^2) is bounded in this region, so the lower half-plane step needs no
// range check.
inline void series_value(double x, double y, double ax, double ay, double a, double b, double s_r,
                         double s_i, double& wr, double& wi) {
  const double f_r = 1.0 - TWO_OVER_SQRT_PI * (s_r * ay + s_i * ax);
  const double f_i = TWO_OVER_SQRT_PI * (s_r * ax - s_i * ay);
  const double e = std::exp(-a);
  double er = e * std::cos(b);
  double ei = -(e * std::sin(b));
  wr = f_r * er - f_i * ei;
  wi = f_r * ei + f_i * er;
  if (y < 0.0) {
    er = 2.0 * er;
    ei = 2.0 * ei;
    wr = er - wr;
    wi = ei - wi;
    if (x > 0.0) {
      wi = -wi;
    }
  } else if (x < 0.0) {
    wi = -wi;
  }
}

// Continued-fraction regions: maps the first-quadrant value (wr, wi) to the
// quadrant of x + iy, where z^2 = a + ib at the first-quadrant point.  False,
// with (wr, wi) left as they are, where the lower half-plane factor
// exp(-z^2) leaves the range the kernel computes it in.
inline bool map_outer_value(double x, double y, double a, double b, double& wr, double& wi) {
  if (y < 0.0) {
    const double neg_a = -a;
    if (b > TRIG_LIMIT || neg_a > EXP_LIMIT) {
      return false;
    }
    const double d = 2.0 * std::exp(neg_a);
    const double er = d * std::cos(b);
    const double ei = -(d * std::sin(b));
    wr = er - wr;
    wi = ei - wi;
    if (x > 0.0) {
      wi = -wi;
    }
  } else if (x < 0.0) {
    wi = -wi;
  }
  return true;
}

}  // namespace
}  // namespace vorlan::detail

#endif
