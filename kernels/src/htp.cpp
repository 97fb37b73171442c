// The Hartmann-Tran profile and its derivatives from the full-precision w.
//
// Definition (c = sqrt(ln 2) / GammaD, q = i (nu0 - nu) + C0t):
//   A = sqrt(pi) c (w(i Z1) - w(i Z2)),  B = c (u(Z1) - u(Z2)),
//   F = A / (pi (1 - mu A + eta C2 B)),  mu = nuVC - eta (C0 - 3 C2 / 2),
// with Z1 = R - s, Z2 = R + s, s = 1 / (2 c C2t), R = sqrt(q / C2t + s^2), and
// u(Z) = sqrt(pi) (1 - Z^2) w(iZ) + Z: A and B are the Maxwell averages of
// 1 / D and s^2 / D.  At zeta = iZ, u = sqrt(pi) (3/2 w - (zeta w)' / 2) and
// du/dzeta = sqrt(pi) (w' / 2 + zeta (zeta w)'), the kernel's own terms.
//
// Method.  F = 1 / (pi P), P = Gamma0 + i (nu0 - nu + Delta0) + (K - 3/2 C2t)
// + eta C2 (B / A - 3/2), K = 1 / A - q: the Lorentzian's denominator plus
// the Doppler and speed-dependence corrections, which are formed directly
// (B / A - 3/2 = -(divided difference of (zeta w)') / (2 that of w), and K
// from 1 - qA - C2t B = -(i sqrt(pi) / 2) (w'(zeta1) + w'(zeta2)) - C2t A), so
// that the real part of P, and so Re F in the far wings, keeps its relative
// accuracy.  Z1 = 2a / (1 + sqrt(1 + 4ab)) (a = cq, b = c C2t), or q / C2t
// over R + s, whichever adds like signs.  The divided differences over
// zeta1 = iZ1, zeta2 = zeta1 + 2is, midpoint m, are formed three ways:
//  - both points in the continued fraction's region of the upper half-plane
//    and |s| < |m| / 16: the fraction's divided-difference recurrence
//    D_n = -2 r_n(zeta1) r_n(zeta2) (-i + (n + 1) D_{n+1}), unwound beside r_n
//    at both points (w = (2 / sqrt(pi)) r_0, w' = 2i r_1 w, (zeta w)' =
//    4 r_1 r_2 w);
//  - |s| max(1, |m|) <= 1/2: Taylor series at m, w's derivatives from
//    w^(k+1) = -2 zeta w^(k) - 2k w^(k-1) and the kernel's w, w', (zeta w)';
//  - otherwise the plain difference of the kernel's values, which then loses
//    at most a factor of about 16.
// GammaD = 0 is the same code with s = 0 (divided differences become
// derivatives), where B / A - 3/2 = -6 r_2 r_3; C2t = 0 is the one-w form, and
// GammaD = 0 with C2t = 0 the Lorentzian.  The derivatives are the chain rule
// through q, C2t and c on the same terms, K's formed from K's own form with
// the points moving (dzeta/dq = i / (2 C2t R), dzeta_j/dC2t =
// i zeta_j^2 / (2 C2t R), c dzeta_j/dc = +-s zeta_j / R).  Where the points
// are close, those motions move far larger terms than the rates they give
// (the Doppler effect fades in the wings, and w's pole moves with neither
// point under c: c dm/dc = -h^2 / m, c dh^2/dc = -2 h^2, zeta1 zeta2 fixed),
// so there the rates come from the divided differences' own:
//  - in the fraction, a second pass of the recurrence on the pair's sums,
//    products and divided differences of r_n, which depend on the points
//    through m, h^2 and zeta1 zeta2 only, carrying their rates along each
//    motion (c dK/dc, and B / A's rates in c, q and C2t);
//  - in the Taylor series, c dD[f]/dc = -sum_j 2j h^{2j} (f_2j / m +
//    f_{2j+1}), f_k the coefficients at m (c dK/dc, c d(B / A)/dc);
//  - dK/dq and dK/dC2t - 3/2 in the fraction where |m|^2 >= 1024, from K's
//    asymptotic series in C2t / q and 1 / (c q) (the Maxwell moments of
//    q + C2t v^2 + i v_z / c), whose Doppler terms C2t does not move.
// The steps of lines of one point, of points apart and of close points in
// the fraction's region (the line's numbers, placing the points, the ratios
// with the fraction's rates, F and its derivatives) are templates over the
// number type (htp_steps.hpp) that the lane code runs, a line per lane; the
// other points run them one at a time, with the same bits.
//
// Measured against the definition at 50 digits and more (tests/data/htp.csv,
// 8008 lines: sweeps along every parameter's range, 1000 random lines, the
// Doppler-free limit, |nu - nu0| to 1e6 widths): Re F within 3.6e-3 of its
// bound (1e-12 relative within 1e4 widths, 1e-10 beyond), Im F within 0.09 of
// it; every derivative within 0.62 of 1e-9 max(|d|, 1e-6 of its peak over
// nu) (dF/dGamma2 and dF/dDelta2 0.62, at points apart of a speed-dependent
// line 350 Doppler widths broad; dF/dGammaD 0.085; the others 0.031 or less).
#include "vorlan/htp.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "blocks/block_pieces.hpp"
#include "htp_steps.hpp"
#include "line_shape_pieces.hpp"
#include "vorlan/w_full.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_tables.hpp"
#include "w_full_terms.hpp"

