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

// One level of the continued fraction w = (2/sqrt(pi)) r_0, unwound from the
// bottom: r_n = 1 / (2 (-i z + (n + 1) r_{n+1})) with z = ax + i ay, in
// (rx, ry) on entry r_{n+1} and on return r_n; shifted_y is ay plus the Taylor
// step (0 outside the Taylor ring) and m is n + 1.  Each division is by a sum
// of squares, so the fraction keeps the relative accuracy of its real part.
inline void fraction_step(double ax, double shifted_y, double m, double& rx, double& ry) {
  const double tx = shifted_y + m * rx;
  const double ty = ax - m * ry;
  const double mu = 0.5 / (tx * tx + ty * ty);
  rx = mu * tx;
  ry = mu * ty;
}

// The value at x + iy from the value (wr, wi) at the first-quadrant point,
// by w(-z) = 2 exp(-z^2) - w(z) below the real axis, with 2 exp(-z^2) at the
// first-quadrant point given as (er2, ei2), and w(-conj z) = conj w(z).
inline void map_to_quadrant(double x, double y, double er2, double ei2, double& wr, double& wi) {
  if (y < 0.0) {
    wr = er2 - wr;
    wi = ei2 - wi;
    if (x > 0.0) {
      wi = -wi;
    }
  } else if (x < 0.0) {
    wi = -wi;
  }
}

// Power-series region: from the series sums (s_r, s_i) at the first-quadrant
// point (ax, ay), with z^2 = a + ib there, w(x + iy) as (wr, wi).  The factor
// exp(-z^2) is bounded in this region, so the lower half-plane step needs no
// range check.
inline void series_value(double x, double y, double ax, double ay, double a, double b, double s_r,
                         double s_i, double& wr, double& wi) {
  const double f_r = 1.0 - TWO_OVER_SQRT_PI * (s_r * ay + s_i * ax);
  const double f_i = TWO_OVER_SQRT_PI * (s_r * ax - s_i * ay);
  const double e = std::exp(-a);
  const double er = e * std::cos(b);
  const double ei = -(e * std::sin(b));
  wr = f_r * er - f_i * ei;
  wi = f_r * ei + f_i * er;
  map_to_quadrant(x, y, 2.0 * er, 2.0 * ei, wr, wi);
}

// Continued-fraction regions: maps the first-quadrant value (wr, wi) to the
// quadrant of x + iy, where z^2 = a + ib at the first-quadrant point.  False,
// with (wr, wi) left as they are, where the lower half-plane factor
// exp(-z^2) leaves the range the kernel computes it in.
inline bool map_outer_value(double x, double y, double a, double b, double& wr, double& wi) {
  double er2 = 0.0;
  double ei2 = 0.0;
  if (y < 0.0) {
    const double neg_a = -a;
    if (b > TRIG_LIMIT || neg_a > EXP_LIMIT) {
      return false;
    }
    const double d = 2.0 * std::exp(neg_a);
    er2 = d * std::cos(b);
    ei2 = -(d * std::sin(b));
  }
  map_to_quadrant(x, y, er2, ei2, wr, wi);
  return true;
}

}  // namespace
}  // namespace vorlan::detail

#endif
