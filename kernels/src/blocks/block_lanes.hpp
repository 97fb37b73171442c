// The block evaluators' lane code, compiled once per vector unit.
//
// Each including translation unit defines
//  - VORLAN_BLOCK_LANES: the doubles in one vector;
//  - VORLAN_LANE_ENTRY(name): the name of its entry points (name_unit);
//  - VORLAN_LANE_TARGET (optional): the instruction set, as a target string,
//    for which the lane code is compiled (lane_target_begin.hpp).
// Everything but the entry points has internal linkage, and so have the
// kernel steps shared with the one-point kernel (w_regions_steps.hpp).
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

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "../integer_power.hpp"
#include "../rounding.hpp"
#include "../uniform_nan.hpp"
#include "../w_constants.hpp"
#include "../w_full_terms.hpp"
#include "../w_regions_steps.hpp"
#include "block_pieces.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

// From here to lane_target_end.hpp everything is compiled for this unit.
#include "lane_target_begin.hpp"
// The lane vector, and the kernel steps that call its operations (LaneOps in
// lane_ops.hpp) from their templates: compiled here, the calls inline.  Their
// headers have internal linkage, and everything they include is already in.
#include "../lane_elementary.hpp"
#include "../w_full_steps.hpp"
#include "lane_ops.hpp"
#include "lane_vector.hpp"

