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
// (lanes past m repeat the first point's), and which are of the form: two
// points, or (kOneW) one.
Mask lines_in_lanes(const HtpArguments* lines, const std::int16_t* line_of,
                    const std::int16_t* order, int m, int o, HtpKind form, HtpLineOf<Vec>& l) {
  double columns[kHtpArguments][kLanes];
  for (int i = 0; i < kLanes; ++i) {
    const HtpArguments& one = lines[line_of[order[o + i < m ? o + i : o]]];
    for (int k = 0; k < kHtpArguments; ++k) columns[k][i] = one[k];
  }
  Vec a[kHtpArguments];
  for (int k = 0; k < kHtpArguments; ++k) a[k] = blocks::load(columns[k]);
  l.form = form;
  Mask valid;
  Mask two_points;
  line_numbers(a, l, valid, two_points);
  if (form != HtpKind::kOneW) return two_points;
  return valid & ~two_points & (l.half_width != 0.0);
}

// The terms at the upper half-plane's zeta from the kernel's at |x| + iy:
// w(-conj zeta) = conj w(zeta), w' = -conj w', (zeta w)' = conj (zeta w)'.
WTermsOf<Vec> upper_terms(const Vec& x, const FullTerms* quadrant, const int* index) {
  // the terms' six parts, a column of lanes each
  double columns[6][kLanes];
  for (int i = 0; i < kLanes; ++i) {
    const FullTerms& one = quadrant[index[i]];
    columns[0][i] = one.wr;
    columns[1][i] = one.wi;
    columns[2][i] = one.dr;
    columns[3][i] = one.di;
    columns[4][i] = one.gr;
    columns[5][i] = one.gi;
  }
  FullTermsOf<Vec> t{blocks::load(columns[0]), blocks::load(columns[1]), blocks::load(columns[2]),
                     blocks::load(columns[3]), blocks::load(columns[4]), blocks::load(columns[5])};
  const Mask mirror = x < 0.0;
  return {{t.wr, blocks::select(mirror, -t.wi, t.wi)},
          {blocks::select(mirror, -t.dr, t.dr), t.di},
          {t.gr, blocks::select(mirror, -t.gi, t.gi)}};
}

// Whether C2t = (1 - eta) C2 is not 0: whether a line's numbers may make a line
// of two points (which lanes decide), else of one.
bool has_c2t(const HtpArguments& a) {
  const double keep = 1.0 - a[kHtpEta];
  return keep * a[kHtpGamma2] != 0.0 || keep * a[kHtpDelta2] != 0.0;
}

// Stores F (and its derivatives) of the lanes i of v for which mine(i) holds,
// for the points order[0, count), and marks them done.
template <class Mine>
void store_lanes(const HtpValuesOf& v, int count, const std::int16_t* order, bool derivatives,
                 HtpValue* out, bool* done, Mine mine) {
  for (int i = 0; i < count; ++i) {
    if (!mine(i)) continue;
    HtpValue& value = out[order[i]];
    value.re = v.re[i];
    value.im = v.im[i];
    for (int k = 0; derivatives && k < kHtpDerivatives; ++k) {
      value.d_re[k] = v.d_re[k][i];
      value.d_im[k] = v.d_im[k][i];
    }
    done[order[i]] = true;
  }
}

// The first lane of `which` among the first count, or -1.
int first_lane(const Mask& which, int count) {
  for (int i = 0; i < count; ++i) {
    if (which[i] != 0) return i;
  }
  return -1;
}

// F (and its derivatives) at the lanes `close` of a group of count points of
// lines of two points, order[0, count), placed at p: points close together in
// the fraction's region, whose terms come from the fraction's pair recurrence
// alone (no kernel terms).  The other lanes run the first close lane's points,
// so that no lane deepens the recurrence, and are not stored.
void close_fraction_lanes(const HtpLineOf<Vec>& line, const HtpPointOf<Vec>& p, const Mask& close,
                          int count, const std::int16_t* order, bool derivatives, HtpValue* out,
                          bool* done) {
  const int first = first_lane(close, count);
  if (first < 0) return;
  HtpPointOf<Vec> at = p;
  at.kind = HtpKind::kFraction;
  auto own_or_first = [&](CxOf<Vec>& z) {
    z = choose<Vec>(close, z, {blocks::splat(z.re[first]), blocks::splat(z.im[first])});
  };
  own_or_first(at.zeta1);
  own_or_first(at.zeta2);
  own_or_first(at.mid);
  PairUnwindingOf<Vec> kept;
  RatiosOf<Vec> ratios =
      pair_ratios(line, at, HtpKind::kFraction,
                  fraction_pair(at.zeta1, at.zeta2, derivatives ? &kept : nullptr), derivatives);
  if (derivatives) fraction_ratio_rates(line, at, kept, ratios);
  HtpValuesOf
      v;  // NOLINT(cppcoreguidelines-pro-type-member-init): derivatives only where asked for
  htp_assemble(line, at, HtpKind::kFraction, ratios, derivatives, v);
  store_lanes(v, count, order, derivatives, out, done, [&](int i) { return close[i] != 0; });
}

