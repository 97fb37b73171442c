// The full-precision w kernel's steps (method in w_full.cpp), generic in the
// number type so that the lane code runs the same operations.  Constants:
// w_full_tables.hpp.
#ifndef VORLAN_W_FULL_STEPS_HPP
#define VORLAN_W_FULL_STEPS_HPP

#include <cmath>
#include <cstdint>

#include "exact_arithmetic.hpp"
#include "lane_elementary.hpp"
#include "rounding.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_tables.hpp"
#include "w_full_terms.hpp"
#include "w_regions_steps.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_regions_steps.hpp

// Above this |z|^2, (z w)' is summed with its moments taken out.
constexpr double kMomentSplit = 16.0;

template <class V>
struct TrapezoidSums {
  V a;   // sum of e (|z|^2 + t^2): Re w
  V b;   // sum of e (|z|^2 - t^2): Im w
  V q;   // sum of e t^2: Re w'
  V p;   // sum of e t^2 Re(z^2 - t^2): Im w'
  V ga;  // as a and b for (z w)', with the moment factors
  V gb;
};

// The terms from group g's r_0, r_1 and r_2.
template <class V, int kGroups>
inline void fraction_finish(const FractionUnwinding<V, kGroups>& f, int g, bool with_zw,
                            FullTermsOf<V>& t) {
  t.wr = TWO_OVER_SQRT_PI * f.rx[g];
  t.wi = TWO_OVER_SQRT_PI * f.ry[g];
  // w' = 2i r_1 w
  const V pr = f.r1x[g] * t.wr - f.r1y[g] * t.wi;
  const V pi = f.r1x[g] * t.wi + f.r1y[g] * t.wr;
  t.dr = -2.0 * pi;
  t.di = 2.0 * pr;
  if (with_zw) {
    // (z w)' = 4 r_1 r_2 w = -2i r_2 w'
    t.gr = 2.0 * (f.r2x[g] * t.di + f.r2y[g] * t.dr);
    t.gi = -2.0 * (f.r2x[g] * t.dr - f.r2y[g] * t.di);
  }
}

template <class V>
inline V fraction_depth(const V& radius) {
  return kDepthBase + kDepthScale / radius;
}

inline void fraction_terms(double x, double y, bool with_zw, FullTerms& t) {
  const double r = std::sqrt(x * x + y * y);
  const std::int32_t depth = trunc_to_int32(fraction_depth(r));
  FractionUnwinding<double, 1> f{};
  f.x[0] = x;
  f.y[0] = y;
  f.depth[0] = static_cast<double>(depth);
  unwind_fraction<FractionKeeps::kFirstTerms>(f, depth, depth);
  fraction_finish(f, 0, with_zw, t);
}

// A grid's nodes t, weights 2 exp(-t^2) and (z w)' factors.
struct TrapezoidTables {
  const double* nodes;
  const double* weights;
  const double* factors;
};

// The rule's node loop; the lane code runs it on points that share one table.
template <class V>
inline void trapezoid_sums(const V& x, const V& y, const TrapezoidTables& tables, bool with_zw,
                           TrapezoidSums<V>& s) {
  const V yy = y * y;
  const V r2 = x * x + yy;
  for (int k = 0; k < kNodes; ++k) {
    const double node = tables.nodes[k];
    const double tt = node * node;
    const V below = x - node;
    const V above = x + node;
    const V e = tables.weights[k] / ((below * below + yy) * (above * above + yy));
    s.a += e * (r2 + tt);
    s.b += e * (r2 - tt);
    const V et = e * tt;
    s.q += et;
    s.p += et * (below * above - yy);
    if (with_zw) {
      const V c = et * tables.factors[k];
      s.ga += c * (r2 + tt);
      s.gb += c * (r2 - tt);
    }
  }
}

// Where x lies on the rule's grids: 2x = nearest + u exactly, |u| <= 1/2; the
// integer grid's nodes unless x is within h/4 of one.
template <class V>
struct TrapezoidGrid {
  using Cond = typename LaneOps<V>::Cond;
  V u;
  Cond integer_grid;
  Cond moments_out;
};

template <class V>
inline TrapezoidGrid<V> trapezoid_grid(const V& x, const V& y) {
  const V twice = x + x;
  const V u = twice - ((twice + kRoundingShift) - kRoundingShift);
  return {u, u * u >= 0.0625, x * x + y * y > kMomentSplit};  // |u| >= 1/4
}

inline TrapezoidTables trapezoid_tables(const TrapezoidGrid<double>& grid) {
  if (grid.integer_grid) {
    return {kIntegerGridNodes, kIntegerGridWeights,
            grid.moments_out ? kIntegerGridMomentFactors : kUnitFactors};
  }
  return {kShiftedGridNodes, kShiftedGridWeights,
          grid.moments_out ? kShiftedGridMomentFactors : kUnitFactors};
}