namespace vorlan::detail {
namespace {

using WTerms = WTermsOf<double>;
using PairTerms = PairTermsOf<double>;
using Ratios = RatiosOf<double>;

// The terms at zeta = x + iy from the kernel's terms at |x| + i|y|.
WTerms map_terms(double x, double y, const FullTerms& t) {
  WTerms r{};
  if (!w_full_in_range(x, y)) {
    FullTerms b{};
    w_full_beyond(x, y, b);
    return {{b.wr, b.wi}, {b.dr, b.di}, {b.gr, b.gi}};
  }
  w_full_map(x, y, t, r.w.re, r.w.im, r.dw.re, r.dw.im);
  if (y >= 0.0) {
    // (zeta w)'(-conj zeta) = conj (zeta w)'(zeta)
    r.g = {t.gr, x < 0.0 ? -t.gi : t.gi};
  } else {
    r.g = r.w + Cx{x, y} * r.dw;
  }
  return r;
}

WTerms terms_at(Cx zeta) {
  FullTerms t{};
  if (w_full_in_range(zeta.re, zeta.im)) {
    w_full_quadrant(std::fabs(zeta.re), std::fabs(zeta.im), true, t);
  }
  return map_terms(zeta.re, zeta.im, t);
}

// What the line parameters (all arguments but nu) give, whatever nu.
HtpLine htp_parameters(const double (&a)[kHtpArguments]) {
  HtpLine l{};
  bool valid = false;
  bool two_points = false;
  line_numbers(a, l, valid, two_points);
  if (!valid) {
    l = {};
    l.form = HtpKind::kUndefined;
  } else {
    // two points placed at each nu, else the Lorentzian or the one-w form
    l.form = two_points            ? HtpKind::kApart
             : l.half_width == 0.0 ? HtpKind::kLorentz
                                   : HtpKind::kOneW;
  }
  return l;
}

// The line at nu0 - nu = detuning.
HtpPoint htp_place(const HtpLine& line, double detuning) {
  HtpPoint l{};
  l.kind = line.form;
  if (l.kind == HtpKind::kUndefined) return l;
  if (std::isnan(detuning)) {
    l.kind = HtpKind::kUndefined;
    return l;
  }
  if (std::isinf(detuning)) {
    l.kind = HtpKind::kVanishes;
    return l;
  }
  l.lorentz = {line.c0.re, detuning + line.c0.im};
  l.q = {line.c0t.re, detuning + line.c0t.im};
  if (l.kind == HtpKind::kLorentz) return l;
  if (l.kind == HtpKind::kOneW) {
    place_one_point(line, detuning, l);
    return l;
  }
  bool fraction = false;
  bool taylor = false;
  place_two_points(line, detuning, l, fraction, taylor);
  l.kind = fraction ? HtpKind::kFraction : taylor ? HtpKind::kTaylor : HtpKind::kApart;
  return l;
}

// The points whose kernel terms the line needs: 0, 1 (mid) or 2 (zeta1, zeta2).
int htp_points(const HtpPoint& l, Cx* points) {
  switch (l.kind) {
    case HtpKind::kOneW:
    case HtpKind::kTaylor: points[0] = l.mid; return 1;
    case HtpKind::kApart:
      points[0] = l.zeta1;
      points[1] = l.zeta2;
      return 2;
    default: return 0;
  }
}

// Without Doppler width both points are Z = sqrt(q / C2t), and B / A = K / C2t
// = 1/2 + zeta (zeta w)' / w', which is 3/2 - 6 r_2 r_3 in the continued
// fraction's terms: P = Gamma0 + i (nu0 - nu + Delta0) + C2 (B / A - 3/2).
Ratios doppler_free_ratios(const HtpLine& line, const HtpPoint& l, const PairTerms& p) {
  Cx excess = -6.0 * (p.r_one[2] * p.r_one[3]);
  Cx slope = p.beta_slope;  // d excess / d zeta
  if (l.kind == HtpKind::kTaylor) {
    const Cx zeta = l.mid;
    const WTerms& t = p.one;
    const Cx ratio = t.g / t.dw;
    excess = zeta * ratio - Cx{1.0, 0.0};
    // (zeta w)'' = 2 w' - 2 zeta (zeta w)', w'' = -2 (zeta w)'
    slope = ratio + zeta * (Cx{2.0, 0.0} - 2.0 * (zeta * ratio)) + 2.0 * (zeta * (ratio * ratio));
  }
  const Cx z_big = l.z1;
  const Cx slope_z = times_i(slope);  // d/dZ = i d/dzeta
  const Cx z_q = Cx{1.0, 0.0} / (2.0 * (z_big * line.c2t));
  const Cx z_c2 = -1.0 * (z_big / (2.0 * line.c2t));
  Ratios r{};
  r.ba_excess = excess;
  r.ba_q = slope_z * z_q;
  r.ba_c2 = slope_z * z_c2;
  r.k_excess = line.c2t * excess;
  r.k_q = line.c2t * r.ba_q;
  r.k_c2_excess = excess + line.c2t * r.ba_c2;
  return r;
}

// Without Doppler width or C2t, A = 1 / q and B = 3 / (2q): no corrections,
// and C2t moves B / A by -(<s^4> - <s^2>^2) / q.
Ratios lorentz_ratios(const HtpPoint& l) {
  Ratios r{};
  r.ba_c2 = Cx{-1.5, 0.0} / l.q;
  return r;
}

void htp_fill(HtpValue& out, double value, double derivative) {
  out.re = value;
  out.im = value;
  for (int k = 0; k < kHtpDerivatives; ++k) out.d_re[k] = out.d_im[k] = derivative;
}

// F from the line and the mapped kernel terms at its points.
void htp_finish(const HtpLine& line, const HtpPoint& l, const WTerms* terms, bool derivatives,
                HtpValue& out) {
  switch (l.kind) {
    case HtpKind::kUndefined: htp_fill(out, kNaN, kNaN); return;
    case HtpKind::kVanishes: htp_fill(out, 0.0, 0.0); return;
    case HtpKind::kLorentz:
      htp_assemble(line, l, l.kind, lorentz_ratios(l), derivatives, out);
      return;
    case HtpKind::kOneW:
      htp_assemble(line, l, l.kind, one_w_ratios(line, l, terms[0], derivatives), derivatives, out);
      return;
    case HtpKind::kApart:
      htp_assemble(
          line, l, l.kind,
          pair_ratios(line, l, l.kind, {terms[0], terms[1], {}, {}, {}, {}, {}, {}}, derivatives),
          derivatives, out);
      return;
    case HtpKind::kTaylor:
    case HtpKind::kFraction: {
      PairUnwindingOf<double> kept;
      const PairTerms p = l.kind == HtpKind::kTaylor ? taylor_pair(l.mid, line.half, terms[0])
                                                     : fraction_pair(l.zeta1, l.zeta2, &kept);
      if (line.half_width == 0.0) {
        htp_assemble(line, l, l.kind, doppler_free_ratios(line, l, p), derivatives, out);
        return;
      }
      Ratios r = pair_ratios(line, l, l.kind, p, derivatives);
      // the close points' rates in c (and in the fraction, q and C2t) without
      // the differences of far larger terms that pair_ratios forms them from
      if (derivatives && l.kind == HtpKind::kFraction) fraction_ratio_rates(line, l, kept, r);
      if (derivatives && l.kind == HtpKind::kTaylor) taylor_ratio_rates(line, l, p, r);
      htp_assemble(line, l, l.kind, r, derivatives, out);
      return;
    }
  }
}

// An HTP element takes 60-150 nanoseconds: a share of 2048 takes about what a
// thread start costs.
constexpr std::int64_t kHtpPerThread = 2048;
// Points per chunk: each line asks for at most two kernel points.
constexpr int kHtpChunk = blocks::kFullTermsChunk / 2;

struct HtpShape {
  HtpPiece lanes;  // null: every point here
  blocks::FullTermsPiece terms_of;
  HtpInputs in;
  HtpOutputs out;
  bool derivatives;

