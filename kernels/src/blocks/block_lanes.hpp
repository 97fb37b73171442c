// The block evaluators' lane code, compiled once per vector unit.
//
// Each including translation unit defines
//  - VORLAN_BLOCK_LANES: the doubles in one vector;
//  - VORLAN_LANE_ENTRY(name): the name of its entry points (name_unit);
//  - VORLAN_LANE_TARGET (optional): the instruction set, as a target string,
//    for which the lane code below is compiled.  It is applied by pragma to
//    this code alone, so one compiler invocation with the baseline flags
//    builds every width, as the hosts' mex commands build a plug-in.
// Everything but the entry points has internal linkage, and so have the
// kernel steps shared with the one-point kernel (w_regions_steps.hpp): an
// out-of-line copy compiled for a wider unit must never be picked by the
// linker for a narrower one.  Every header is included before the target
// pragma for the same reason.
//
// Bits: every lane performs exactly the scalar kernels' operations in their
// order (IEEE operations give the same result in any lane; no contraction into
// fused multiply-adds is allowed anywhere in the build), the library functions
// exp, sin and cos are called per lane, and each lane's loop runs its own
// pass count: lanes with a smaller count keep their state until the shared
// counter reaches theirs.  Points outside the ordinary ranges are handed to
// the element routines whole.
#ifndef VORLAN_BLOCK_LANES_HPP
#define VORLAN_BLOCK_LANES_HPP

#if !defined(VORLAN_BLOCK_LANES) || !defined(VORLAN_LANE_ENTRY)
#error "VORLAN_BLOCK_LANES and VORLAN_LANE_ENTRY must be defined by the including translation unit"
#endif

#include <cmath>
#include <cstdint>
#include <cstring>

#include "../integer_power.hpp"
#include "../w_constants.hpp"
#include "../w_regions_steps.hpp"
#include "block_pieces.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

#ifdef VORLAN_LANE_TARGET
// The target string is expanded first, then the whole pragma is stringised.
#define VORLAN_PRAGMA_TEXT(text) _Pragma(#text)
#define VORLAN_PRAGMA(text) VORLAN_PRAGMA_TEXT(text)
#if defined(__clang__)
VORLAN_PRAGMA(clang attribute push(__attribute__((target(VORLAN_LANE_TARGET))),
                                   apply_to = function))
#else
VORLAN_PRAGMA(GCC push_options)
VORLAN_PRAGMA(GCC target(VORLAN_LANE_TARGET))
#endif
#endif

#include "lane_vector.hpp"