// The rule's terms: its node sums and the pole's term.
template <class V>
inline void trapezoid_terms(const V& x, const V& y, const TrapezoidGrid<V>& grid,
                            const TrapezoidTables& tables, bool with_zw, FullTermsOf<V>& t) {
  using Ops = LaneOps<V>;
  TrapezoidSums<V> sums{};
  trapezoid_sums(x, y, tables, with_zw, sums);
  const V r2 = x * x + y * y;
  // the integer grid's node t = 0, weight 1
  const V inv = 1.0 / r2;
  const V sum_a = Ops::select(grid.integer_grid, sums.a + inv, sums.a);
  const V sum_b = Ops::select(grid.integer_grid, sums.b + inv, sums.b);
  t.wr = kStepOverPi * y * sum_a;
  t.wi = kStepOverPi * x * sum_b;
  t.dr = -4.0 * kStepOverPi * (x * y) * sums.q;
  t.di = -2.0 * kStepOverPi * sums.p;
  if (with_zw) {
    // with the moments out: (y ga + i x gb) / z^2, |z^2| = |z|^2
    const V sr = kStepOverPi * y * sums.ga;
    const V si = kStepOverPi * x * sums.gb;
    const V zr = (x - y) * (x + y);
    const V zi = 2.0 * x * y;
    const V den = r2 * r2;
    t.gr = Ops::select(grid.moments_out, (sr * zr + si * zi) / den,
                       kStepOverPi * y * (sum_a - 2.0 * sums.ga));
    t.gi = Ops::select(grid.moments_out, (si * zr - sr * zi) / den,
                       kStepOverPi * x * (sum_b - 2.0 * sums.gb));
  }

  // The pole's term f = -s 2 g / (1 - s q), s = 1 on the integer grid and -1
  // on the shifted one, g = exp(-z^2) q.
  const V s = Ops::select(grid.integer_grid, Ops::splat(1.0), Ops::splat(-1.0));
  const V decay = bounded_exp(-kFourPi * y);
  const V turn = kTwoPi * grid.u;
  V turn_sin;
  V turn_cos;
  bounded_sincos(turn, turn_sin, turn_cos);
  const V qr = s * decay * turn_cos;
  const V qi = s * decay * turn_sin;
  // |g| = exp(-x^2 + y^2 - 4 pi y), x^2 split exactly as in quadrant_close()
  V xx;
  V xx_lo;
  two_product(x, x, xx, xx_lo);
  V exponent;
  V exponent_lo;
  two_sum(-xx, y * (y - kFourPi), exponent, exponent_lo);
  const V g_abs = bounded_exp(exponent) * (1.0 + (exponent_lo - xx_lo));
  V phase_sin;
  V phase_cos;
  bounded_sincos(turn - 2.0 * x * y, phase_sin, phase_cos);
  const V gr = -2.0 * s * g_abs * phase_cos;
  const V gi = -2.0 * s * g_abs * phase_sin;
  const V dr = 1.0 - qr;
  const V di = -qi;
  const V dd = dr * dr + di * di;
  const V fr = (gr * dr + gi * di) / dd;
  const V fi = (gi * dr - gr * di) / dd;
  t.wr += fr;
  t.wi += fi;
  // w' gets -2 z f, (z w)' gets (1 - 2 z^2) f.
  t.dr += -2.0 * (x * fr - y * fi);
  t.di += -2.0 * (x * fi + y * fr);
  if (with_zw) {
    const V cr = 1.0 - 2.0 * ((x - y) * (x + y));
    const V ci = -4.0 * x * y;
    t.gr += cr * fr - ci * fi;
    t.gi += cr * fi + ci * fr;
  }
}

// On the real axis Re w is the Gaussian alone, which the continued fraction
// leaves out; near the Dawson function's maximum X0, Im w' = (2/sqrt(pi)) D'(x)
// by D''s Taylor series at X0 (the node sums give it only to an absolute eps).
inline void quadrant_close(double x, double y, bool with_zw, FullTerms& t) {
  if (y == 0.0) {
    // x^2 = xx + xx_lo exactly: the exponent's rounding (up to 745 eps) stays
    // out of exp(-x^2), and 1 - 2 x^2 is not rounded where it vanishes.
    double xx;
    double xx_lo;
    two_product(x, x, xx, xx_lo);
    const double e = x < 40.0 ? std::exp(-xx) * (1.0 - xx_lo) : 0.0;  // 0 from exp(-1600)
    t.wr = e;
    t.dr = -2.0 * x * e;
    if (std::fabs(x - kDawsonPeak) < kDawsonPeakReach) {
      const double d = (x - kDawsonPeak) - kDawsonPeakRest;
      double p = kDawsonSlopeTaylor[kDawsonSlopeTerms - 1];
      for (int k = kDawsonSlopeTerms - 2; k >= 0; --k) p = p * d + kDawsonSlopeTaylor[k];
      t.di = TWO_OVER_SQRT_PI * (p * d);
    }
    if (with_zw) {
      t.gr = ((1.0 - 2.0 * xx) - 2.0 * xx_lo) * e;
    }
  }
}

inline bool in_fraction_region(double x, double y) { return x >= kFractionX || y >= kFractionY; }

}  // namespace
}  // namespace vorlan::detail

#endif