namespace vorlan::blocks {
namespace {

// Independent vectors advanced together, so that one's division hides the
// latency of the other's; a batch holds kGroup * kLanes points.
constexpr int kGroup = 2;
constexpr int kBatch = kGroup * kLanes;

// ---------------------------------------------------------------------------
// Region kernel, a chunk of consecutive points at a time:
//  1. set-up on kLanes points at once: scales, q, region, z^2, the counts'
//     arguments, h and the Taylor weight h2^kappa (its double-double part in
//     lanes, the exact power-of-two scaling per lane);
//  2. the chunk's points sorted by region and pass count, so that each batch
//     of a few vectors runs nearly the same number of passes;
//  3. the series and continued-fraction/Taylor recurrences on kLanes points
//     at once, each lane stopping at its own count;
//  4. the closing steps (series value, quadrant mapping) per point, with the
//     platform's exp, sin and cos.
// Every value goes through the one-point kernel's operations in its order.

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
// Points set up and sorted together.
constexpr int kChunk = 512;

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

enum RegionKind : std::uint8_t { kSeries = 0, kFraction = 1, kTaylor = 2, kDone = 3 };
// Sort key: kind * kKindStride + pass count.
constexpr int kKindStride = 64;

// One chunk's points after the set-up: every point keeps z^2 = a + ib at its
// first-quadrant point in (a, b).  Series points keep their term count in
// passes and 1/(2 terms + 1) in lambda; the others keep h, h2^kappa in lambda,
// nu in passes and kappa (or -1 where h = 0).
struct RegionChunk {
  alignas(64) double x[kChunk + kLanes];
  alignas(64) double y[kChunk + kLanes];
  alignas(64) double a[kChunk + kLanes];
  alignas(64) double b[kChunk + kLanes];
  alignas(64) double h[kChunk + kLanes];
  alignas(64) double lambda[kChunk + kLanes];
  std::int32_t passes[kChunk + kLanes];
  std::int32_t kappa[kChunk + kLanes];
  std::uint8_t kind[kChunk + kLanes];
  std::int16_t order[kChunk];
};

// The Taylor weights h2^kappa of kLanes points: the double-double powers of
// the significands in lanes, as integer_power forms them, then each lane's
// exact scaling.  Lanes with kappa < 0 are left at 0.
inline Vec taylor_weights(const Vec& h2, const std::int32_t* kappa) {
  Vec m = splat(1.0);
  std::int64_t e[kLanes];
  int most = 0;
  for (int i = 0; i < kLanes; ++i) {
    e[i] = 0;
    if (kappa[i] > 0) {
      double mi;
      detail::split_significand(h2[i], mi, e[i]);
      m[i] = mi;
      if (kappa[i] > most) most = kappa[i];
    }
  }
  detail::DoubleDouble<Vec> result{splat(1.0), splat(0.0)};
  detail::DoubleDouble<Vec> square{m, splat(0.0)};
  std::int32_t rest[kLanes];
  for (int i = 0; i < kLanes; ++i) rest[i] = kappa[i] > 0 ? kappa[i] : 0;
  for (int k = most; k > 0; k >>= 1) {
    Mask odd;
    for (int i = 0; i < kLanes; ++i) {
      odd[i] = (rest[i] & 1) != 0 ? -1 : 0;
      rest[i] >>= 1;
    }
    if (any(odd)) {
      const detail::DoubleDouble<Vec> product = detail::dd_multiply(result, square);
      result.hi = select(odd, product.hi, result.hi);
      result.lo = select(odd, product.lo, result.lo);
    }
    if (k > 1) square = detail::dd_multiply(square, square);
  }
  const Vec sum = result.hi + result.lo;
  Vec weight = splat(0.0);
  for (int i = 0; i < kLanes; ++i) {
    if (kappa[i] >= 0) {
      weight[i] = detail::scale_by_power_of_two(sum[i], e[i] * kappa[i]);
    }
  }
  return weight;
}

// Step 1 for points [o, o + kLanes) of the chunk; points the lane code does
// not take are evaluated whole at once (kind kDone).
inline void set_up_lanes(RegionChunk& c, int o, int count, std::int64_t first_index, double* ur,
                         double* ui) {
  const Vec x = load(c.x + o);
  const Vec y = load(c.y + o);
  const Vec ax = magnitude(x);
  const Vec ay = magnitude(y);
  const Mask in_range = (ax <= ARG_LIMIT) & (ay <= ARG_LIMIT);  // NaN fails
  const Vec sx = ax / kScaleX;
  const Vec sy = ay / kScaleY;
  const Vec q = sx * sx + sy * sy;
  const Mask series = q < kSeriesBound;
  const Mask fraction = q > 1.0;
  const Vec root_q = square_root(q);
  // The ring's arguments, fed 0 outside it so that no lane takes a square
  // root of a negative number.
  const Vec ring_rest = select(series | fraction, splat(0.0), 1.0 - q);
  const Vec r_series = (1.0 - kSeriesTermSlope * sy) * root_q;
  const Vec terms = 6.0 + 72.0 * r_series;
  const Vec nu_fraction = 1442.0 / (26.0 * root_q + 77.0) + 3.0;
  const Vec r_ring = (1.0 - sy) * square_root(ring_rest);
  const Vec kappa_ring = 7.0 + 34.0 * r_ring;
  const Vec h_ring = kTaylorStep * r_ring;
  const Vec nu_ring = 16.0 + 26.0 * r_ring;
  store(c.a + o, ax * ax - ay * ay);
  store(c.b + o, (ax + ax) * ay);

  std::int32_t kappa[kLanes];
  Vec h = splat(0.0);
  Vec series_first = splat(0.0);
  for (int i = 0; i < kLanes; ++i) {
    kappa[i] = -1;
    const int p = o + i;
    if (i >= count) {
      c.kind[p] = kDone;
      continue;
    }
    if (in_range[i] == 0) {
      c.kind[p] = kDone;
      W_REGIONS_ELEMENT(c.x[p], c.y[p], ur[first_index + p], ui[first_index + p]);
      continue;
    }
    if (series[i] != 0) {
      const std::int32_t n = nearest_count(terms[i]);
      c.kind[p] = kSeries;
      c.passes[p] = n;
      if (n < 1 || n > kMaxTerms) {
        c.kind[p] = kDone;
        W_REGIONS_ELEMENT(c.x[p], c.y[p], ur[first_index + p], ui[first_index + p]);
        continue;
      }
      series_first[i] = detail::single_reciprocal(2 * n + 1);
      continue;
    }
    std::int32_t nu;
    if (fraction[i] != 0) {
      c.kind[p] = kFraction;
      nu = truncated_count(nu_fraction[i]);
      c.kappa[p] = -1;
      c.h[p] = 0.0;
    } else {
      c.kind[p] = kTaylor;
      nu = nearest_count(nu_ring[i]);
      const std::int32_t k = nearest_count(kappa_ring[i]);
      h[i] = h_ring[i];
      c.h[p] = h_ring[i];
      c.kappa[p] = h_ring[i] > 0.0 ? k : -1;
      if (k < 0 || k > kMaxPasses) nu = -1;
      kappa[i] = c.kappa[p];
    }
    c.passes[p] = nu;
    if (nu < 0 || nu > kMaxPasses) {
      c.kind[p] = kDone;
      W_REGIONS_ELEMENT(c.x[p], c.y[p], ur[first_index + p], ui[first_index + p]);
    }
  }
  store(c.lambda + o, select(series, series_first, taylor_weights(h + h, kappa)));
}

// The kernel's mapping from the first-quadrant value (wr, wi) of a point
// outside the series region, with z^2 = a + ib there, to w(x + iy), or the
// element routine's result where the kernel raises its flag.
inline void finish_outer(double x, double y, double a, double b, double wr, double wi, double& u,
                         double& v) {
  if (y == 0.0) {  // either zero
    const double ax = detail::clear_sign(x);
    wr = std::exp(-(ax * ax));
  }
  if (!detail::map_outer_value(x, y, a, b, wr, wi)) {
    // What W_REGIONS_ELEMENT does with the flagged value.
    W_REFLECT(x, y, wr, x > 0.0 ? -wi : wi, u, v);
    return;
  }
  u = wr;
  v = wi;
}

// gather (lane_ops.hpp) for a pass count.
inline Vec gather_count(const std::int32_t* field, const std::int16_t* order, int count, int o) {
  Vec v;
  for (int i = 0; i < kLanes; ++i) {
    const int j = o + i < count ? o + i : 0;
    v[i] = static_cast<double>(field[order[j]]);
  }
  return v;
}

// The continued fraction, with the Taylor sums where kTaylorSums, for the
// batch's count <= kGroups * kLanes points, sorted by pass count.
template <bool kTaylorSums, int kGroups>
void run_passes(const RegionChunk& c, const std::int16_t* order, int count, std::int64_t first,
                double* ur, double* ui) {
  Vec ax[kGroups], ay_plus_h[kGroups], passes[kGroups], lambda[kGroups], h2[kGroups];
  Vec taylor_passes[kGroups], rx[kGroups], ry[kGroups], tsx[kGroups], tsy[kGroups];
  // Below the least counts every lane takes part (idle lanes repeat the
  // first point), and the updates need no mask.
  int most_passes = 0;
  int least_passes = kMaxPasses;
  int most_taylor = -1;
  int least_taylor = kMaxPasses;
  for (int j = 0; j < count; ++j) {
    const int p = order[j];
    if (c.passes[p] > most_passes) most_passes = c.passes[p];
    if (c.passes[p] < least_passes) least_passes = c.passes[p];
    if (c.kappa[p] > most_taylor) most_taylor = c.kappa[p];
    if (c.kappa[p] < least_taylor) least_taylor = c.kappa[p];
  }
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    const Vec h = gather(c.h, order, count, o);
    ax[g] = magnitude(gather(c.x, order, count, o));
    ay_plus_h[g] = magnitude(gather(c.y, order, count, o)) + h;
    h2[g] = h + h;
    passes[g] = gather_count(c.passes, order, count, o);
    lambda[g] = gather(c.lambda, order, count, o);
    taylor_passes[g] = gather_count(c.kappa, order, count, o);
    rx[g] = ry[g] = tsx[g] = tsy[g] = splat(0.0);
  }
  for (int n = most_passes; n >= 0; --n) {
    const double counter = static_cast<double>(n);
    const double m = static_cast<double>(n + 1);
    const bool all_active = n <= least_passes;
    for (int g = 0; g < kGroups; ++g) {
      const Vec tx = ay_plus_h[g] + m * rx[g];
      const Vec ty = ax[g] - m * ry[g];
      const Vec mu = 0.5 / (tx * tx + ty * ty);
      if (all_active) {
        rx[g] = mu * tx;
        ry[g] = mu * ty;
      } else {
        const Mask active = passes[g] >= counter;
        rx[g] = select(active, mu * tx, rx[g]);
        ry[g] = select(active, mu * ty, ry[g]);
      }
    }
    if constexpr (kTaylorSums) {
      if (n > most_taylor) continue;  // no lane sums yet
      const bool all_summing = n <= least_taylor;
      for (int g = 0; g < kGroups; ++g) {
        const Vec t = lambda[g] + tsx[g];
        const Vec next_sx = rx[g] * t - ry[g] * tsy[g];
        const Vec next_sy = ry[g] * t + rx[g] * tsy[g];
        if (all_summing) {
          tsx[g] = next_sx;
          tsy[g] = next_sy;
          lambda[g] = lambda[g] / h2[g];
        } else {
          const Mask summing = taylor_passes[g] >= counter;
          tsx[g] = select(summing, next_sx, tsx[g]);
          tsy[g] = select(summing, next_sy, tsy[g]);
          lambda[g] = select(summing, lambda[g] / h2[g], lambda[g]);
        }
      }
    }
  }
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    for (int i = 0; i < kLanes && o + i < count; ++i) {
      const int p = order[o + i];
      double wr;
      double wi;
      if (c.h[p] == 0.0) {
        wr = TWO_OVER_SQRT_PI * rx[g][i];
        wi = TWO_OVER_SQRT_PI * ry[g][i];
      } else {
        wr = TWO_OVER_SQRT_PI * tsx[g][i];
        wi = TWO_OVER_SQRT_PI * tsy[g][i];
      }
      finish_outer(c.x[p], c.y[p], c.a[p], c.b[p], wr, wi, ur[first + p], ui[first + p]);
    }
  }
}

