// The region kernel's steps, written once for a double and for the lane
// code's vector of doubles (V), kGroups independent values side by side: the
// one-point kernel is their width-one instance (V = double, kGroups = 1), so
// both run the same statements.  Each lane runs its own count of a loop: a
// lane past its count keeps its value (a select), and where every lane of
// the batch is still running no select is made.  The continued fraction's
// unwinding also serves the full-precision kernel.
//
// Internal linkage on purpose: the lane code is compiled once per vector unit,
// and an inline function with external linkage could have its copy from a
// wider unit picked by the linker for every caller.
#ifndef VORLAN_W_REGIONS_STEPS_HPP
#define VORLAN_W_REGIONS_STEPS_HPP

#include <cmath>

#include "lane_elementary.hpp"
#include "rounding.hpp"
#include "vorlan/w_regions.hpp"
#include "w_constants.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

// The plan at the first-quadrant point (ax, ay): q = X^2 + Y^2 with
// X = ax / 6.3f and Y = ay / 4.4f (returned in sy), and z^2 = a + ib.
template <class V>
inline V region_q(const V& ax, const V& ay, V& sy) {
  const V sx = ax / kScaleX;
  sy = ay / kScaleY;
  return sx * sx + sy * sy;
}

template <class V>
inline void z_squared(const V& ax, const V& ay, V& a, V& b) {
  a = ax * ax - ay * ay;
  b = (ax + ax) * ay;
}

// The counts before rounding: the series' terms (q < kSeriesBound) and the
// fraction's depth (q > 1), from root_q = sqrt(q).
template <class V>
inline V series_terms(const V& sy, const V& root_q) {
  return 6.0 + 72.0 * ((1.0 - kSeriesTermSlope * sy) * root_q);
}

template <class V>
inline V fraction_passes(const V& root_q) {
  return 1442.0 / (26.0 * root_q + 77.0) + 3.0;
}

// The Taylor ring's counts before rounding and its step h, from
// root_rest = sqrt(1 - q).
template <class V>
struct RingPlan {
  V kappa;
  V h;
  V nu;
};

template <class V>
inline RingPlan<V> ring_plan(const V& sy, const V& root_rest) {
  const V r = (1.0 - sy) * root_rest;
  return {7.0 + 34.0 * r, kTaylorStep * r, 16.0 + 26.0 * r};
}

// The erf series' sums s = sum_n (z^2)^n / (n! (2n + 1)), by Horner's rule
// from the last term, with single-precision reciprocals 1/(2n + 1).
template <class V, int kGroups>
struct SeriesSums {
  V a[kGroups];  // z^2 = a + ib
  V b[kGroups];
  V terms[kGroups];  // each lane's term count
  V s_r[kGroups];    // on entry 1/(2 terms + 1)
  V s_i[kGroups];    // on entry 0
};

// most and least: the largest and smallest term counts of the lanes.
template <class V, int kGroups>
inline void sum_series(SeriesSums<V, kGroups>& s, int most, int least) {
  for (int i = most; i >= 1; --i) {
    const double di = static_cast<double>(i);
    const double reciprocal = single_reciprocal(2 * i - 1);
    const bool all_active = i <= least;
    for (int g = 0; g < kGroups; ++g) {
      const V t = (s.s_r[g] * s.a[g] - s.s_i[g] * s.b[g]) / di;
      const V next_si = (s.s_r[g] * s.b[g] + s.s_i[g] * s.a[g]) / di;
      const V next_sr = t + reciprocal;
      if (all_active) {
        s.s_r[g] = next_sr;
        s.s_i[g] = next_si;
      } else {
        const typename LaneOps<V>::Cond active = s.terms[g] >= di;
        s.s_r[g] = LaneOps<V>::select(active, next_sr, s.s_r[g]);
        s.s_i[g] = LaneOps<V>::select(active, next_si, s.s_i[g]);
      }
    }
  }
}

// One level of the continued fraction w = (2/sqrt(pi)) r_0, unwound from the
// bottom: r_n = 1 / (2 (-i z + (n + 1) r_{n+1})) with z = x + iy, from
// r_{n+1} = (rx, ry), m = n + 1.  Each division is by a sum of squares, so
// the fraction keeps the relative accuracy of its real part.
template <class V>
inline void fraction_step(const V& x, const V& y, double m, const V& rx, const V& ry, V& next_x,
                          V& next_y) {
  const V tx = y + m * rx;
  const V ty = x - m * ry;
  const V mu = 0.5 / (tx * tx + ty * ty);
  next_x = mu * tx;
  next_y = mu * ty;
}

