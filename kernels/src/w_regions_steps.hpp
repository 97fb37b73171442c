// The region kernel's steps (method in w_regions.cpp), written once for V =
// double and for the lane code's vectors, kGroups side by side, so that the
// one-point kernel and the lanes run the same statements; each lane loops to
// its own count.  The fraction's unwinding serves the full kernel too.
//
// This and every other header of shared steps has internal linkage: the lane
// code is compiled once per vector unit, and the linker could otherwise pick
// a wider unit's copy of an inline function for every caller.
#ifndef VORLAN_W_REGIONS_STEPS_HPP
#define VORLAN_W_REGIONS_STEPS_HPP

#include <cmath>

#include "lane_elementary.hpp"
#include "rounding.hpp"
#include "vorlan/w_regions.hpp"
#include "w_constants.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

// q = X^2 + Y^2, with Y returned in sy.
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

// The counts before rounding, from root_q = sqrt(q).
template <class V>
inline V series_terms(const V& sy, const V& root_q) {
  return 6.0 + 72.0 * ((1.0 - kSeriesTermSlope * sy) * root_q);
}

template <class V>
inline V fraction_passes(const V& root_q) {
  return 1442.0 / (26.0 * root_q + 77.0) + 3.0;
}

// The Taylor ring's counts before rounding and its step h, from sqrt(1 - q).
template <class V>
struct RingPlan {
  V kappa, h, nu;
};

template <class V>
inline RingPlan<V> ring_plan(const V& sy, const V& root_rest) {
  const V r = (1.0 - sy) * root_rest;
  return {7.0 + 34.0 * r, kTaylorStep * r, 16.0 + 26.0 * r};
}

// v = next in the lanes whose count reaches n (all: in every lane, no select).
template <class V>
inline void advance(bool all, const V& count, double n, V& v, const V& next) {
  v = all ? next : LaneOps<V>::select(count >= n, next, v);
}

// The erf series' sums by Horner's rule from the last term; s_r enters as
// 1/(2 terms + 1), s_i as 0.  most, least: the lanes' extreme term counts.
template <class V, int kGroups>
struct SeriesSums {
  V a[kGroups], b[kGroups];  // z^2
  V terms[kGroups], s_r[kGroups], s_i[kGroups];
};

template <class V, int kGroups>
inline void sum_series(SeriesSums<V, kGroups>& s, int most, int least) {
  for (int i = most; i >= 1; --i) {
    const double di = static_cast<double>(i);
    const double reciprocal = single_reciprocal(2 * i - 1);
    for (int g = 0; g < kGroups; ++g) {
      const V t = (s.s_r[g] * s.a[g] - s.s_i[g] * s.b[g]) / di;
      advance(i <= least, s.terms[g], di, s.s_i[g], (s.s_r[g] * s.b[g] + s.s_i[g] * s.a[g]) / di);
      advance(i <= least, s.terms[g], di, s.s_r[g], t + reciprocal);
    }
  }
}

// The continued fraction w = (2/sqrt(pi)) r_0, unwound from the bottom:
// r_n = 1 / (2 (-i z + (n + 1) r_{n+1})), each lane from level trunc(depth),
// r = 0 below it.  Dividing by a sum of squares keeps the real part's
// relative accuracy.  kKeeps adds the full kernel's r_1 and r_2, or the
// Taylor sums (y = Im z + h): at each level n <= kappa, ts = r_n (lambda + ts),
// lambda entering as h2^kappa and divided by h2 = 2h after each level.
enum class FractionKeeps { kNothing, kTaylorSums, kFirstTerms };

template <class V, int kGroups>
struct FractionUnwinding {
  V x[kGroups], y[kGroups], depth[kGroups];
  V rx[kGroups], ry[kGroups];  // 0 on entry
  V lambda[kGroups], h2[kGroups], kappa[kGroups], tsx[kGroups], tsy[kGroups];
  V r1x[kGroups], r1y[kGroups], r2x[kGroups], r2y[kGroups];
};