template <int kGroups>
void run_series(const RegionChunk& c, const std::int16_t* order, int count, std::int64_t first,
                double* ur, double* ui) {
  Vec a[kGroups], b[kGroups], terms[kGroups], s_r[kGroups], s_i[kGroups];
  int most_terms = 0;
  for (int j = 0; j < count; ++j) {
    if (c.passes[order[j]] > most_terms) most_terms = c.passes[order[j]];
  }
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    a[g] = gather(c.a, order, count, o);
    b[g] = gather(c.b, order, count, o);
    terms[g] = gather_count(c.passes, order, count, o);
    s_r[g] = gather(c.lambda, order, count, o);
    s_i[g] = splat(0.0);
  }
  for (int i = most_terms; i >= 1; --i) {
    const double di = static_cast<double>(i);
    const double reciprocal = detail::single_reciprocal(2 * i - 1);
    for (int g = 0; g < kGroups; ++g) {
      const Vec t = (s_r[g] * a[g] - s_i[g] * b[g]) / di;
      const Vec next_si = (s_r[g] * b[g] + s_i[g] * a[g]) / di;
      const Vec next_sr = t + reciprocal;
      const Mask active = terms[g] >= di;
      s_r[g] = select(active, next_sr, s_r[g]);
      s_i[g] = select(active, next_si, s_i[g]);
    }
  }
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    for (int i = 0; i < kLanes && o + i < count; ++i) {
      const int p = order[o + i];
      const double x = c.x[p];
      const double y = c.y[p];
      detail::series_value(x, y, detail::clear_sign(x), detail::clear_sign(y), c.a[p], c.b[p],
                           s_r[g][i], s_i[g][i], ur[first + p], ui[first + p]);
    }
  }
}