namespace vorlan::blocks {
namespace {

// Independent vectors advanced together, so that one's division hides the
// latency of the other's; a batch holds kGroup * kLanes points.
constexpr int kGroup = 2;
constexpr int kBatch = kGroup * kLanes;

// ---------------------------------------------------------------------------
// Region kernel.  The per-point set-up (scales, region, counts, the Taylor
// weight h2^kappa) and the final mapping are the kernel's own statements on
// one lane; the continued-fraction/Taylor and series recurrences run on
// kLanes points at once.

using detail::kScaleX;
using detail::kScaleY;
using detail::kSeriesBound;
using detail::kSeriesTermSlope;
using detail::kTaylorStep;

// Largest pass counts the lane loops take; the kernel's stay far below them
// (fraction <= 17, Taylor <= 42, series <= 27).  Anything else goes to the
// element routine.
constexpr int kMaxPasses = 47;
constexpr int kMaxTerms = 31;
// Lanes are grouped by pass count, in bands of this many, so that a batch
// wastes few passes on its shorter lanes.
constexpr int kBand = 6;
constexpr int kPassBands = kMaxPasses / kBand + 1;
constexpr int kTermBand = 8;
constexpr int kTermBands = kMaxTerms / kTermBand + 1;

// The kernel's counts, for the non-negative arguments below 1000 the lane
// code takes (-1 otherwise).  Exact without a library call: t - trunc(t) is
// exact there, and round() rounds halfway cases away from zero.
inline std::int32_t truncated_count(double t) {
  return t >= 0.0 && t < 1000.0 ? static_cast<std::int32_t>(t) : -1;
}

inline std::int32_t nearest_count(double t) {
  std::int32_t c = truncated_count(t);
  if (c >= 0 && t - static_cast<double>(c) >= 0.5) ++c;
  return c;
}

inline double single_reciprocal(std::int32_t j) {
  return static_cast<double>(1.0F / static_cast<float>(j));
}

// Continued-fraction points (h = 0) or Taylor points (h > 0, or h = 0 at the
// ring's outer edge) waiting for a batch.
struct PassBatch {
  alignas(64) double ax[kBatch];
  alignas(64) double ay[kBatch];
  alignas(64) double h[kBatch];
  alignas(64) double h2[kBatch];
  alignas(64) double lambda[kBatch];
  alignas(64) double passes[kBatch];         // nu
  alignas(64) double taylor_passes[kBatch];  // kappa where h > 0, else -1
  double x[kBatch];
  double y[kBatch];
  std::int64_t index[kBatch];
  int count;
  int most_passes;
};

// Power-series points waiting for a batch.
struct SeriesBatch {
  alignas(64) double a[kBatch];  // Re z^2 at the first-quadrant point
  alignas(64) double b[kBatch];  // Im z^2
  alignas(64) double terms[kBatch];
  alignas(64) double first[kBatch];  // 1/(2 terms + 1)
  double x[kBatch];
  double y[kBatch];
  std::int64_t index[kBatch];
  int count;
  int most_terms;
};

// The kernel's mapping from the first-quadrant value (wr, wi) of a point
// outside the series region to w(x + iy), or the element routine's result
// where the kernel raises its flag.
inline void finish_outer(double x, double y, double wr, double wi, double& u, double& v) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (ay == 0.0) {
    wr = std::exp(-(ax * ax));
  }
  const double a = ax * ax - ay * ay;
  const double b = (ax + ax) * ay;
  if (!detail::map_outer_value(x, y, a, b, wr, wi)) {
    // What W_REGIONS_ELEMENT does with the flagged value.
    W_REFLECT(x, y, wr, x > 0.0 ? -wi : wi, u, v);
    return;
  }
  u = wr;
  v = wi;
}

template <bool kTaylor>
void run_passes(PassBatch& batch, double* ur, double* ui) {
  const int count = batch.count;
  for (int i = count; i < kBatch; ++i) {  // idle lanes repeat lane 0
    batch.ax[i] = batch.ax[0];
    batch.ay[i] = batch.ay[0];
    batch.h[i] = batch.h[0];
    batch.h2[i] = batch.h2[0];
    batch.lambda[i] = batch.lambda[0];
    batch.passes[i] = batch.passes[0];
    batch.taylor_passes[i] = batch.taylor_passes[0];
  }
  Vec ax[kGroup], ay_plus_h[kGroup], passes[kGroup], lambda[kGroup], h2[kGroup];
  Vec taylor_passes[kGroup], rx[kGroup], ry[kGroup], tsx[kGroup], tsy[kGroup];
  for (int g = 0; g < kGroup; ++g) {
    const int o = g * kLanes;
    ax[g] = load(batch.ax + o);
    ay_plus_h[g] = load(batch.ay + o) + load(batch.h + o);
    passes[g] = load(batch.passes + o);
    lambda[g] = load(batch.lambda + o);
    h2[g] = load(batch.h2 + o);
    taylor_passes[g] = load(batch.taylor_passes + o);
    rx[g] = ry[g] = tsx[g] = tsy[g] = splat(0.0);
  }
  for (int n = batch.most_passes; n >= 0; --n) {
    const double counter = static_cast<double>(n);
    const double m = static_cast<double>(n + 1);
    for (int g = 0; g < kGroup; ++g) {
      const Vec tx = ay_plus_h[g] + m * rx[g];
      const Vec ty = ax[g] - m * ry[g];
      const Vec mu = 0.5 / (tx * tx + ty * ty);
      const Mask active = passes[g] >= counter;
      rx[g] = select(active, mu * tx, rx[g]);
      ry[g] = select(active, mu * ty, ry[g]);
      if constexpr (kTaylor) {
        const Mask summing = taylor_passes[g] >= counter;
        const Vec t = lambda[g] + tsx[g];
        const Vec next_sx = rx[g] * t - ry[g] * tsy[g];
        const Vec next_sy = ry[g] * t + rx[g] * tsy[g];
        tsx[g] = select(summing, next_sx, tsx[g]);
        tsy[g] = select(summing, next_sy, tsy[g]);
        lambda[g] = select(summing, lambda[g] / h2[g], lambda[g]);
      }
    }
  }
  alignas(64) double out_rx[kBatch];
  alignas(64) double out_ry[kBatch];
  alignas(64) double out_sx[kBatch];
  alignas(64) double out_sy[kBatch];
  for (int g = 0; g < kGroup; ++g) {
    store(out_rx + g * kLanes, rx[g]);
    store(out_ry + g * kLanes, ry[g]);
    store(out_sx + g * kLanes, tsx[g]);
    store(out_sy + g * kLanes, tsy[g]);
  }
  for (int i = 0; i < count; ++i) {
    double wr;
    double wi;
    if (batch.h[i] == 0.0) {
      wr = TWO_OVER_SQRT_PI * out_rx[i];
      wi = TWO_OVER_SQRT_PI * out_ry[i];
    } else {
      wr = TWO_OVER_SQRT_PI * out_sx[i];
      wi = TWO_OVER_SQRT_PI * out_sy[i];
    }
    const std::int64_t k = batch.index[i];
    finish_outer(batch.x[i], batch.y[i], wr, wi, ur[k], ui[k]);
  }
  batch.count = 0;
  batch.most_passes = 0;
}

void run_series(SeriesBatch& batch, double* ur, double* ui) {
  const int count = batch.count;
  for (int i = count; i < kBatch; ++i) {
    batch.a[i] = batch.a[0];
    batch.b[i] = batch.b[0];
    batch.terms[i] = batch.terms[0];
    batch.first[i] = batch.first[0];
  }
  Vec a[kGroup], b[kGroup], terms[kGroup], s_r[kGroup], s_i[kGroup];
  for (int g = 0; g < kGroup; ++g) {
    const int o = g * kLanes;
    a[g] = load(batch.a + o);
    b[g] = load(batch.b + o);
    terms[g] = load(batch.terms + o);
    s_r[g] = load(batch.first + o);
    s_i[g] = splat(0.0);
  }
  for (int i = batch.most_terms; i >= 1; --i) {
    const double di = static_cast<double>(i);
    const double reciprocal = single_reciprocal(2 * i - 1);
    for (int g = 0; g < kGroup; ++g) {
      const Vec t = (s_r[g] * a[g] - s_i[g] * b[g]) / di;
      const Vec next_si = (s_r[g] * b[g] + s_i[g] * a[g]) / di;
      const Vec next_sr = t + reciprocal;
      const Mask active = terms[g] >= di;
      s_r[g] = select(active, next_sr, s_r[g]);
      s_i[g] = select(active, next_si, s_i[g]);
    }
  }
  alignas(64) double out_r[kBatch];
  alignas(64) double out_i[kBatch];
  for (int g = 0; g < kGroup; ++g) {
    store(out_r + g * kLanes, s_r[g]);
    store(out_i + g * kLanes, s_i[g]);
  }
  for (int i = 0; i < count; ++i) {
    const double x = batch.x[i];
    const double y = batch.y[i];
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const double sr = out_r[i];
    const double si = out_i[i];
    double wr;
    double wi;
    detail::series_value(x, y, ax, ay, batch.a[i], batch.b[i], sr, si, wr, wi);
    const std::int64_t k = batch.index[i];
    ur[k] = wr;
    ui[k] = wi;
  }
  batch.count = 0;
  batch.most_terms = 0;
}

struct RegionBatches {
  SeriesBatch series[kTermBands];
  PassBatch fraction[kPassBands];
  PassBatch taylor[kPassBands];
};

// Sorts point k into its batch (running the batch when it fills), or
// evaluates it at once where it falls outside the lane code's ranges.
inline void enqueue_region_point(RegionBatches& batches, double x, double y, std::int64_t k,
                                 double* ur, double* ui) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (!(ax <= ARG_LIMIT && ay <= ARG_LIMIT)) {  // beyond range, infinite or NaN
    W_REGIONS_ELEMENT(x, y, ur[k], ui[k]);
    return;
  }
  const double sx = ax / kScaleX;
  const double sy = ay / kScaleY;
  const double q = sx * sx + sy * sy;
  if (q < kSeriesBound) {
    const double r = (1.0 - kSeriesTermSlope * sy) * std::sqrt(q);
    const std::int32_t terms = nearest_count(6.0 + 72.0 * r);
    if (terms < 1 || terms > kMaxTerms) {
      W_REGIONS_ELEMENT(x, y, ur[k], ui[k]);
      return;
    }
    SeriesBatch& batch = batches.series[terms / kTermBand];
    const int i = batch.count;
    batch.a[i] = ax * ax - ay * ay;
    batch.b[i] = (ax + ax) * ay;
    batch.terms[i] = static_cast<double>(terms);
    batch.first[i] = single_reciprocal(2 * terms + 1);
    batch.x[i] = x;
    batch.y[i] = y;
    batch.index[i] = k;
    if (terms > batch.most_terms) batch.most_terms = terms;
    if (++batch.count == kBatch) run_series(batch, ur, ui);
    return;
  }
  double h;
  std::int32_t kappa;
  std::int32_t nu;
  const bool fraction = q > 1.0;
  if (fraction) {
    h = 0.0;
    kappa = 0;
    nu = truncated_count(1442.0 / (26.0 * std::sqrt(q) + 77.0) + 3.0);
  } else {
    const double r = (1.0 - sy) * std::sqrt(1.0 - q);
    kappa = nearest_count(7.0 + 34.0 * r);
    h = kTaylorStep * r;
    nu = nearest_count(16.0 + 26.0 * r);
  }
  if (nu < 0 || nu > kMaxPasses || kappa < 0 || kappa > kMaxPasses) {
    W_REGIONS_ELEMENT(x, y, ur[k], ui[k]);
    return;
  }
  const double h2 = h + h;
  PassBatch& batch = fraction ? batches.fraction[nu / kBand] : batches.taylor[nu / kBand];
  const int i = batch.count;
  batch.ax[i] = ax;
  batch.ay[i] = ay;
  batch.h[i] = h;
  batch.h2[i] = h2;
  batch.lambda[i] = h > 0.0 ? detail::integer_power(h2, kappa) : 0.0;
  batch.passes[i] = static_cast<double>(nu);
  batch.taylor_passes[i] = h > 0.0 ? static_cast<double>(kappa) : -1.0;
  batch.x[i] = x;
  batch.y[i] = y;
  batch.index[i] = k;
  if (nu > batch.most_passes) batch.most_passes = nu;
  if (++batch.count == kBatch) {
    if (fraction) {
      run_passes<false>(batch, ur, ui);
    } else {
      run_passes<true>(batch, ur, ui);
    }
  }
}