  void store(std::int64_t k, const HtpValue& v) const {
    if (out.value.re != nullptr) {
      out.value.re[k * out.value.step] = v.re;
      out.value.im[k * out.value.step] = v.im;
    }
    for (int j = 0; j < kHtpDerivatives; ++j) {
      const HtpComplexArray& d = out.derivative[j];
      if (d.re == nullptr) continue;
      d.re[k * d.step] = v.d_re[j];
      d.im[k * d.step] = v.d_im[j];
    }
  }

  // The points the lane piece left, one at a time around the terms piece.
  void rest(const HtpArguments* arguments, int line_count, const std::int16_t* line_of,
            const double* detuning, const bool* done, int count, HtpValue* values) const {
    HtpLine lines[kHtpChunk];
    bool have[kHtpChunk];
    for (int k = 0; k < line_count; ++k) have[k] = false;
    HtpPoint at[kHtpChunk];
    Cx points[2 * kHtpChunk];
    int first_point[kHtpChunk + 1];
    int m = 0;
    for (int j = 0; j < count; ++j) {
      first_point[j] = m;
      if (done[j]) continue;
      if (!have[line_of[j]]) {
        lines[line_of[j]] = htp_parameters(arguments[line_of[j]]);
        have[line_of[j]] = true;
      }
      at[j] = htp_place(lines[line_of[j]], detuning[j]);
      m += htp_points(at[j], points + m);
    }
    first_point[count] = m;
    // the kernel's terms in lanes, for the points in its range
    double ax[2 * kHtpChunk];
    double ay[2 * kHtpChunk];
    int quadrant_of[2 * kHtpChunk];
    int r = 0;
    for (int p = 0; p < m; ++p) {
      quadrant_of[p] = -1;
      if (!w_full_in_range(points[p].re, points[p].im)) continue;
      ax[r] = std::fabs(points[p].re);
      ay[r] = std::fabs(points[p].im);
      quadrant_of[p] = r++;
    }
    FullTerms quadrant[2 * kHtpChunk + 1];
    if (r > 0) terms_of(ax, ay, r, true, quadrant);
    quadrant[r] = {};  // what a point beyond the range maps from (unread)
    for (int j = 0; j < count; ++j) {
      if (done[j]) continue;
      WTerms terms[2];
      for (int p = first_point[j]; p < first_point[j + 1]; ++p) {
        const int q = quadrant_of[p] < 0 ? r : quadrant_of[p];
        terms[p - first_point[j]] = map_terms(points[p].re, points[p].im, quadrant[q]);
      }
      htp_finish(lines[line_of[j]], at[j], terms, derivatives, values[j]);
    }
  }