// Vectors advanced side by side per kind of point, as measured fastest: the
// lighter recurrences hide more division latency with more vectors in flight;
// the Taylor one, with ten live vectors per group, takes a third group only
// where the unit has 32 registers (AVX-512), and spills beyond two elsewhere.
template <RegionKind kKind>
constexpr int kKindGroups = kKind == kTaylor ? (kLanes == 8 ? 3 : 2) : (kKind == kSeries ? 3 : 4);

// One batch of count <= kGroups * kLanes sorted points of one kind.
template <RegionKind kKind, int kGroups>
void run_batch(const RegionChunk& c, const std::int16_t* order, int count, std::int64_t first,
               double* ur, double* ui) {
  if constexpr (kKind == kSeries) {
    run_series<kGroups>(c, order, count, first, ur, ui);
  } else {
    run_passes<kKind == kTaylor, kGroups>(c, order, count, first, ur, ui);
  }
}

// Runs the sorted points order[0, count) of one kind in batches of
// kKindGroups vectors (fewer for a last batch that fits fewer).
template <RegionKind kKind, int kGroups = kKindGroups<kKind>>
void run_kind(const RegionChunk& c, const std::int16_t* order, int count, std::int64_t first,
              double* ur, double* ui) {
  constexpr int kKindBatch = kGroups * kLanes;
  int j = 0;
  for (; j + kKindBatch <= count; j += kKindBatch) {
    run_batch<kKind, kGroups>(c, order + j, kKindBatch, first, ur, ui);
  }
  if (j == count) return;
  if constexpr (kGroups > 1) {
    if (count - j <= (kGroups - 1) * kLanes) {
      run_kind<kKind, kGroups - 1>(c, order + j, count - j, first, ur, ui);
      return;
    }
  }
  run_batch<kKind, kGroups>(c, order + j, count - j, first, ur, ui);
}