// deepest, shallowest: the lanes' extreme starting levels; most_taylor,
// least_taylor: their extreme kappa (-1: none).
template <FractionKeeps kKeeps, class V, int kGroups>
inline void unwind_fraction(FractionUnwinding<V, kGroups>& f, int deepest, int shallowest,
                            int most_taylor = -1, int least_taylor = -1) {
  for (int n = deepest; n >= 0; --n) {
    const double counter = static_cast<double>(n);
    const double m = static_cast<double>(n + 1);
    for (int g = 0; g < kGroups; ++g) {
      const V tx = f.y[g] + m * f.rx[g];
      const V ty = f.x[g] - m * f.ry[g];
      const V mu = 0.5 / (tx * tx + ty * ty);
      advance(n <= shallowest, f.depth[g], counter, f.rx[g], mu * tx);
      advance(n <= shallowest, f.depth[g], counter, f.ry[g], mu * ty);
      if constexpr (kKeeps == FractionKeeps::kFirstTerms) {
        if (n == 2) f.r2x[g] = f.rx[g], f.r2y[g] = f.ry[g];
        if (n == 1) f.r1x[g] = f.rx[g], f.r1y[g] = f.ry[g];
      }
    }
    if constexpr (kKeeps == FractionKeeps::kTaylorSums) {
      if (n > most_taylor) continue;  // no lane sums yet
      for (int g = 0; g < kGroups; ++g) {
        const V t = f.lambda[g] + f.tsx[g];
        const V next_sx = f.rx[g] * t - f.ry[g] * f.tsy[g];
        advance(n <= least_taylor, f.kappa[g], counter, f.tsy[g], f.ry[g] * t + f.rx[g] * f.tsy[g]);
        advance(n <= least_taylor, f.kappa[g], counter, f.tsx[g], next_sx);
        advance(n <= least_taylor, f.kappa[g], counter, f.lambda[g], f.lambda[g] / f.h2[g]);
      }
    }
  }
}

// The first-quadrant value from r_0, or from the Taylor sums where h != 0;
// on the real axis Re w is the Gaussian, which neither gives.
inline void outer_value(double x, double y, double h, double rx, double ry, double tsx, double tsy,
                        double& wr, double& wi) {
  const double ax = LaneOps<double>::magnitude(x);
  wr = y == 0.0 ? std::exp(-(ax * ax)) : TWO_OVER_SQRT_PI * (h == 0.0 ? rx : tsx);
  wi = TWO_OVER_SQRT_PI * (h == 0.0 ? ry : tsy);
}

// w at x + iy from w at the first-quadrant point, where 2 exp(-z^2) is
// (er2, ei2): w(-z) = 2 exp(-z^2) - w(z) and w(-conj z) = conj w(z).
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

// w(x + iy) from the series sums; z^2 = a + ib at the first-quadrant point.
// exp(-z^2) is bounded here, so the lower half-plane needs no range check.
inline void series_value(double x, double y, double a, double b, double s_r, double s_i, double& wr,
                         double& wi) {
  const double ax = LaneOps<double>::magnitude(x);
  const double ay = LaneOps<double>::magnitude(y);
  const double f_r = 1.0 - TWO_OVER_SQRT_PI * (s_r * ay + s_i * ax);
  const double f_i = TWO_OVER_SQRT_PI * (s_r * ax - s_i * ay);
  const double e = std::exp(-a);
  const double er = e * std::cos(b);
  const double ei = -(e * std::sin(b));
  wr = f_r * er - f_i * ei;
  wi = f_r * ei + f_i * er;
  map_to_quadrant(x, y, 2.0 * er, 2.0 * ei, wr, wi);
}

// Maps the fraction regions' first-quadrant value to x + iy; false, with
// (wr, wi) unmapped, where exp(-z^2) leaves the kernel's range.
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