void regions_lanes(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  RegionBatches batches;
  for (SeriesBatch& b : batches.series) {
    b.count = 0;
    b.most_terms = 0;
  }
  for (PassBatch& b : batches.fraction) {
    b.count = 0;
    b.most_passes = 0;
  }
  for (PassBatch& b : batches.taylor) {
    b.count = 0;
    b.most_passes = 0;
  }
  for (std::int64_t k = 0; k < n; ++k) {
    enqueue_region_point(batches, xr[k], xi[k], k, ur, ui);
  }
  for (SeriesBatch& b : batches.series) {
    if (b.count > 0) run_series(b, ur, ui);
  }
  for (PassBatch& b : batches.fraction) {
    if (b.count > 0) run_passes<false>(b, ur, ui);
  }
  for (PassBatch& b : batches.taylor) {
    if (b.count > 0) run_passes<true>(b, ur, ui);
  }
}

// ---------------------------------------------------------------------------
// Rational approximation, kLanes consecutive points at a time.  Lower
// half-plane points evaluate the formula at -z and are reflected per lane;
// lanes whose P or Q parts leave the range where plain double arithmetic is
// exact take the extended-range quotient.

constexpr const double (&kNumerator)[7] = detail::kRationalNumerator;
constexpr const double (&kDenominator)[7] = detail::kRationalDenominator;