// One chunk of count <= kChunk points starting at element first.
void region_chunk(RegionChunk& c, const double* xr, const double* xi, double* ur, double* ui,
                  std::int64_t first, int count) {
  for (int p = 0; p < count; ++p) {
    c.x[p] = xr[first + p];
    c.y[p] = xi[first + p];
  }
  // The last vector's idle lanes see 0, a point every branch takes calmly.
  for (int p = count; p % kLanes != 0; ++p) {
    c.x[p] = 0.0;
    c.y[p] = 0.0;
  }
  for (int o = 0; o < count; o += kLanes) {
    set_up_lanes(c, o, count - o, first, ur, ui);
  }
  // Counting sort by (kind, pass count).
  int start[3 * kKindStride + 1] = {};
  for (int p = 0; p < count; ++p) {
    if (c.kind[p] != kDone) ++start[c.kind[p] * kKindStride + c.passes[p] + 1];
  }
  for (int k = 1; k <= 3 * kKindStride; ++k) start[k] += start[k - 1];
  const int kind_begin[4] = {start[0], start[kKindStride], start[kKindStride + kKindStride],
                             start[kKindStride + kKindStride + kKindStride]};
  for (int p = 0; p < count; ++p) {
    if (c.kind[p] != kDone)
      c.order[start[c.kind[p] * kKindStride + c.passes[p]]++] = static_cast<std::int16_t>(p);
  }
  run_kind<kSeries>(c, c.order + kind_begin[0], kind_begin[1] - kind_begin[0], first, ur, ui);
  run_kind<kFraction>(c, c.order + kind_begin[1], kind_begin[2] - kind_begin[1], first, ur, ui);
  run_kind<kTaylor>(c, c.order + kind_begin[2], kind_begin[3] - kind_begin[2], first, ur, ui);
}

void regions_lanes(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  RegionChunk chunk;
  for (std::int64_t first = 0; first < n; first += kChunk) {
    const int count = static_cast<int>(n - first < kChunk ? n - first : kChunk);
    region_chunk(chunk, xr, xi, ur, ui, first, count);
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
    const Vec x = load(xr + static_cast<std::ptrdiff_t>(g) * kLanes);
    const Vec y = load(xi + static_cast<std::ptrdiff_t>(g) * kLanes);
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
        W_REFLECT(x[i], y[i], um, vm, um, vm);
      }
      detail::uniform_nan_parts(x[i], y[i], um, vm);
      ur[o + i] = um;
      ui[o + i] = vm;
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

#include "full_lanes.hpp"
// The end of the code compiled for this unit.
#include "lane_target_end.hpp"

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

void VORLAN_LANE_ENTRY(full_terms)(const double* x, const double* y, int n, bool with_zw,
                                   detail::FullTerms* terms) {
  full_terms_lanes(x, y, n, with_zw, terms);
}

}  // namespace vorlan::blocks

#endif