  // Whether every line argument has one value (step 0).
  bool one_line() const {
    for (int p = kHtpNu0; p < kHtpArguments; ++p) {
      if (in.step[p] != 0) return false;
    }
    return true;
  }

  void chunk(std::int64_t first, int count) const {
    HtpArguments lines[kHtpChunk];
    std::int16_t line_of[kHtpChunk];
    double detuning[kHtpChunk];
    int line_count = 0;
    if (one_line()) {
      // every line argument one value: one line, as on a line's grid
      for (int p = 0; p < kHtpArguments; ++p) lines[0][p] = in.data[p][first * in.step[p]];
      line_count = 1;
      for (int j = 0; j < count; ++j) {
        line_of[j] = 0;
        detuning[j] = lines[0][kHtpNu0] - in.data[kHtpNu][(first + j) * in.step[kHtpNu]];
      }
    } else {
      for (int j = 0; j < count; ++j) {
        double next[kHtpArguments];
        for (int p = 0; p < kHtpArguments; ++p) next[p] = in.data[p][(first + j) * in.step[p]];
        // a line once for consecutive points of the same line; the same bits,
        // not values (the signs of zeros and NaN payloads count)
        if (line_count == 0 ||
            std::memcmp(next + 1,  // NOLINT(bugprone-suspicious-memory-comparison)
                        lines[line_count - 1] + 1, sizeof(double) * (kHtpArguments - 1)) != 0) {
          std::memcpy(lines[line_count++], next, sizeof next);
        }
        line_of[j] = static_cast<std::int16_t>(line_count - 1);
        detuning[j] = next[kHtpNu0] - next[kHtpNu];
      }
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): derivatives only where asked for
    HtpValue values[kHtpChunk];
    bool done[kHtpChunk] = {};
    if (lanes != nullptr) {
      lanes(terms_of, lines, line_of, detuning, count, derivatives, values, done);
    }
    rest(lines, line_count, line_of, detuning, done, count, values);
    for (int j = 0; j < count; ++j) store(first + j, values[j]);
  }
};

}  // namespace
}  // namespace vorlan::detail

