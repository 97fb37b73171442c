// The line shapes' steps around w in vector lanes, compiled once per vector
// unit: line_shape_lanes_<unit>.cpp defines VORLAN_BLOCK_LANES, VORLAN_LANE_ENTRY
// and VORLAN_LANE_TARGET as for blocks/block_lanes.hpp and gets that unit's
// ShapePieces.  Each piece runs line_shape_steps.hpp in lanes around the terms
// piece it is handed: the bits are the one-point routine's.
#ifndef VORLAN_LINE_SHAPE_LANES_HPP
#define VORLAN_LINE_SHAPE_LANES_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "blocks/block_pieces.hpp"
#include "line_shape_pieces.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_terms.hpp"

// From here to lane_target_end.hpp everything is compiled for this unit.
#include "blocks/lane_target_begin.hpp"
// The generic steps (internal linkage), compiled here for this unit.
#include "blocks/lane_ops.hpp"
#include "blocks/lane_vector.hpp"
#include "lane_elementary.hpp"
#include "line_shape_steps.hpp"

namespace vorlan::detail {
namespace {

using blocks::gather;
using blocks::kFullTermsChunk;
using blocks::kLanes;
using blocks::Vec;

// The Voigt profile at n <= kFullTermsChunk points: the ordinary ones (see
// voigt_ordinary) in lanes, the others one at a time.
void voigt_lanes(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                 const double* gamma, int n, bool derivatives, VoigtValues* out) {
  // Room for a last vector's idle lanes.
  constexpr int kRoom = kFullTermsChunk + kLanes;
  std::int16_t ordinary[kFullTermsChunk];
  int m = 0;
  for (int j = 0; j < n; ++j) {
    if (voigt_ordinary(x[j], sigma[j], gamma[j])) {
      ordinary[m++] = static_cast<std::int16_t>(j);
    } else {
      voigt_point(x[j], sigma[j], gamma[j], derivatives, out[j]);
    }
  }
  if (m == 0) return;
  VoigtArgumentOf<Vec> args[kRoom / kLanes];
  double zr[kRoom];
  double zi[kRoom];
  for (int o = 0; o < m; o += kLanes) {
    const Vec s = gather(sigma, ordinary, m, o);
    VoigtArgumentOf<Vec>& z = args[o / kLanes];
    scaled_by_width(blocks::magnitude(gather(x, ordinary, m, o)), s, z.zr, z.zr_lo);
    scaled_by_width(gather(gamma, ordinary, m, o), s, z.zi, z.zi_lo);
    blocks::store(zr + o, z.zr);
    blocks::store(zi + o, z.zi);
  }
  FullTerms terms[kRoom];
  terms_of(zr, zi, m, derivatives, terms);
  for (int o = 0; o < m; o += kLanes) {
    const int count = m - o < kLanes ? m - o : kLanes;
    FullTermsOf<Vec> t{};
    for (int i = 0; i < kLanes; ++i) {
      const FullTerms& one = terms[o + (i < count ? i : 0)];
      t.wr[i] = one.wr;
      t.wi[i] = one.wi;
      t.dr[i] = one.dr;
      t.di[i] = one.di;
      if (derivatives) {  // (z w)' only where asked for
        t.gr[i] = one.gr;
        t.gi[i] = one.gi;
      }
    }
    VoigtValuesOf<Vec> r{};
    voigt_complete(gather(x, ordinary, m, o), gather(sigma, ordinary, m, o), derivatives,
                   args[o / kLanes], t, r);
    for (int i = 0; i < count; ++i) {
      out[ordinary[o + i]] = {r.value[i], r.d_x[i], r.d_sigma[i], r.d_gamma[i]};
    }
  }
}

}  // namespace
}  // namespace vorlan::detail

#include "blocks/lane_target_end.hpp"

namespace vorlan::detail {

const ShapePieces VORLAN_LANE_ENTRY(shape_pieces) = {voigt_lanes, nullptr};

}  // namespace vorlan::detail

#endif
