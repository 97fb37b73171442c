// The block evaluators' lane code, compiled once per vector unit.
//
// Each including translation unit defines
//  - VORLAN_BLOCK_LANES: the doubles in one vector;
//  - VORLAN_LANE_ENTRY(name): the name of its entry points (name_unit);
//  - VORLAN_LANE_TARGET (optional): the instruction set, as a target string,
//    applied by pragma to this code alone, so that one compiler invocation
//    with the baseline flags builds every width, as the hosts' mex commands do.
// Everything but the entry points has internal linkage: a copy compiled for
// a wider unit must never be picked by the linker for a narrower one.  So
// every header with external linkage (the standard library's too) comes
// before the pragma; the kernels' step templates come after it, to be
// compiled for this unit.
//
// The arithmetic is the one-point kernels' templates instantiated for the
// vector, every lane their operations in their order (IEEE operations give
// the same result in any lane; fused multiply-adds are off in the whole
// build); the family files (region_, rational_, full_lanes.hpp) only sort,
// gather, run and scatter.  The region kernel's per-point closing steps call
// the C library's exp, sin and cos, as its one-point routine does; the full
// kernel's exponentials are its own (lane_elementary.hpp), in lanes.  Points
// outside the ordinary ranges go to the element routines whole.
#ifndef VORLAN_BLOCK_LANES_HPP
#define VORLAN_BLOCK_LANES_HPP

#if !defined(VORLAN_BLOCK_LANES) || !defined(VORLAN_LANE_ENTRY)
#error "VORLAN_BLOCK_LANES and VORLAN_LANE_ENTRY must be defined by the including translation unit"
#endif

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <type_traits>

#include "../rounding.hpp"
#include "../uniform_nan.hpp"
#include "../w_constants.hpp"
#include "../w_full.hpp"
#include "block_pieces.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

// The vector units' own square roots (see lane_vector.hpp).
#if !defined(VORLAN_PORTABLE_LANES) && (defined(__GNUC__) || defined(__clang__))
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#elif defined(__aarch64__)
#include <arm_neon.h>
#endif
#endif

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
// The kernels' steps, calling the lanes' operations (LaneOps below).
#include "../exact_arithmetic.hpp"
#include "../integer_power.hpp"
#include "../lane_elementary.hpp"
#include "../line_shape_steps.hpp"
#include "../w_full_steps.hpp"
#include "../w_rational_steps.hpp"
#include "../w_regions_steps.hpp"

namespace vorlan::detail {
namespace {

template <>
struct LaneOps<blocks::Vec> {
  using Vec = blocks::Vec;
  using Bits = blocks::Mask;
  using Cond = blocks::Mask;
  static constexpr int kWidth = blocks::kLanes;
  static double lane(const Vec& v, int i) { return v[i]; }
  static void set_lane(Vec& v, int i, double x) { v[i] = x; }
  static void set_lane(Bits& b, int i, std::int64_t x) { b[i] = x; }
  static Vec splat(double v) { return blocks::splat(v); }
  static Bits bits(const Vec& v) { return blocks::bits_of(v); }
  static Vec from_bits(const Bits& b) { return blocks::from_bits(b); }
  static Vec select(const Cond& c, const Vec& a, const Vec& b) { return blocks::select(c, a, b); }
  static Vec select_bits(const Bits& m, const Vec& a, const Vec& b) {
    return blocks::select(m, a, b);
  }
  static Vec magnitude(const Vec& v) { return blocks::magnitude(v); }
};

}  // namespace
}  // namespace vorlan::detail

// A batch's loop as a function of its own: inlined into the chunk's code,
// its vectors lose registers to the rest and spill.
#if defined(__GNUC__) || defined(__clang__)
#define VORLAN_BATCH_LOOP __attribute__((noinline))
#elif defined(_MSC_VER)
#define VORLAN_BATCH_LOOP __declspec(noinline)
#else
#define VORLAN_BATCH_LOOP
#endif

namespace vorlan::blocks {
namespace {

// Gathers field[order[j]] (doubles or counts) for the points order[o, o +
// kLanes) into lanes; lanes past count repeat the first point.
template <class T>
inline Vec gather(const T* field, const std::int16_t* order, int count, int o) {
  Vec v;
  for (int i = 0; i < kLanes; ++i)
    v[i] = static_cast<double>(field[order[o + i < count ? o + i : 0]]);
  return v;
}

// Runs batch(groups, order + j, size) over the sorted points order[0, count)
// in batches of kGroups vectors, a last batch on the fewest vectors that hold
// it; groups is std::integral_constant<int, vectors>, for the batch's arrays.
template <int kGroups, class Batch>
inline void in_batches(const std::int16_t* order, int count, const Batch& batch) {
  constexpr int kSize = kGroups * kLanes;
  int j = 0;
  for (; j + kSize <= count; j += kSize) {
    batch(std::integral_constant<int, kGroups>{}, order + j, kSize);
  }
  if (j == count) return;
  if constexpr (kGroups > 1) {
    if (count - j <= (kGroups - 1) * kLanes) {
      in_batches<kGroups - 1>(order + j, count - j, batch);
      return;
    }
  }
  batch(std::integral_constant<int, kGroups>{}, order + j, count - j);
}

}  // namespace
}  // namespace vorlan::blocks

#include "full_lanes.hpp"
#include "rational_lanes.hpp"
#include "region_lanes.hpp"

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

void VORLAN_LANE_ENTRY(full_terms)(const double* x, const double* y, int n, bool with_zw,
                                   detail::FullTerms* terms) {
  full_terms_lanes(x, y, n, with_zw, terms);
}

void VORLAN_LANE_ENTRY(voigt)(const double* x, const double* sigma, const double* gamma, int n,
                              bool derivatives, detail::VoigtValues* values) {
  voigt_lanes(x, sigma, gamma, n, derivatives, values);
}

}  // namespace vorlan::blocks

#endif
