// LaneOps (lane_elementary.hpp) for the lane vector, and the moves of a
// batch's points between arrays and lanes.
#ifndef VORLAN_LANE_OPS_HPP
#define VORLAN_LANE_OPS_HPP

#include <cstdint>
#include <type_traits>

#include "../lane_elementary.hpp"
#include "lane_vector.hpp"

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
  static Vec sqrt(const Vec& v) { return blocks::square_root(v); }
  static bool any(const Cond& c) { return blocks::any(c); }
  static bool all(const Cond& c) { return !blocks::any(~c); }
};

}  // namespace
}  // namespace vorlan::detail

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

#endif
