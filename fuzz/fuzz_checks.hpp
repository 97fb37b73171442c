// What the harnesses share: reading doubles from raw input bytes, comparing
// results bit for bit, and failing loudly in a way libFuzzer records.
#ifndef VORLAN_FUZZ_CHECKS_HPP
#define VORLAN_FUZZ_CHECKS_HPP

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vorlan/w_blocks.hpp"

namespace vorlan::fuzz {

inline std::uint64_t bits(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

inline double from_bits(std::uint64_t b) {
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

// Reads consecutive 8-byte doubles; missing bytes read as zero, so every input
// length stands for some point.
inline double double_at(const std::uint8_t* data, std::size_t size, std::size_t index) {
  std::uint64_t b = 0;
  for (std::size_t k = 0; k < 8; ++k) {
    const std::size_t at = index * 8 + k;
    if (at < size) b |= static_cast<std::uint64_t>(data[at]) << (8 * k);
  }
  return from_bits(b);
}

// Reports which property failed at which point, then aborts: libFuzzer keeps
// the input as a crash artefact.
[[noreturn]] inline void fail(const char* what, double x, double y, double a, double b) {
  std::fprintf(
      stderr, "property failed: %s\n  at x = %a, y = %a\n  values %a, %a (bits %016llx, %016llx)\n",
      what, x, y, a, b, static_cast<unsigned long long>(bits(a)),
      static_cast<unsigned long long>(bits(b)));
  std::abort();
}

// Equal bits, or both zero of either sign, or both NaN of any payload and sign.
inline bool same_up_to_zero_sign(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return bits(a) == bits(b) || (a == 0.0 && b == 0.0);
}

// Not a NaN, or the NaN the element routines and the block evaluators return
// at x + iy: positive and quiet, with the payload of the input's NaN part
// where it has one (x before y), none otherwise.
inline bool uniform_nan_if_any(double d, double x, double y) {
  if (!std::isnan(d)) return true;
  std::uint64_t expected = 0x7ff8000000000000ULL;
  if (std::isnan(x) || std::isnan(y)) {
    expected = (bits(std::isnan(x) ? x : y) & 0x7fffffffffffffffULL) | 0x0008000000000000ULL;
  }
  return bits(d) == expected;
}

// Equal bits, or both NaN: the element routines promise bit-identical values
// from every vector width, NaN payloads aside.
inline bool same_value(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return bits(a) == bits(b);
}

inline constexpr BlockWidth kWidths[] = {BlockWidth::kScalar, BlockWidth::kBaseline,
                                         BlockWidth::kAvx2, BlockWidth::kAvx512};

// Every available vector width of a block evaluator, on one thread, against
// the element routine, element by element.
template <class Planned, class Element>
void check_block_widths(Planned planned, Element element, const double* xr, const double* xi,
                        std::int64_t n, const char* what) {
  constexpr std::int64_t kMax = 64;
  if (n <= 0 || n > kMax) return;
  double ue[kMax];
  double ve[kMax];
  for (std::int64_t k = 0; k < n; ++k) element(xr[k], xi[k], ue[k], ve[k]);
  for (BlockWidth width : kWidths) {
    if (!BLOCK_WIDTH_AVAILABLE(width)) continue;
    double ub[kMax];
    double vb[kMax];
    planned(BlockPlan{width, 1}, xr, xi, ub, vb, n);
    for (std::int64_t k = 0; k < n; ++k) {
      if (!same_value(ub[k], ue[k]) || !same_value(vb[k], ve[k])) {
        std::fprintf(stderr, "%s: width %d, element %lld of %lld\n", what, static_cast<int>(width),
                     static_cast<long long>(k), static_cast<long long>(n));
        std::fprintf(stderr, "  element routine %a %a\n", ue[k], ve[k]);
        fail("block value differs from the element routine", xr[k], xi[k], ub[k], vb[k]);
      }
    }
  }
}

}  // namespace vorlan::fuzz

#endif
