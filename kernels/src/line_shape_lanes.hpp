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
#include "htp_steps.hpp"
#include "lane_elementary.hpp"
#include "line_shape_steps.hpp"

namespace vorlan::detail {
namespace {

using blocks::gather;
using blocks::kFullTermsChunk;
using blocks::kLanes;
using blocks::Mask;
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

// The Hartmann-Tran profile's values in lanes.
struct HtpValuesOf {
  Vec re, im;
  Vec d_re[kHtpDerivatives], d_im[kHtpDerivatives];
};

// The numbers of the lines of the points order[o, o + kLanes), one per lane
// (lanes past m repeat the first point's), and which are lines of two points.
Mask lines_in_lanes(const HtpArguments* lines, const std::int16_t* line_of,
                    const std::int16_t* order, int m, int o, HtpLineOf<Vec>& l) {
  double columns[kHtpArguments][kLanes];
  for (int i = 0; i < kLanes; ++i) {
    const HtpArguments& one = lines[line_of[order[o + i < m ? o + i : o]]];
    for (int k = 0; k < kHtpArguments; ++k) columns[k][i] = one[k];
  }
  Vec a[kHtpArguments];
  for (int k = 0; k < kHtpArguments; ++k) a[k] = blocks::load(columns[k]);
  l.form = HtpKind::kApart;
  Mask valid;
  Mask two_points;
  line_numbers(a, l, valid, two_points);
  return two_points;
}

// The terms at the upper half-plane's zeta from the kernel's at |x| + iy:
// w(-conj zeta) = conj w(zeta), w' = -conj w', (zeta w)' = conj (zeta w)'.
WTermsOf<Vec> upper_terms(const Vec& x, const FullTerms* quadrant, const int* index) {
  FullTermsOf<Vec> t{};
  for (int i = 0; i < kLanes; ++i) {
    const FullTerms& one = quadrant[index[i]];
    t.wr[i] = one.wr;
    t.wi[i] = one.wi;
    t.dr[i] = one.dr;
    t.di[i] = one.di;
    t.gr[i] = one.gr;
    t.gi[i] = one.gi;
  }
  const Mask mirror = x < 0.0;
  return {{t.wr, blocks::select(mirror, -t.wi, t.wi)},
          {blocks::select(mirror, -t.dr, t.dr), t.di},
          {t.gr, blocks::select(mirror, -t.gi, t.gi)}};
}

// The Hartmann-Tran profile at the points of lines of two points whose
// kernel points are apart, in the upper half-plane and in the kernel's range
// (HtpPiece): placed, and F formed, in lanes around the terms piece.
void htp_lanes(blocks::FullTermsPiece terms_of, const HtpArguments* lines,
               const std::int16_t* line_of, const double* detuning, int n, bool derivatives,
               HtpValue* out, bool* done) {
  constexpr int kMost = kFullTermsChunk / 2;
  constexpr int kRoom = kMost + kLanes;  // room for a last vector's idle lanes
  std::int16_t order[kMost];
  int m = 0;
  for (int j = 0; j < n && j < kMost; ++j) {
    // C2t = (1 - eta) C2 is not 0 (whether the numbers make a line of two
    // points is decided in lanes)
    const HtpArguments& a = lines[line_of[j]];
    const double keep = 1.0 - a[kHtpEta];
    const bool c2t = keep * a[kHtpGamma2] != 0.0 || keep * a[kHtpDelta2] != 0.0;
    if (c2t && std::isfinite(detuning[j])) {
      order[m++] = static_cast<std::int16_t>(j);
    }
  }
  if (m == 0) return;
  HtpLineOf<Vec> line_lanes[kRoom / kLanes];
  Mask two_points[kRoom / kLanes];
  // a group's lines: its own, or the group's before it where both hold one
  // line, the same
  int lines_of_group[kRoom / kLanes];
  int one_line = -1;
  HtpPointOf<Vec> placed[kRoom / kLanes];
  int first_term[kRoom];  // of the point's two in the terms, or -1: left
  double ax[kFullTermsChunk];
  double ay[kFullTermsChunk];
  int r = 0;
  for (int o = 0; o < m; o += kLanes) {
    const int g = o / kLanes;
    const int first = line_of[order[o]];
    bool uniform = true;
    for (int i = 1; i < kLanes && o + i < m; ++i)
      uniform = uniform && line_of[order[o + i]] == first;
    if (uniform && first == one_line) {
      lines_of_group[g] = lines_of_group[g - 1];
    } else {
      lines_of_group[g] = g;
      two_points[g] = lines_in_lanes(lines, line_of, order, m, o, line_lanes[g]);
    }
    one_line = uniform ? first : -1;
    const HtpLineOf<Vec>& line = line_lanes[lines_of_group[g]];
    HtpPointOf<Vec>& p = placed[g];
    p.kind = HtpKind::kApart;
    Mask fraction;
    Mask taylor;
    place_two_points(line, gather(detuning, order, m, o), p, fraction, taylor);
    const Mask ours = two_points[lines_of_group[g]] & ~(fraction | taylor) & (p.zeta1.im >= 0.0) &
                      (p.zeta2.im >= 0.0) & in_kernel_range(p.zeta1) & in_kernel_range(p.zeta2);
    for (int i = 0; i < kLanes && o + i < m; ++i) {
      first_term[o + i] = -1;
      if (ours[i] == 0) continue;
      first_term[o + i] = r;
      ax[r] = std::fabs(p.zeta1.re[i]);
      ay[r++] = std::fabs(p.zeta1.im[i]);
      ax[r] = std::fabs(p.zeta2.re[i]);
      ay[r++] = std::fabs(p.zeta2.im[i]);
    }
  }
  if (r == 0) return;
  FullTerms quadrant[kFullTermsChunk];
  terms_of(ax, ay, r, true, quadrant);
  for (int o = 0; o < m; o += kLanes) {
    const int count = m - o < kLanes ? m - o : kLanes;
    int some = -1;
    for (int i = 0; i < count; ++i) some = first_term[o + i] >= 0 ? first_term[o + i] : some;
    if (some < 0) continue;
    int index_one[kLanes];
    int index_two[kLanes];
    for (int i = 0; i < kLanes; ++i) {
      const int at = i < count && first_term[o + i] >= 0 ? first_term[o + i] : some;
      index_one[i] = at;
      index_two[i] = at + 1;
    }
    const HtpLineOf<Vec>& line = line_lanes[lines_of_group[o / kLanes]];
    const HtpPointOf<Vec>& p = placed[o / kLanes];
    PairTermsOf<Vec> terms;  // NOLINT(cppcoreguidelines-pro-type-member-init): apart, only the two points are read
    terms.one = upper_terms(p.zeta1.re, quadrant, index_one);
    terms.two = upper_terms(p.zeta2.re, quadrant, index_two);
    const RatiosOf<Vec> ratios = pair_ratios(line, p, HtpKind::kApart, terms, derivatives);
    HtpValuesOf v;  // NOLINT(cppcoreguidelines-pro-type-member-init): derivatives only where asked for
    htp_assemble(line, p, HtpKind::kApart, ratios, derivatives, v);
    for (int i = 0; i < count; ++i) {
      if (first_term[o + i] < 0) continue;
      const int j = order[o + i];
      HtpValue& value = out[j];
      value.re = v.re[i];
      value.im = v.im[i];
      for (int k = 0; derivatives && k < kHtpDerivatives; ++k) {
        value.d_re[k] = v.d_re[k][i];
        value.d_im[k] = v.d_im[k][i];
      }
      done[j] = true;
    }
  }
}

}  // namespace
}  // namespace vorlan::detail

#include "blocks/lane_target_end.hpp"

namespace vorlan::detail {

const ShapePieces VORLAN_LANE_ENTRY(shape_pieces) = {voigt_lanes, htp_lanes};

}  // namespace vorlan::detail

#endif