inline Mask moderate(const Vec& p) {
  const Vec a = magnitude(p);
  return (a == 0.0) | ((a >= 0x1p-200) & (a <= 0x1p200));
}

// One hardware vector's worth of the formula: the terms P, Q and the plain
// quotient (u, v) at kLanes points.
struct RationalLanes {
  Vec pr, pi, qr, qi, u, v;
  Mask lower;
};

inline void rational_group(const double* xr, const double* xi, RationalLanes* out) {
  Vec zr[kGroup], zi[kGroup], pr[kGroup], pi[kGroup], qr[kGroup], qi[kGroup];
  for (int g = 0; g < kGroup; ++g) {
    const Vec x = load(xr + g * kLanes);
    const Vec y = load(xi + g * kLanes);
    const Mask lower = y < 0.0;
    out[g].lower = lower;
    // The formula's argument Z = y - ix at z, or at -z below the real axis.
    zr[g] = select(lower, negate(y), y);
    zi[g] = negate(select(lower, negate(x), x));
    pr[g] = kNumerator[0] * zr[g] + kNumerator[1];
    pi[g] = kNumerator[0] * zi[g] + 0.0;
    qr[g] = zr[g] + kDenominator[0];
    qi[g] = zi[g] + 0.0;
  }
  for (int k = 1; k < 7; ++k) {
    for (int g = 0; g < kGroup; ++g) {
      if (k >= 2) {
        const Vec re = pr[g] * zr[g] - pi[g] * zi[g];
        const Vec im = pi[g] * zr[g] + pr[g] * zi[g];
        pr[g] = re + kNumerator[k];
        pi[g] = im + 0.0;
      }
      const Vec re = qr[g] * zr[g] - qi[g] * zi[g];
      const Vec im = qi[g] * zr[g] + qr[g] * zi[g];
      qr[g] = re + kDenominator[k];
      qi[g] = im + 0.0;
    }
  }
  for (int g = 0; g < kGroup; ++g) {
    const Vec d = qr[g] * qr[g] + qi[g] * qi[g];
    out[g].u = (pr[g] * qr[g] + pi[g] * qi[g]) / d;
    out[g].v = (pi[g] * qr[g] - pr[g] * qi[g]) / d;
    out[g].pr = pr[g];
    out[g].pi = pi[g];
    out[g].qr = qr[g];
    out[g].qi = qi[g];
  }
}