// What the unwinding keeps beside r_0: nothing, the region kernel's Taylor
// sums, or the full kernel's r_1 and r_2.
enum class FractionKeeps { kNothing, kTaylorSums, kFirstTerms };

// The unwinding's state.  In the Taylor ring y is Im z plus the step h, and
// at each level n <= kappa the sums become ts = r_n (lambda + ts), lambda
// starting at h2^kappa and divided by h2 = 2h after each such level.
template <class V, int kGroups>
struct FractionUnwinding {
  V x[kGroups];
  V y[kGroups];
  V depth[kGroups];  // each lane unwinds from level trunc(depth)
  V rx[kGroups];     // r_n; 0 on entry
  V ry[kGroups];
  V lambda[kGroups];
  V h2[kGroups];
  V kappa[kGroups];  // the last sum's level (-1: no sums)
  V tsx[kGroups];    // 0 on entry
  V tsy[kGroups];
  V r1x[kGroups];
  V r1y[kGroups];
  V r2x[kGroups];
  V r2y[kGroups];
};

// deepest and shallowest: the lanes' largest and smallest starting levels,
// most_taylor and least_taylor their largest and smallest kappa.
template <FractionKeeps kKeeps, class V, int kGroups>
inline void unwind_fraction(FractionUnwinding<V, kGroups>& f, int deepest, int shallowest,
                            int most_taylor = -1, int least_taylor = -1) {
  using Ops = LaneOps<V>;
  for (int n = deepest; n >= 0; --n) {
    const double counter = static_cast<double>(n);
    const double m = static_cast<double>(n + 1);
    const bool all_active = n <= shallowest;
    for (int g = 0; g < kGroups; ++g) {
      V next_x;
      V next_y;
      fraction_step(f.x[g], f.y[g], m, f.rx[g], f.ry[g], next_x, next_y);
      if (all_active) {
        f.rx[g] = next_x;
        f.ry[g] = next_y;
      } else {
        const typename Ops::Cond active = f.depth[g] >= counter;
        f.rx[g] = Ops::select(active, next_x, f.rx[g]);
        f.ry[g] = Ops::select(active, next_y, f.ry[g]);
      }
    }
    if constexpr (kKeeps == FractionKeeps::kFirstTerms) {
      for (int g = 0; g < kGroups; ++g) {
        if (n == 2) {
          f.r2x[g] = f.rx[g];
          f.r2y[g] = f.ry[g];
        } else if (n == 1) {
          f.r1x[g] = f.rx[g];
          f.r1y[g] = f.ry[g];
        }
      }
    }
    if constexpr (kKeeps == FractionKeeps::kTaylorSums) {
      if (n > most_taylor) continue;  // no lane sums yet
      const bool all_summing = n <= least_taylor;
      for (int g = 0; g < kGroups; ++g) {
        const V t = f.lambda[g] + f.tsx[g];
        const V next_sx = f.rx[g] * t - f.ry[g] * f.tsy[g];
        const V next_sy = f.ry[g] * t + f.rx[g] * f.tsy[g];
        if (all_summing) {
          f.tsx[g] = next_sx;
          f.tsy[g] = next_sy;
          f.lambda[g] = f.lambda[g] / f.h2[g];
        } else {
          const typename Ops::Cond summing = f.kappa[g] >= counter;
          f.tsx[g] = Ops::select(summing, next_sx, f.tsx[g]);
          f.tsy[g] = Ops::select(summing, next_sy, f.tsy[g]);
          f.lambda[g] = Ops::select(summing, f.lambda[g] / f.h2[g], f.lambda[g]);
        }
      }
    }
  }
}

// The continued-fraction regions' first-quadrant value: (2/sqrt(pi)) r_0, or
// the Taylor sums in the ring (h != 0); on the real axis Re w is the Gaussian,
// which neither gives.
inline void outer_value(double ax, double ay, double h, double rx, double ry, double tsx,
                        double tsy, double& wr, double& wi) {
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