// F (and its derivatives) at the lanes taylor[i] of a group of count points of
// lines of two points, order[0, count), placed at p: points close enough for
// Taylor's series at their midpoint, from the kernel's terms there,
// quadrant[index[i]].
void close_taylor_lanes(const HtpLineOf<Vec>& line, const HtpPointOf<Vec>& p, const bool* taylor,
                        const FullTerms* quadrant, const int* index, int count,
                        const std::int16_t* order, bool derivatives, HtpValue* out, bool* done) {
  const PairTermsOf<Vec> terms =
      taylor_pair(p.mid, line.half, upper_terms(p.mid.re, quadrant, index));
  RatiosOf<Vec> ratios = pair_ratios(line, p, HtpKind::kTaylor, terms, derivatives);
  if (derivatives) taylor_ratio_rates(line, p, terms, ratios);
  HtpValuesOf
      v;  // NOLINT(cppcoreguidelines-pro-type-member-init): derivatives only where asked for
  htp_assemble(line, p, HtpKind::kTaylor, ratios, derivatives, v);
  store_lanes(v, count, order, derivatives, out, done, [&](int i) { return taylor[i]; });
}

// The Hartmann-Tran profile at the points of lines of one point, and of two
// points whose kernel points are in the upper half-plane and the kernel's
// range, apart or close enough for Taylor's series at their midpoint, or close
// in the fraction's region (HtpPiece): placed, and F formed, in lanes around
// the terms piece.
void htp_lanes(blocks::FullTermsPiece terms_of, const HtpArguments* lines,
               const std::int16_t* line_of, const double* detuning, int n, bool derivatives,
               HtpValue* out, bool* done) {
  constexpr int kMost = kFullTermsChunk / 2;
  constexpr int kGroups = kMost / kLanes + 2;  // with the two forms' last vectors
  // the points of lines with C2t = (1 - eta) C2 not 0, then those with C2t = 0
  // and a Doppler width (their forms are decided in lanes)
  std::int16_t order[kMost];
  bool two_form_of[kMost];
  for (int j = 0; j < n && j < kMost; ++j) two_form_of[j] = has_c2t(lines[line_of[j]]);
  int m = 0;
  int two_points_end = 0;  // order[0, two_points_end): the lines with C2t not 0
  for (int pass = 0; pass < 2; ++pass) {
    for (int j = 0; j < n && j < kMost; ++j) {
      const bool ours =
          pass == 0 ? two_form_of[j] : !two_form_of[j] && lines[line_of[j]][kHtpGammaD] > 0.0;
      if (ours && std::isfinite(detuning[j])) order[m++] = static_cast<std::int16_t>(j);
    }
    if (pass == 0) two_points_end = m;
  }
  if (m == 0) return;
  struct Group {
    int begin, count, lines;  // points order[begin, begin + count); lines: the group's
    HtpKind form;             // whose lines are these
  };
  Group groups[kGroups];
  HtpLineOf<Vec> line_lanes[kGroups];
  Mask of_form[kGroups];
  HtpPointOf<Vec> placed[kGroups];
  int first_term[kMost];     // of the point's terms (two or one), or -1: left
  bool taylor_point[kMost];  // whether that term is at the midpoint, for Taylor's series
  double ax[kFullTermsChunk];
  double ay[kFullTermsChunk];
  int r = 0;
  int group_count = 0;
  int one_line = -1;  // the line in every lane of the group before, if one
  for (int o = 0; o < m;) {
    // a group holds points of one form
    const bool two_form = o < two_points_end;
    const int form_end = two_form ? two_points_end : m;
    const int count = form_end - o < kLanes ? form_end - o : kLanes;
    const int g = group_count++;
    Group& group = groups[g];
    group = {o, count, g, two_form ? HtpKind::kApart : HtpKind::kOneW};
    const int first = line_of[order[o]];
    bool uniform = true;
    for (int i = 1; i < count; ++i) uniform = uniform && line_of[order[o + i]] == first;
    if (uniform && first == one_line && groups[g - 1].form == group.form) {
      group.lines = groups[g - 1].lines;
    } else {
      of_form[g] = lines_in_lanes(lines, line_of, order, o + count, o, group.form, line_lanes[g]);
    }
    one_line = uniform ? first : -1;
    const HtpLineOf<Vec>& line = line_lanes[group.lines];
    HtpPointOf<Vec>& p = placed[g];
    p.kind = group.form;
    const Vec at = gather(detuning, order, o + count, o);
    Mask ours;
    Mask taylor_lanes = blocks::splat(0.0) != 0.0;
    if (two_form) {
      Mask fraction;
      Mask taylor;
      place_two_points(line, at, p, fraction, taylor);
      ours = of_form[group.lines] & ~(fraction | taylor) & (p.zeta1.im >= 0.0) &
             (p.zeta2.im >= 0.0) & in_kernel_range(p.zeta1) & in_kernel_range(p.zeta2);
      const Mask doppler = of_form[group.lines] & (line.half_width != 0.0);
      taylor_lanes = doppler & taylor & ~fraction & (p.mid.im >= 0.0) & in_kernel_range(p.mid);
      ours = ours | taylor_lanes;
      const Mask close = doppler & fraction;
      if (blocks::any(close)) {
        close_fraction_lanes(line, p, close, count, order + o, derivatives, out, done);
      }
    } else {
      place_one_point(line, at, p);
      ours = of_form[group.lines] & (p.mid.im >= 0.0) & in_kernel_range(p.mid);
    }
    for (int i = 0; i < count; ++i) {
      first_term[o + i] = -1;
      taylor_point[o + i] = false;
      if (ours[i] == 0) continue;
      const bool taylor_i = taylor_lanes[i] != 0;
      taylor_point[o + i] = taylor_i;
      first_term[o + i] = r;
      const bool at_mid = !two_form || taylor_i;
      const CxOf<Vec>& one = at_mid ? p.mid : p.zeta1;
      ax[r] = std::fabs(one.re[i]);
      ay[r++] = std::fabs(one.im[i]);
      if (at_mid) continue;
      ax[r] = std::fabs(p.zeta2.re[i]);
      ay[r++] = std::fabs(p.zeta2.im[i]);
    }
    o += count;
  }
  if (r == 0) return;
  FullTerms quadrant[kFullTermsChunk];
  terms_of(ax, ay, r, true, quadrant);
  for (int g = 0; g < group_count; ++g) {
    const Group& group = groups[g];
    const int* first = first_term + group.begin;
    const bool* at_mid = taylor_point + group.begin;
    const HtpLineOf<Vec>& line = line_lanes[group.lines];
    const HtpPointOf<Vec>& p = placed[g];
    // each lane its own terms, or (unused) those of some lane of its kind
    int some = -1;
    int some_taylor = -1;
    for (int i = 0; i < group.count; ++i) {
      if (first[i] < 0) continue;
      if (at_mid[i]) {
        some_taylor = first[i];
      } else {
        some = first[i];
      }
    }
    int index_one[kLanes];
    int index_two[kLanes];
    if (some_taylor >= 0) {
      for (int i = 0; i < kLanes; ++i) {
        const bool own = i < group.count && first[i] >= 0 && at_mid[i];
        index_one[i] = own ? first[i] : some_taylor;
      }
      close_taylor_lanes(line, p, at_mid, quadrant, index_one, group.count, order + group.begin,
                         derivatives, out, done);
    }
    if (some < 0) continue;
    for (int i = 0; i < kLanes; ++i) {
      const bool own = i < group.count && first[i] >= 0 && !at_mid[i];
      index_one[i] = own ? first[i] : some;
      index_two[i] = index_one[i] + 1;
    }
    RatiosOf<Vec> ratios;  // NOLINT(cppcoreguidelines-pro-type-member-init): set below
    if (group.form == HtpKind::kApart) {
      PairTermsOf<Vec> terms;  // NOLINT(cppcoreguidelines-pro-type-member-init): apart, only the
                               // two points are read
      terms.one = upper_terms(p.zeta1.re, quadrant, index_one);
      terms.two = upper_terms(p.zeta2.re, quadrant, index_two);
      ratios = pair_ratios(line, p, HtpKind::kApart, terms, derivatives);
    } else {
      ratios = one_w_ratios(line, p, upper_terms(p.mid.re, quadrant, index_one), derivatives);
    }
    HtpValuesOf
        v;  // NOLINT(cppcoreguidelines-pro-type-member-init): derivatives only where asked for
    htp_assemble(line, p, group.form, ratios, derivatives, v);
    store_lanes(v, group.count, order + group.begin, derivatives, out, done,
                [&](int i) { return first[i] >= 0 && !at_mid[i]; });
  }
}

}  // namespace
}  // namespace vorlan::detail

#include "blocks/lane_target_end.hpp"

namespace vorlan::detail {

const ShapePieces VORLAN_LANE_ENTRY(shape_pieces) = {voigt_lanes, htp_lanes};

}  // namespace vorlan::detail

#endif
