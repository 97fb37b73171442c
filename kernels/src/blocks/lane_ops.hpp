// What the kernels' generic steps need of the lane vector (LaneOps, see
// lane_elementary.hpp), and the moves of a batch's points between arrays and
// lanes.  Included inside a lane target region, after lane_vector.hpp.
#ifndef VORLAN_LANE_OPS_HPP
#define VORLAN_LANE_OPS_HPP

#include <cstdint>

#include "../lane_elementary.hpp"
#include "lane_vector.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): one copy per vector unit

template <>
struct LaneOps<blocks::Vec> {
  using Vec = blocks::Vec;
  using Bits = blocks::Mask;
  using Cond = blocks::Mask;
  static Vec splat(double v) { return blocks::splat(v); }
  static Bits bits(const Vec& v) { return blocks::bits_of(v); }
  static Vec from_bits(const Bits& b) { return blocks::from_bits(b); }
  static Vec select(const Cond& c, const Vec& a, const Vec& b) { return blocks::select(c, a, b); }
  static Vec select_bits(const Bits& m, const Vec& a, const Vec& b) {
    return blocks::select(m, a, b);
  }
};

}  // namespace
}  // namespace vorlan::detail

namespace vorlan::blocks {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): one copy per vector unit

// Gathers field[order[j]] for the batch's points o, o + 1, ... into lanes;
// idle lanes repeat the first point.
inline Vec gather(const double* field, const std::int16_t* order, int count, int o) {
  Vec v;
  for (int i = 0; i < kLanes; ++i) {
    const int j = o + i < count ? o + i : 0;
    v[i] = field[order[j]];
  }
  return v;
}

}  // namespace
}  // namespace vorlan::blocks

#endif