inline void rational_chunk(const double* xr, const double* xi, double* ur, double* ui) {
  RationalLanes lanes[kGroup];
  rational_group(xr, xi, lanes);
  for (int g = 0; g < kGroup; ++g) {
    const RationalLanes& l = lanes[g];
    const int o = g * kLanes;
    const Vec x = load(xr + o);  // read before ur, ui (which may be xr, xi) are written
    const Vec y = load(xi + o);
    store(ur + o, l.u);
    store(ui + o, l.v);
    const Mask plain = moderate(l.pr) & moderate(l.pi) & moderate(l.qr) & moderate(l.qi);
    const Mask fix = l.lower | ~plain;
    if (!any(fix)) continue;
    for (int i = 0; i < kLanes; ++i) {
      if (fix[i] == 0) continue;
      double um = l.u[i];
      double vm = l.v[i];
      if (plain[i] == 0) {
        const RationalTerms t{l.pr[i], l.pi[i], l.qr[i], l.qi[i]};
        W_RATIONAL_QUOTIENT_WIDE(t, um, vm);
      }
      if (l.lower[i] != 0) {
        W_REFLECT(x[i], y[i], um, vm, ur[o + i], ui[o + i]);
      } else {
        ur[o + i] = um;
        ui[o + i] = vm;
      }
    }
  }
}

void rational_lanes(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  std::int64_t k = 0;
  for (; k + kBatch <= n; k += kBatch) {
    rational_chunk(xr + k, xi + k, ur + k, ui + k);
  }
  for (; k < n; ++k) {
    W_RATIONAL_ELEMENT(xr[k], xi[k], ur[k], ui[k]);
  }
}

}  // namespace
}  // namespace vorlan::blocks

#ifdef VORLAN_LANE_TARGET
#if defined(__clang__)
VORLAN_PRAGMA(clang attribute pop)
#else
VORLAN_PRAGMA(GCC pop_options)
#endif
#endif

// The entry points, compiled for the baseline unit: plain calls into the lane
// code (which the processor check in the block evaluators guards).
namespace vorlan::blocks {

void VORLAN_LANE_ENTRY(regions)(const double* xr, const double* xi, double* ur, double* ui,
                                std::int64_t n) {
  regions_lanes(xr, xi, ur, ui, n);
}

void VORLAN_LANE_ENTRY(rational)(const double* xr, const double* xi, double* ur, double* ui,
                                 std::int64_t n) {
  rational_lanes(xr, xi, ur, ui, n);
}

}  // namespace vorlan::blocks

#endif
