// The full-precision w kernel's first-quadrant terms in lanes (method in
// w_full.cpp), the terms piece of block_pieces.hpp; included by block_lanes.hpp
// inside its target region.  The trapezoidal rule runs kLanes points that share
// one node table; the continued fraction runs points sorted by depth, each lane
// from its own depth (above it r stays 0, as the one-point loop starts).  Each
// lane runs w_full_quadrant's operations in its order: the same bits.
#ifndef VORLAN_FULL_LANES_HPP
#define VORLAN_FULL_LANES_HPP

#include <cmath>
#include <cstdint>

#include "../rounding.hpp"
#include "../w_full_steps.hpp"
#include "../w_full_terms.hpp"
#include "block_pieces.hpp"
#include "lane_ops.hpp"
#include "lane_vector.hpp"

namespace vorlan::blocks {
namespace {

// The fraction's depths lie between 5 and 32 in its region.
constexpr int kMaxFractionDepth = 63;

inline void scatter_terms(const detail::FullTermsOf<Vec>& t, const std::int16_t* order, int count,
                          detail::FullTerms* out) {
  for (int i = 0; i < count; ++i) {
    out[order[i]] = {t.wr[i], t.wi[i], t.dr[i], t.di[i], t.gr[i], t.gi[i]};
  }
}

// The continued fraction at count <= kGroups * kLanes points sorted by depth,
// vectors side by side so that one's division hides the others' latency.
constexpr int kFractionGroups = 4;

template <int kGroups>
inline void fraction_lanes(const double* x, const double* y, const std::int16_t* order, int count,
                           bool with_zw, detail::FullTerms* out) {
  detail::FractionUnwinding<Vec, kGroups> f;
  int deepest = 0;
  int shallowest = kMaxFractionDepth;
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    f.x[g] = gather(x, order, count, o);
    f.y[g] = gather(y, order, count, o);
    f.depth[g] = detail::fraction_depth(square_root(f.x[g] * f.x[g] + f.y[g] * f.y[g]));
    for (int i = 0; i < kLanes; ++i) {
      const std::int32_t d = detail::trunc_to_int32(f.depth[g][i]);
      if (d > deepest) deepest = d;
      if (d < shallowest) shallowest = d;
    }
    f.rx[g] = f.ry[g] = f.r1x[g] = f.r1y[g] = f.r2x[g] = f.r2y[g] = splat(0.0);
  }
  detail::unwind_fraction<detail::FractionKeeps::kFirstTerms>(f, deepest, shallowest);
  for (int g = 0; g < kGroups; ++g) {
    detail::FullTermsOf<Vec> t{};
    detail::fraction_finish(f, g, with_zw, t);
    const int o = g * kLanes;
    scatter_terms(t, order + o, count - o < kLanes ? count - o : kLanes, out);
  }
}

// The points sorted by group, the rule's by node table (2 * integer_grid +
// moments_out), then the fraction's by depth (kTables + depth), so that a
// vector's lanes share the table or nearly the depth.
void full_terms_lanes(const double* x, const double* y, int n, bool with_zw,
                      detail::FullTerms* out) {
  constexpr int kTables = 4;
  constexpr int kGroupCount = kTables + kMaxFractionDepth + 1;
  std::int8_t group[kFullTermsChunk];
  int end[kGroupCount + 1] = {};  // counts, then starts, then ends
  for (int j = 0; j < n; ++j) {
    int g;
    if (detail::in_fraction_region(x[j], y[j])) {
      const std::int32_t depth =
          detail::trunc_to_int32(detail::fraction_depth(std::sqrt(x[j] * x[j] + y[j] * y[j])));
      g = kTables + (depth < kMaxFractionDepth ? depth : kMaxFractionDepth);
    } else {
      const detail::TrapezoidGrid<double> grid = detail::trapezoid_grid(x[j], y[j]);
      g = 2 * int{grid.integer_grid} + int{grid.moments_out};
    }
    group[j] = static_cast<std::int8_t>(g);
    ++end[g + 1];
  }
  for (int g = 1; g <= kGroupCount; ++g) end[g] += end[g - 1];
  std::int16_t order[kFullTermsChunk];
  for (int j = 0; j < n; ++j) order[end[group[j]]++] = static_cast<std::int16_t>(j);
  for (int g = 0; g < kTables; ++g) {
    const detail::TrapezoidTables tables =
        detail::trapezoid_tables(detail::TrapezoidGrid<double>{0.0, g >= 2, (g & 1) != 0});
    for (int o = g == 0 ? 0 : end[g - 1]; o < end[g]; o += kLanes) {
      const int count = end[g] - o < kLanes ? end[g] - o : kLanes;
      const Vec vx = gather(x, order + o, count, 0);
      const Vec vy = gather(y, order + o, count, 0);
      detail::FullTermsOf<Vec> t{};
      detail::trapezoid_terms(vx, vy, detail::trapezoid_grid(vx, vy), tables, with_zw, t);
      scatter_terms(t, order + o, count, out);
    }
  }
  const int rule_count = end[kTables - 1];
  in_batches<kFractionGroups>(
      order + rule_count, n - rule_count, [&](auto groups, const std::int16_t* batch, int count) {
        fraction_lanes<decltype(groups)::value>(x, y, batch, count, with_zw, out);
      });
  for (int j = 0; j < n; ++j) detail::quadrant_close(x[j], y[j], with_zw, out[j]);
}

}  // namespace
}  // namespace vorlan::blocks

#endif