namespace vorlan {

void HTP_ELEMENT(const double (&arguments)[kHtpArguments], bool derivatives, HtpValue& value) {
  using detail::Cx;
  const detail::HtpLine line = detail::htp_parameters(arguments);
  const detail::HtpPoint point = detail::htp_place(line, arguments[kHtpNu0] - arguments[kHtpNu]);
  Cx points[2];
  detail::WTerms terms[2];
  const int n = detail::htp_points(point, points);
  for (int j = 0; j < n; ++j) terms[j] = detail::terms_at(points[j]);
  detail::htp_finish(line, point, terms, derivatives, value);
}

void HTP_BLOCK_PLANNED(const BlockPlan& plan, const HtpInputs& in, const HtpOutputs& out,
                       std::int64_t n) {
  if (n <= 0) return;
  bool derivatives = false;
  for (const HtpComplexArray& d : out.derivative) derivatives = derivatives || d.re != nullptr;
  const detail::HtpShape shape{detail::shape_pieces(plan.width).htp,
                               blocks::full_terms_piece(plan.width), in, out, derivatives};
  const blocks::RangeTask range = [](const void* context, std::int64_t begin, std::int64_t end) {
    for (std::int64_t k = begin; k < end; k += detail::kHtpChunk) {
      static_cast<const detail::HtpShape*>(context)->chunk(
          k, static_cast<int>(end - k < detail::kHtpChunk ? end - k : detail::kHtpChunk));
    }
  };
  blocks::run_ranges(range, &shape,
                     blocks::threads_for_block(n, detail::kHtpPerThread, plan.threads), n);
}

void HTP_BLOCK(const HtpInputs& in, const HtpOutputs& out, std::int64_t n) {
  HTP_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, in, out, n);
}

}  // namespace vorlan
