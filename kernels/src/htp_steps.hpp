// The Hartmann-Tran profile's steps around w (method in htp.cpp) for lines of
// two points, generic in the number type so that the lane code runs the same
// operations: the complex arithmetic, the placing of the points, the ratios
// from the points' terms and F with its derivatives from the ratios.  A
// branch is a select, both sides computed, so every lane takes its own.
#ifndef VORLAN_HTP_STEPS_HPP
#define VORLAN_HTP_STEPS_HPP

#include <cstdint>

#include "lane_elementary.hpp"
#include "line_shape_pieces.hpp"
#include "rounding.hpp"
#include "special_values.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_tables.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_regions_steps.hpp

constexpr double kSqrtPi = 1.772453850905516;
constexpr double kPi = 3.141592653589793;
// GammaD / (2 sqrt(ln 2)) = 1 / (2c)
constexpr double kHalfOverSqrtLn2 = 0.6005612043932249;

// The steps that the lane code calls from several places, inlined in each:
// outlined, every call would pass and return its vectors through memory.
#if defined(_MSC_VER)
#define VORLAN_STEP __forceinline
#else
#define VORLAN_STEP __attribute__((always_inline)) inline
#endif

// Complex arithmetic spelt out, so that every operation and its rounding is
// ours on every platform.
template <class V>
inline CxOf<V> operator+(const CxOf<V>& a, const CxOf<V>& b) {
  return {a.re + b.re, a.im + b.im};
}
template <class V>
inline CxOf<V> operator-(const CxOf<V>& a, const CxOf<V>& b) {
  return {a.re - b.re, a.im - b.im};
}
template <class V>
inline CxOf<V> operator-(const CxOf<V>& a) {
  return {-a.re, -a.im};
}
template <class V>
inline CxOf<V> operator*(const CxOf<V>& a, const CxOf<V>& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
template <class V>
inline CxOf<V> operator*(double k, const CxOf<V>& a) {
  return {k * a.re, k * a.im};
}
// k a for a real k of the number type (a line's constant in each lane).
template <class V>
inline CxOf<V> scaled(const V& k, const CxOf<V>& a) {
  return {k * a.re, k * a.im};
}
template <class V>
inline CxOf<V> operator/(const CxOf<V>& a, double k) {
  return {a.re / k, a.im / k};
}
template <class V>
inline CxOf<V> over(const CxOf<V>& a, const V& k) {
  return {a.re / k, a.im / k};
}
template <class V>
inline CxOf<V> times_i(const CxOf<V>& a) {
  return {-a.im, a.re};
}
template <class V>
inline CxOf<V> cx(double re, double im) {
  return {LaneOps<V>::splat(re), LaneOps<V>::splat(im)};
}
template <class V>
inline CxOf<V> choose(const typename LaneOps<V>::Cond& c, const CxOf<V>& a, const CxOf<V>& b) {
  return {LaneOps<V>::select(c, a.re, b.re), LaneOps<V>::select(c, a.im, b.im)};
}

// Smith's division: no square of either part is formed.
template <class V>
inline CxOf<V> operator/(const CxOf<V>& a, const CxOf<V>& b) {
  using Ops = LaneOps<V>;
  const typename Ops::Cond real_larger = Ops::magnitude(b.re) >= Ops::magnitude(b.im);
  const V larger = Ops::select(real_larger, b.re, b.im);
  const V smaller = Ops::select(real_larger, b.im, b.re);
  const V ratio = smaller / larger;
  const V inv = 1.0 / (larger + smaller * ratio);
  const V first = Ops::select(real_larger, a.re, a.im);
  const V second = Ops::select(real_larger, a.im, a.re);
  const V re = (first + second * ratio) * inv;
  const V im = Ops::select(real_larger, (a.im - a.re * ratio) * inv, (a.im * ratio - a.re) * inv);
  return {re, im};
}

// Where v is a NaN, and where not: the one value unequal to itself.
template <class V>
inline typename LaneOps<V>::Cond is_nan(const V& v) {
  return v != v;  // NOLINT(misc-redundant-expression)
}
template <class V>
inline typename LaneOps<V>::Cond is_number(const V& v) {
  return v == v;  // NOLINT(misc-redundant-expression)
}

// std::fmax and std::fmin: a NaN gives the other.
template <class V>
inline V larger_of(const V& a, const V& b) {
  using Ops = LaneOps<V>;
  return Ops::select(is_nan(b), a, Ops::select(a >= b, a, b));
}
template <class V>
inline V smaller_of(const V& a, const V& b) {
  using Ops = LaneOps<V>;
  return Ops::select(is_nan(b), a, Ops::select(a <= b, a, b));
}

// !(a < b), which NaN makes true.
template <class V>
inline typename LaneOps<V>::Cond not_below(const V& a, const V& b) {
  const typename LaneOps<V>::Cond a_nan = is_nan(a);
  const typename LaneOps<V>::Cond b_nan = is_nan(b);
  return (a >= b) | a_nan | b_nan;
}

template <class V>
inline V magnitude(const CxOf<V>& a) {
  using Ops = LaneOps<V>;
  const V squares = a.re * a.re + a.im * a.im;
  const typename Ops::Cond in_range = (squares > 1e-290) & (squares < 1e290);
  const V plain = Ops::sqrt(squares);
  if (Ops::all(in_range)) return plain;
  // scaled where the squares would leave the range
  const V ar = Ops::magnitude(a.re);
  const V ai = Ops::magnitude(a.im);
  const V big = larger_of(ar, ai);
  const V small = smaller_of(ar, ai) / big;
  const V scaled_root = big * Ops::sqrt(1.0 + small * small);
  const typename Ops::Cond extreme = (big == 0.0) | (big == kInf);
  return Ops::select(in_range, plain, Ops::select(extreme, big, scaled_root));
}

// The principal root (real part >= 0; on the negative real axis the sign of
// the imaginary zero decides).
template <class V>
inline CxOf<V> principal_sqrt(const CxOf<V>& a) {
  using Ops = LaneOps<V>;
  const V t = Ops::sqrt(0.5 * (magnitude(a) + Ops::magnitude(a.re)));
  const typename Ops::Cond right = a.re >= 0.0;
  // the other part: a.im / 2t, or |a.im| / 2t left of the imaginary axis
  const V other = Ops::select(right, a.im, Ops::magnitude(a.im)) / (2.0 * t);
  // t with a.im's sign
  const V signed_t = Ops::from_bits((Ops::bits(t) & INT64_MAX) | (Ops::bits(a.im) & INT64_MIN));
  CxOf<V> r{Ops::select(right, t, other), Ops::select(right, other, signed_t)};
  const typename Ops::Cond zero = (a.re == 0.0) & (a.im == 0.0);
  return {Ops::select(zero, Ops::splat(0.0), r.re), Ops::select(zero, a.im, r.im)};
}

// w, w' and (zeta w)' at one point of the plane.
template <class V>
struct WTermsOf {
  CxOf<V> w, dw, g;
};

// What the profile needs of w at the two points zeta1 = m - h, zeta2 = m + h:
// the values of w, w', (zeta w)', and the divided differences
// (f(zeta1) - f(zeta2)) / (zeta1 - zeta2) of the same three.
template <class V>
struct PairTermsOf {
  WTermsOf<V> one, two;
  WTermsOf<V> divided;
  // the continued fraction's r_1 at both points and D_1, r_0 ... r_3 at the
  // first point, and d beta / dzeta (h = 0 only; beta = -6 r_2 r_3), where it
  // gave them
  CxOf<V> r1_one, r1_two, d1;
  CxOf<V> r_one[4];
  CxOf<V> beta_slope;
  WTermsOf<V> at_mid{};  // the Taylor series' terms at m
};

// |zeta| from which the continued fraction's region holds the point.
constexpr double kFractionRadius = 8.5;
static_assert(kFractionRadius * kFractionRadius ==
                  kFractionX * kFractionX + kFractionY * kFractionY,
              "the disc that the fraction's region (x >= kFractionX or y >= kFractionY) holds");

// A line's numbers from its arguments a[k] (k as HtpArgument; nu unread),
// whether the arguments are valid (none NaN, the widths, nuVC and eta in their
// ranges), and whether the line is one of two points: valid, with a C2t of
// effect (above 1e-100 of the Doppler width: below, its effect is below
// rounding).
template <class V>
inline void line_numbers(const V* a, HtpLineOf<V>& l, typename LaneOps<V>::Cond& valid,
                         typename LaneOps<V>::Cond& two_points) {
  using Ops = LaneOps<V>;
  const V eta = a[kHtpEta];
  valid = (a[kHtpGammaD] >= 0.0) & (a[kHtpGamma0] >= 0.0) & (a[kHtpGamma2] >= 0.0) &
          (a[kHtpNuVC] >= 0.0) & (eta >= 0.0) & (eta <= 1.0);
  for (int j = kHtpNu0; j < kHtpArguments; ++j) valid = valid & is_number(a[j]);
  l.gamma_d = a[kHtpGammaD];
  l.eta = eta;
  l.half_width = a[kHtpGammaD] * kHalfOverSqrtLn2;
  l.c = 1.0 / (2.0 * l.half_width);
  l.c0 = {a[kHtpGamma0], a[kHtpDelta0]};
  l.c2 = {a[kHtpGamma2], a[kHtpDelta2]};
  l.c0s = l.c0 - 1.5 * l.c2;
  const V keep = 1.0 - eta;
  const CxOf<V> nu_vc{a[kHtpNuVC], Ops::splat(0.0)};
  l.c0t = scaled(keep, l.c0s) + nu_vc;
  l.c2t = scaled(keep, l.c2);
  l.s = CxOf<V>{l.half_width, Ops::splat(0.0)} / l.c2t;
  l.s_size = magnitude(l.s);
  l.half = times_i(l.s);
  l.b_c = scaled(l.c, l.c2t);
  const typename Ops::Cond has_c2t = (l.c2t.re != 0.0) | (l.c2t.im != 0.0);
  two_points = valid & has_c2t & ((l.s_size <= 1e100) | is_nan(l.s_size));
}

// Places the one point of a line of one point, mid = i c q, at nu0 - nu =
// detuning.
template <class V>
inline void place_one_point(const HtpLineOf<V>& line, const V& detuning, HtpPointOf<V>& l) {
  l.lorentz = {line.c0.re, detuning + line.c0.im};
  l.q = {line.c0t.re, detuning + line.c0t.im};
  l.mid = times_i(scaled(line.c, l.q));
}

// Places the two points of a line of two points at nu0 - nu = detuning, and
// says how their terms are to be taken: the fraction's recurrence, Taylor at
// the midpoint, or else apart.
template <class V>
inline void place_two_points(const HtpLineOf<V>& line, const V& detuning, HtpPointOf<V>& l,
                             typename LaneOps<V>::Cond& fraction,
                             typename LaneOps<V>::Cond& taylor) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  l.lorentz = {line.c0.re, detuning + line.c0.im};
  l.q = {line.c0t.re, detuning + line.c0t.im};
  const typename Ops::Cond wide = line.s_size >= 1.0;
  C z1_wide{};
  C z1_narrow{};
  if (Ops::any(wide)) {
    // R = +-s S, S = sqrt(1 + 4ab): Z1 = s (S - 1) = 2a / (1 + S) or -s (1 + S)
    const C a_c = scaled(line.c, l.q);
    const C root = principal_sqrt(cx<V>(1.0, 0.0) + 4.0 * (a_c * line.b_c));
    const C r = line.s * root;
    const typename Ops::Cond plus = (r.re > 0.0) | ((r.re == 0.0) & (r.im >= 0.0));
    z1_wide = choose<V>(plus, (2.0 * a_c) / (cx<V>(1.0, 0.0) + root),
                        -1.0 * (line.s * (cx<V>(1.0, 0.0) + root)));
  }
  if (!Ops::all(wide)) {
    const C x = l.q / line.c2t;
    const C r = principal_sqrt(x + line.s * line.s);
    const typename Ops::Cond like_signs = r.re * line.s.re + r.im * line.s.im >= 0.0;
    const typename Ops::Cond nonzero = (x.re != 0.0) | (x.im != 0.0);
    z1_narrow = choose<V>(like_signs & nonzero, x / (r + line.s), r - line.s);
  }
  l.z1 = choose<V>(wide, z1_wide, z1_narrow);
  l.zeta1 = times_i(l.z1);
  l.mid = l.zeta1 + line.half;
  l.zeta2 = times_i(l.z1 + 2.0 * line.s);
  // the choice on squared moduli: m = |mid|, h = |s|
  const V mm = l.mid.re * l.mid.re + l.mid.im * l.mid.im;
  const V h = line.s_size;
  const V reach = kFractionRadius + h;
  const typename Ops::Cond upper = (l.zeta1.im >= 0.0) & (l.zeta2.im >= 0.0);
  fraction = upper & (256.0 * (h * h) < mm) & (mm >= reach * reach);
  taylor = (h * h) * larger_of(Ops::splat(1.0), mm) <= 0.25;
}

// F = 1 / (pi P), P = Den / A = K + L0 + eta C2 B / A with K = 1 / A - q and
// L0 = i (nu0 - nu) + C0 - 3/2 C2; so P = Gamma0 + i (nu0 - nu + Delta0) +
// (K - 3/2 C2t) + eta C2 (B / A - 3/2).  K - 3/2 C2t and B / A - 3/2 are the
// Doppler and speed-dependence corrections (B / A is <s^2> = 3/2 and K is
// C2t <s^2> without them), small in the wings, where they are formed from the
// terms without the differences that would give them.  The partial
// derivatives are in q and C2t, and c times that in c.
template <class V>
struct RatiosOf {
  CxOf<V> k_excess, k_q, k_c2_excess, k_c;  // K - 3/2 C2t, dK/dq, dK/dC2t - 3/2, c dK/dc
  CxOf<V> ba_excess, ba_q, ba_c2, ba_c;     // B / A - 3/2 and its derivatives
};

// The ratios' derivatives from A and B's, given the ratios (F's own, the same
// whether derivatives are asked for or not).
template <class V>
inline RatiosOf<V> ratios_of(const CxOf<V>& a, const CxOf<V>& a_q, const CxOf<V>& b_q,
                             const CxOf<V>& a_c2, const CxOf<V>& b_c2, const CxOf<V>& a_c,
                             const CxOf<V>& b_c, const CxOf<V>& k_excess,
                             const CxOf<V>& ba_excess) {
  const CxOf<V> inv = cx<V>(1.0, 0.0) / a;
  const CxOf<V> inv2 = inv * inv;
  const CxOf<V> ba = cx<V>(1.5, 0.0) + ba_excess;
  RatiosOf<V> r{};
  r.k_excess = k_excess;
  r.k_q = -1.0 * (a_q * inv2) - cx<V>(1.0, 0.0);
  r.k_c2_excess = -1.0 * (a_c2 * inv2) - cx<V>(1.5, 0.0);
  r.k_c = -1.0 * (a_c * inv2);
  r.ba_excess = ba_excess;
  r.ba_q = (b_q - ba * a_q) * inv;
  r.ba_c2 = (b_c2 - ba * a_c2) * inv;
  r.ba_c = (b_c - ba * a_c) * inv;
  return r;
}

// The ratios of a line of two points from their terms: apart, the plain
// differences of the two points' terms; else the divided differences in p
// (and, in the fraction, its r_1 and D_1).
template <class V>
VORLAN_STEP RatiosOf<V> pair_ratios(const HtpLineOf<V>& line, const HtpPointOf<V>& l, HtpKind kind,
                                    const PairTermsOf<V>& p, bool derivatives) {
  using C = CxOf<V>;
  const C z1 = l.zeta1;
  const C z2 = l.zeta2;
  const WTermsOf<V>& one = p.one;
  const WTermsOf<V>& two = p.two;
  auto u_of = [](const WTermsOf<V>& t) { return kSqrtPi * (1.5 * t.w - 0.5 * t.g); };
  auto du_of = [](const C& zeta, const WTermsOf<V>& t) {
    return kSqrtPi * (0.5 * t.dw + zeta * t.g);
  };
  const V c = line.c;
  const C step = -2.0 * line.half;
  const bool apart = kind == HtpKind::kApart;
  // A and B; B / A - 3/2 = -(divided difference of (zeta w)') / (2 that of w)
  C a;
  C b;
  C ba_excess;
  if (apart) {
    a = scaled<V>(c * kSqrtPi, one.w - two.w);
    b = scaled(c, u_of(one) - u_of(two));
    ba_excess = -0.5 * ((one.g - two.g) / (one.w - two.w));
  } else {
    a = times_i(-kSqrtPi * p.divided.w) / line.c2t;
    b = times_i(-kSqrtPi * (1.5 * p.divided.w - 0.5 * p.divided.g)) / line.c2t;
    ba_excess = -0.5 * (p.divided.g / p.divided.w);
  }
  // K = C2t (B / A - 1) - (i sqrt(pi) / 2) (w'1 + w'2) / A, from 1 - qA - C2t B
  // = -(i sqrt(pi) / 2)(w'1 + w'2) - C2t A: terms of K's own size.  In the
  // fraction, 1 / A = (q + C2t (Z1 r_1(2) + Z2 r_1(1) + r_1(1) r_1(2))) / (1 + i D_1).
  C k_excess =
      line.c2t * (ba_excess - cx<V>(1.0, 0.0)) - times_i((0.5 * kSqrtPi) * ((one.dw + two.dw) / a));
  if (kind == HtpKind::kFraction) {
    const C z1_big{z1.im, -z1.re};  // Z = -i zeta
    const C z2_big{z2.im, -z2.re};
    const C pairs = z1_big * p.r1_two + z2_big * p.r1_one + p.r1_one * p.r1_two;
    k_excess = (line.c2t * pairs - times_i(l.q * p.d1)) / (cx<V>(1.0, 0.0) + times_i(p.d1)) -
               1.5 * line.c2t;
  }
  if (!derivatives) {
    RatiosOf<V> values{};
    values.k_excess = k_excess;
    values.ba_excess = ba_excess;
    return values;
  }
  const C du1 = du_of(z1, one);
  const C du2 = du_of(z2, two);
  // divided differences of w', u' and zeta^2 u' (dA/dC2t is dB/dq: both are
  // -<s^2 / D^2>)
  C dd_dw;
  C dd_du;
  C dd_zzdu;
  if (apart) {
    // (the derivatives' quotients by one number each, through its reciprocal)
    const C inv_step = cx<V>(1.0, 0.0) / step;
    dd_dw = (one.dw - two.dw) * inv_step;
    dd_du = (du1 - du2) * inv_step;
    dd_zzdu = ((z1 * z1) * du1 - (z2 * z2) * du2) * inv_step;
  } else {
    const WTermsOf<V>& dd = p.divided;
    dd_dw = dd.dw;
    dd_du = kSqrtPi * (0.5 * dd.dw + z1 * dd.g + two.g);
    // the small point's square on the divided difference, the sum on the
    // far point's value: no term grows with the separation
    dd_zzdu = (z1 * z1) * dd_du + (z1 + z2) * du2;
  }
  const C twice_r_c2t = 2.0 * (line.c2t * l.z1) + C{2.0 * line.half_width, LaneOps<V>::splat(0.0)};
  const C inv_twice_r_c2t = cx<V>(1.0, 0.0) / twice_r_c2t;
  const C inv_t = cx<V>(1.0, 0.0) / (line.c2t * twice_r_c2t);
  const C a_c = a + (kSqrtPi * (z1 * one.dw + z2 * two.dw)) * inv_twice_r_c2t;
  const C b_c = b + (z1 * du1 + z2 * du2) * inv_twice_r_c2t;
  const C b_q = dd_du * inv_t;
  const C a_q = (kSqrtPi * dd_dw) * inv_t;
  RatiosOf<V> r = ratios_of(a, a_q, b_q, b_q, dd_zzdu * inv_t, a_c, b_c, k_excess, ba_excess);
  // dK/dq from K's own form, both points moving by dzeta/dq = i / (2 C2t R):
  // -A_q / A^2 - 1 is a difference of nearly equal terms where |Z| is large
  const C zeta_q = times_i(inv_twice_r_c2t);
  const C inv = cx<V>(1.0, 0.0) / a;
  const C sum_dw = one.dw + two.dw;
  r.k_q = line.c2t * r.ba_q - times_i((0.5 * kSqrtPi) * ((-2.0 * zeta_q) * ((one.g + two.g) * inv) -
                                                         sum_dw * (a_q * (inv * inv))));
  // and dK/dC2t - 3/2 the same way, dzeta_j/dC2t = i zeta_j^2 / (2 C2t R)
  const C moved_g = (-2.0 * (one.g * (z1 * z1) + two.g * (z2 * z2))) * zeta_q;
  r.k_c2_excess = (ba_excess - cx<V>(1.0, 0.0)) + line.c2t * r.ba_c2 -
                  times_i((0.5 * kSqrtPi) * (moved_g * inv - sum_dw * (b_q * (inv * inv))));
  // and c dK/dc, c dzeta_j/dc = +-s zeta_j / R
  const C s_over_r = scaled<V>(2.0 * line.half_width, inv_twice_r_c2t);
  const C spread_g = (-2.0 * s_over_r) * (one.g * z1 - two.g * z2);
  r.k_c = line.c2t * r.ba_c -
          times_i((0.5 * kSqrtPi) * (spread_g * inv - sum_dw * (a_c * (inv * inv))));
  return r;
}

// F and, where asked for, its derivatives: re, im, d_re[k], d_im[k] of out,
// from the ratios of the line at point l (of kind `kind`).
template <class V, class Values>
VORLAN_STEP void htp_assemble(const HtpLineOf<V>& line, const HtpPointOf<V>& l, HtpKind kind,
                              const RatiosOf<V>& v, bool derivatives, Values& out) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const C eta_c2{line.eta * line.c2.re, line.eta * line.c2.im};
  const C p = l.lorentz + v.k_excess + eta_c2 * v.ba_excess;
  const typename Ops::Cond pole = (p.re == 0.0) & (p.im == 0.0);
  const C f = choose<V>(pole, cx<V>(kInf, 0.0), cx<V>(1.0, 0.0) / (kPi * p));
  out.re = f.re;
  out.im = f.im;
  if (!derivatives) return;
  const C minus_pi_ff = -kPi * (f * f);
  // the Doppler width's derivative, O(GammaD), is 0 without it, and below
  // points 1e-6 apart (relative) the plain difference would leave only noise
  // of O(1/GammaD); the fraction and the Taylor series form it without one
  const V spread = line.s_size * 1e6;
  typename Ops::Cond doppler = line.half_width != 0.0;
  if (kind == HtpKind::kLorentz) doppler = Ops::splat(0.0) != 0.0;
  if (kind == HtpKind::kApart) {
    doppler = doppler & not_below(spread * spread, l.mid.re * l.mid.re + l.mid.im * l.mid.im);
  }
  // where F^2 underflows (|F| below 1e-154, ranges away from the line) the
  // corrections' derivatives may overflow: the derivative is 0 there
  const typename Ops::Cond vanishes = (minus_pi_ff.re == 0.0) & (minus_pi_ff.im == 0.0);
  // P's rates: x in q (nuVC moves q alone), y in C2t (with the -3/2 C2t of P),
  // through which the line's parameters move it; C0 and C2 enter whole, so
  // that Delta0's and Delta2's are i times Gamma0's and Gamma2's
  const V keep = 1.0 - line.eta;
  const C x = v.k_q + eta_c2 * v.ba_q;
  const C y = v.k_c2_excess + eta_c2 * v.ba_c2;
  const C gamma2 = scaled(keep, y - 1.5 * x) + scaled(line.eta, v.ba_excess);
  const C doppler_rate =
      over(-1.0 * v.k_c, line.gamma_d) + eta_c2 * over(-1.0 * v.ba_c, line.gamma_d);
  C dp[kHtpDerivatives];
  dp[kHtpNu0 - 1] = times_i(cx<V>(1.0, 0.0) + x);
  dp[kHtpGammaD - 1] = choose<V>(doppler, doppler_rate, cx<V>(0.0, 0.0));
  dp[kHtpGamma0 - 1] = cx<V>(1.0, 0.0) + scaled(keep, x);
  dp[kHtpGamma2 - 1] = gamma2;
  dp[kHtpDelta0 - 1] = times_i(dp[kHtpGamma0 - 1]);
  dp[kHtpDelta2 - 1] = times_i(gamma2);
  dp[kHtpNuVC - 1] = x;
  dp[kHtpEta - 1] = line.c2 * v.ba_excess - (line.c0s * x + line.c2 * y);
  for (int k = 0; k < kHtpDerivatives; ++k) {
    const C df = choose<V>(pole, cx<V>(kNaN, kNaN),
                           choose<V>(vanishes, cx<V>(0.0, 0.0), minus_pi_ff * dp[k]));
    out.d_re[k] = df.re;
    out.d_im[k] = df.im;
  }
}

// The depth the fraction at two points is unwound from: what the nearer to
// 0 needs; and the deepest lane's, where the loop starts.
template <class V>
inline V pair_depth(const CxOf<V>& zeta1, const CxOf<V>& zeta2) {
  const V nearer = smaller_of(magnitude(zeta1), magnitude(zeta2));
  return kDepthBase + kDepthScale / nearer;
}
template <class V>
inline std::int32_t deepest_of(const V& depth) {
  using Ops = LaneOps<V>;
  std::int32_t deepest = 0;
  for (int i = 0; i < Ops::kWidth; ++i) {
    const std::int32_t d = trunc_to_int32(Ops::lane(depth, i));
    deepest = d > deepest ? d : deepest;
  }
  return deepest;
}

// The r_n of both points from the fraction's pair recurrence, kept for its
// rates' second pass (fraction_rates), which then forms no quotient of its
// own; deepest < 0: not kept (deeper than the room for them).
constexpr int kKeptDepths = 32;
template <class V>
struct PairUnwindingOf {
  int deepest = -1;
  CxOf<V> r1[kKeptDepths], r2[kKeptDepths];
};

// The continued fraction at both points with its divided-difference
// recurrence, from the depth the nearer point to 0 needs (each lane from its
// own, r and D staying 0 above it, as the one-point loop starts); its r_n
// kept in `kept` where given.
template <class V>
inline PairTermsOf<V> fraction_pair(const CxOf<V>& zeta1, const CxOf<V>& zeta2,
                                    PairUnwindingOf<V>* kept = nullptr) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const V depth = pair_depth(zeta1, zeta2);
  const std::int32_t deepest = deepest_of(depth);
  const C minus_i_zeta1{zeta1.im, -zeta1.re};
  const C minus_i_zeta2{zeta2.im, -zeta2.re};
  C r1 = cx<V>(0.0, 0.0);
  C r2 = r1;
  C dd = r1;
  C keep_r1[4];
  C keep_r2[4];
  C keep_dd[4];
  for (int n = deepest; n >= 0; --n) {
    const double next = n + 1.0;
    const typename Ops::Cond active = depth >= next - 1.0;
    r1 = choose<V>(active, cx<V>(0.5, 0) / (minus_i_zeta1 + next * r1), r1);
    r2 = choose<V>(active, cx<V>(0.5, 0) / (minus_i_zeta2 + next * r2), r2);
    dd = choose<V>(active, -2.0 * ((r1 * r2) * (cx<V>(0, -1) + next * dd)), dd);
    if (kept != nullptr && deepest < kKeptDepths) {
      kept->r1[n] = r1;
      kept->r2[n] = r2;
    }
    if (n <= 3) {
      keep_r1[n] = r1;
      keep_r2[n] = r2;
      keep_dd[n] = dd;
    }
  }
  if (kept != nullptr) kept->deepest = deepest < kKeptDepths ? deepest : -1;
  const double k = 2.0 / kSqrtPi;
  auto values = [k](const C* r) -> WTermsOf<V> {
    const C w = k * r[0];
    return {w, times_i(2.0 * (r[1] * w)), 4.0 * (r[1] * r[2]) * w};
  };
  const C* a = keep_r1;
  const C* b = keep_r2;
  const C* d = keep_dd;
  const C d01 = d[0] * a[1] + b[0] * d[1];
  const C d012 = d[0] * (a[1] * a[2]) + b[0] * (d[1] * a[2]) + (b[0] * b[1]) * d[2];
  return {values(a),
          values(b),
          {k * d[0], times_i((2.0 * k) * d01), (4.0 * k) * d012},
          a[1],
          b[1],
          d[1],
          {a[0], a[1], a[2], a[3]},
          -6.0 * (d[2] * a[3] + a[2] * d[3])};
}

// The ratios of a line of one point, mid, from its terms t.
template <class V>
inline RatiosOf<V> one_w_ratios(const HtpLineOf<V>& line, const HtpPointOf<V>& l,
                                const WTermsOf<V>& t, bool derivatives) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const V c = line.c;
  const C zeta = l.mid;
  const C ratio = t.dw / t.w;
  // 1 - qA = -(i sqrt(pi) / 2) w', so K = -i w' / (2c w); B / A - 3/2 =
  // -(zeta w)' / (2w)
  const C k = times_i(scaled<V>(-line.half_width, ratio));
  const C ba_excess = -0.5 * (t.g / t.w);
  if (!derivatives) {
    RatiosOf<V> values{};
    values.k_excess = k;
    values.ba_excess = ba_excess;
    return values;
  }
  const C u = kSqrtPi * (1.5 * t.w - 0.5 * t.g);
  const C du = kSqrtPi * (0.5 * t.dw + zeta * t.g);
  // dB/dC2t at C2t = 0 is c^2 V'(a), V(a) = <s^4 / (a + it)> over the Maxwell
  // speeds, a = -i zeta: V = 2 sqrt(pi) w - sqrt(pi) zeta w' - zeta u' / 2,
  // and dV/dzeta = -u'/2 + sqrt(pi) (w' + 2 zeta (zeta w)' + zeta^2 (zeta (zeta
  // w)' - w')), the last difference -6 w' r_2 r_3 in the continued fraction.
  const typename Ops::Cond fraction = (zeta.im >= 0.0) & (magnitude(zeta) >= kFractionRadius);
  C r[4] = {};
  if (Ops::any(fraction)) {
    // (the other lanes at a point of the fraction's region, unused)
    const C at = choose<V>(fraction, zeta, cx<V>(0.0, kFractionRadius));
    const PairTermsOf<V> f = fraction_pair(at, at);
    for (int n = 0; n < 4; ++n) r[n] = f.r_one[n];
  }
  const C zg_minus_dw = choose<V>(fraction, -6.0 * (t.dw * (r[2] * r[3])), zeta * t.g - t.dw);
  const C dv = -0.5 * du + kSqrtPi * (t.dw + 2.0 * (zeta * t.g) + (zeta * zeta) * zg_minus_dw);
  const V cc = c * c;
  RatiosOf<V> v =
      ratios_of(scaled(c, kSqrtPi * t.w), scaled(cc, times_i(kSqrtPi * t.dw)),
                scaled(cc, times_i(du)), scaled(cc, times_i(du)), scaled(cc, times_i(dv)),
                scaled<V>(c * kSqrtPi, t.g), scaled(c, u + zeta * du), k, ba_excess);
  // dK/dq = (w''/w - (w'/w)^2) / 2 = -(g/w + (w'/w)^2 / 2), and in the
  // fraction's terms dK/dC2t - 3/2 = -3 r_1 (2 r_2 - r_1) - 6 r_1 r_2 r_3 / r_0:
  // what -A_q / A^2 - 1 and -A_c2 / A^2 - 3/2 give only as differences of
  // nearly equal terms in the wings
  v.k_q = -1.0 * (t.g / t.w + 0.5 * (ratio * ratio));
  v.k_c2_excess =
      choose<V>(fraction, -3.0 * (r[1] * (2.0 * r[2] - r[1])) - 6.0 * ((r[1] * r[2]) * r[3] / r[0]),
                v.k_c2_excess);
  return v;
}

// The divided differences of w and (zeta w)' in the fraction's terms and
// their rates along two motions of the points: [0] the Doppler width's,
// c d/dc (mid -h^2 / mid, h^2 -2 h^2, zeta1 zeta2 fixed), and [1] the shift
// of both by 1 (h^2 fixed, zeta1 zeta2 2 mid).  Every motion of the points is
// a combination of these two, as 2 mid dmid = d(h^2) + d(zeta1 zeta2).
template <class V>
struct FractionRatesOf {
  CxOf<V> d0, e;  // D[r_0] and D[r_0 r_1 r_2]: D[w] = 2 D[r_0] / sqrt(pi)
  CxOf<V> d0_rate[2], e_rate[2];
};

// The fraction's recurrence on the pair's symmetric terms S_n = r_n(zeta1) +
// r_n(zeta2), P_n = r_n(zeta1) r_n(zeta2) and D_n (the divided difference),
// which depend on the points through mid, h^2 and zeta1 zeta2 only:
//   1 / (4 P_n) = -zeta1 zeta2 - i (n+1) (mid S_{n+1} - 2 h^2 D_{n+1}) + (n+1)^2 P_{n+1},
//   S_n = 2 P_n (-2i mid + (n+1) S_{n+1}),  D_n = -2 P_n (-i + (n+1) D_{n+1}),
// carried with their rates along both motions, each lane from its own depth
// (all 0 above it, as the one-point loop starts).  Under the Doppler width's
// motion zeta1 zeta2 stays put, so w's pole i / (sqrt(pi) zeta), whose
// divided difference is -i / (sqrt(pi) zeta1 zeta2), adds nothing to any
// rate: what remains is the Doppler effect itself, not a difference of terms
// far larger than it.
template <class V>
inline FractionRatesOf<V> fraction_rates(const CxOf<V>& zeta1, const CxOf<V>& zeta2,
                                         const CxOf<V>& mid, const CxOf<V>& h2,
                                         const PairUnwindingOf<V>& kept) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const V depth = pair_depth(zeta1, zeta2);
  const std::int32_t deepest = deepest_of(depth);
  const C minus_i_zeta1{zeta1.im, -zeta1.re};
  const C minus_i_zeta2{zeta2.im, -zeta2.re};
  const C minus_i = cx<V>(0.0, -1.0);
  const C minus_2i_mid = -2.0 * times_i(mid);
  const C mid_doppler = -1.0 * (h2 / mid);  // c dmid/dc
  const C minus_2i_mid_doppler = -2.0 * times_i(mid_doppler);
  const C minus_2i = cx<V>(0.0, -2.0);
  const C zero = cx<V>(0.0, 0.0);
  C r1 = zero, r2 = zero, dd = zero;
  // the rates of S_n, P_n and D_n along the Doppler motion and the shift
  C sum_d = zero, product_d = zero, dd_d = zero, sum_s = zero, product_s = zero, dd_s = zero;
  C keep_sum[3], keep_dd[3], keep_sum_rate[3][2], keep_dd_rate[3][2];
  for (int n = deepest; n >= 0; --n) {
    const double next = n + 1.0;
    const typename Ops::Cond active = depth >= next - 1.0;
    const C sum_next = r1 + r2;
    // (the same quotients as fraction_pair's, where it kept them)
    const bool from_pair = kept.deepest == deepest;
    const C r1_n = from_pair ? kept.r1[n] : cx<V>(0.5, 0) / (minus_i_zeta1 + next * r1);
    const C r2_n = from_pair ? kept.r2[n] : cx<V>(0.5, 0) / (minus_i_zeta2 + next * r2);
    const C product = r1_n * r2_n;
    const C minus_4pp = -4.0 * (product * product);
    // S_n / (2 P_n) and D_n / (-2 P_n), which both motions' rates share
    const C sum_factor = minus_2i_mid + next * sum_next;
    const C dd_factor = minus_i + next * dd;
    // Doppler: d(zeta1 zeta2) = 0, d(h^2) = -2 h^2
    const C inner_d = mid_doppler * sum_next + mid * sum_d + h2 * (4.0 * dd - 2.0 * dd_d);
    const C p_d = minus_4pp * ((next * next) * product_d - times_i(next * inner_d));
    const C sum_d_n = 2.0 * (p_d * sum_factor + product * (minus_2i_mid_doppler + next * sum_d));
    const C dd_d_n = -2.0 * (p_d * dd_factor + product * (next * dd_d));
    // shift: dmid = 1, d(h^2) = 0, d(zeta1 zeta2) = 2 mid
    const C inner_s = sum_next + mid * sum_s - 2.0 * (h2 * dd_s);
    const C p_s = minus_4pp * ((next * next) * product_s - times_i(next * inner_s) - 2.0 * mid);
    const C sum_s_n = 2.0 * (p_s * sum_factor + product * (minus_2i + next * sum_s));
    const C dd_s_n = -2.0 * (p_s * dd_factor + product * (next * dd_s));
    const C dd_n = -2.0 * (product * dd_factor);
    r1 = choose<V>(active, r1_n, r1);
    r2 = choose<V>(active, r2_n, r2);
    sum_d = choose<V>(active, sum_d_n, sum_d);
    dd_d = choose<V>(active, dd_d_n, dd_d);
    product_d = choose<V>(active, p_d, product_d);
    sum_s = choose<V>(active, sum_s_n, sum_s);
    dd_s = choose<V>(active, dd_s_n, dd_s);
    product_s = choose<V>(active, p_s, product_s);
    dd = choose<V>(active, dd_n, dd);
    if (n <= 2) {
      keep_sum[n] = r1 + r2;
      keep_dd[n] = dd;
      keep_sum_rate[n][0] = sum_d;
      keep_dd_rate[n][0] = dd_d;
      keep_sum_rate[n][1] = sum_s;
      keep_dd_rate[n][1] = dd_s;
    }
  }
  // D[f g] = (D_f S_g + S_f D_g) / 2 and S[f g] = (S_f S_g + 4 h^2 D_f D_g) / 2:
  // the product rules in the symmetric terms
  const C* s = keep_sum;
  const C* d = keep_dd;
  const C s01 = 0.5 * (s[0] * s[1] + 4.0 * (h2 * (d[0] * d[1])));
  const C d01 = 0.5 * (d[0] * s[1] + s[0] * d[1]);
  FractionRatesOf<V> out{};
  out.d0 = d[0];
  out.e = 0.5 * (d01 * s[2] + s01 * d[2]);
  const C h2_rate[2] = {-2.0 * h2, zero};
  for (int k = 0; k < 2; ++k) {
    C sr[3], dr[3];
    for (int n = 0; n < 3; ++n) {
      sr[n] = keep_sum_rate[n][k];
      dr[n] = keep_dd_rate[n][k];
    }
    const C s01_rate = 0.5 * (sr[0] * s[1] + s[0] * sr[1] + 4.0 * (h2_rate[k] * (d[0] * d[1])) +
                              4.0 * (h2 * (dr[0] * d[1] + d[0] * dr[1])));
    const C d01_rate = 0.5 * (dr[0] * s[1] + d[0] * sr[1] + sr[0] * d[1] + s[0] * dr[1]);
    out.d0_rate[k] = dr[0];
    out.e_rate[k] = 0.5 * (d01_rate * s[2] + d01 * sr[2] + s01_rate * d[2] + s01 * dr[2]);
  }
  return out;
}

// K's series in the far wing, from A = <1 / (q + C2t v^2 + i v_z / c)> over
// the Maxwell velocities (<v^2> = 3/2): with u = C2t / q and t = 1 / (c q),
// q A = sum_n a_n, a_n = (-1)^n sum_j C(n, 2j) <v^{2(n-2j)} v_z^{2j}> (-t^2)^j
// u^{n-2j}, and K = 1 / A - q = q sum_{n>=1} b_n with sum b_n = 1 / sum a_n.
// dK/dC2t = sum d b_n / du, each term at least linear in C2t: K's Doppler
// terms, which C2t does not move, add nothing, where the points' motion would
// split them into shares far larger than dK/dC2t - 3/2.  The series is
// asymptotic; where |mid|^2 >= 1024 (|u| <= 1/1020, and |t|^2 <= |u| / 64
// as 16 |h| < |mid|) its first 12 orders reach rounding, and fewer as |u|
// falls (measured against 50 digits, within 1e-17: 10 below 1/4080, 9 below
// 1e-4, 7 below 1e-6, 5 below 1e-8).
constexpr int kMomentOrders = 12;
struct MomentTable {
  // (-1)^n C(n, 2j) <v^{2k} v_z^{2j}>, k = n - 2j, where <v^{2p} v_z^{2j}> =
  // (2p + 1)!! / (2^p (2j + 1)), p = k + j
  double c[kMomentOrders + 1][kMomentOrders / 2 + 1];
};
constexpr MomentTable moment_table() {
  MomentTable t{};
  for (int n = 0; n <= kMomentOrders; ++n) {
    for (int j = 0; 2 * j <= n; ++j) {
      double binomial = 1.0;
      for (int i = 0; i < 2 * j; ++i) binomial = binomial * (n - i) / (i + 1);
      const int p = n - j;
      double moment = 1.0;
      for (int i = 1; i <= p; ++i) moment = moment * (2 * i + 1) / 2.0;
      t.c[n][j] = (n % 2 == 0 ? 1.0 : -1.0) * binomial * moment / (2 * j + 1);
    }
  }
  return t;
}
constexpr MomentTable kMoments = moment_table();
constexpr double kFarWingProduct = 1024.0;

// dK/dq and dK/dC2t - 3/2 from K's series: each b_n is of degree n in u and
// t (q^-n), so dK/dq = sum (1 - n) b_n; d b_1 / du = 3/2 exactly, left out.
// Each lane sums its own orders; `far` says which lanes are read.
template <class V>
struct FarWingRatesOf {
  CxOf<V> k_q, k_c2_excess;
};
template <class V>
inline FarWingRatesOf<V> far_wing_k_rates(const HtpLineOf<V>& line, const CxOf<V>& q,
                                          const typename LaneOps<V>::Cond& far) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const C u = line.c2t / q;
  const C t = C{2.0 * line.half_width, Ops::splat(0.0)} / q;
  const C minus_t2 = -1.0 * (t * t);
  const V u_size = magnitude(u);
  V lane_orders = Ops::splat(kMomentOrders);
  lane_orders = Ops::select(u_size <= 1.0 / 4080.0, Ops::splat(10.0), lane_orders);
  lane_orders = Ops::select(u_size <= 1e-4, Ops::splat(9.0), lane_orders);
  lane_orders = Ops::select(u_size <= 1e-6, Ops::splat(7.0), lane_orders);
  lane_orders = Ops::select(u_size <= 1e-8, Ops::splat(5.0), lane_orders);
  const V read_orders = Ops::select(far, lane_orders, Ops::splat(0.0));
  int orders = 0;
  for (int i = 0; i < Ops::kWidth; ++i) {
    const int o = static_cast<int>(Ops::lane(read_orders, i));
    orders = o > orders ? o : orders;
  }
  C u_pow[kMomentOrders + 1];
  C t_pow[kMomentOrders / 2 + 1];
  u_pow[0] = t_pow[0] = cx<V>(1.0, 0.0);
  C power = u_pow[0];  // (the powers carried in a variable, as in taylor_pair)
  for (int k = 1; k <= orders; ++k) u_pow[k] = power = power * u;
  power = t_pow[0];
  for (int j = 1; j <= orders / 2; ++j) t_pow[j] = power = power * minus_t2;
  C a[kMomentOrders + 1], a_u[kMomentOrders + 1], b[kMomentOrders + 1], b_u[kMomentOrders + 1];
  b[0] = cx<V>(1.0, 0.0);
  b_u[0] = cx<V>(0.0, 0.0);
  for (int n = 1; n <= orders; ++n) {
    a[n] = a_u[n] = cx<V>(0.0, 0.0);
    for (int j = 0; 2 * j <= n; ++j) {
      const int k = n - 2 * j;
      a[n] = a[n] + kMoments.c[n][j] * (t_pow[j] * u_pow[k]);
      if (k > 0) a_u[n] = a_u[n] + (kMoments.c[n][j] * k) * (t_pow[j] * u_pow[k - 1]);
    }
    b[n] = b_u[n] = cx<V>(0.0, 0.0);
    for (int k = 1; k <= n; ++k) {
      b[n] = b[n] - a[k] * b[n - k];
      b_u[n] = b_u[n] - (a_u[k] * b[n - k] + a[k] * b_u[n - k]);
    }
  }
  FarWingRatesOf<V> out{cx<V>(0.0, 0.0), cx<V>(0.0, 0.0)};
  for (int n = orders; n >= 2; --n) {
    const typename Ops::Cond summed = lane_orders >= static_cast<double>(n);
    out.k_q = choose<V>(summed, out.k_q + (1.0 - n) * b[n], out.k_q);
    out.k_c2_excess = choose<V>(summed, out.k_c2_excess + b_u[n], out.k_c2_excess);
  }
  return out;
}

// In the fraction's region, B / A's rates in c, q and C2t and c dK/dc from
// fraction_rates, replacing those from differences of far larger terms: the
// points move by c d/dc: mid -h^2 / mid, h^2 -2 h^2, zeta1 zeta2 not at all;
// d/dq: both -1 / (2 C2t mid); d/dC2t: zeta1 zeta2 -zeta1 zeta2 / C2t, h^2
// -2 h^2 / C2t.  With B / A - 3/2 = -2 D[r_0 r_1 r_2] / D[r_0] and A =
// -2i D[r_0] / C2t, c dK/dc = -c dA/dc / A^2 = -i C2t c dD[r_0]/dc / (2 D[r_0]^2);
// K's other rates take C2t times B / A's new ones, and far out K's series'.
template <class V>
inline void fraction_ratio_rates(const HtpLineOf<V>& line, const HtpPointOf<V>& l,
                                 const PairUnwindingOf<V>& kept, RatiosOf<V>& r) {
  using Ops = LaneOps<V>;
  using C = CxOf<V>;
  const C mid = l.mid;
  const C h2 = line.half * line.half;
  const C product = l.zeta1 * l.zeta2;
  const C inv_c2t = cx<V>(1.0, 0.0) / line.c2t;
  const C twice_mid = 2.0 * mid;
  // d/dq is the shift times -1 / (2 C2t mid), d/dC2t (c d/dc) / C2t plus the
  // shift times -zeta1 zeta2 / (2 C2t mid)
  const FractionRatesOf<V> f = fraction_rates(l.zeta1, l.zeta2, mid, h2, kept);
  const C inv_d0 = cx<V>(1.0, 0.0) / f.d0;
  const C inv_d0_squared = inv_d0 * inv_d0;
  C ba_rate[2];
  for (int k = 0; k < 2; ++k) {
    ba_rate[k] = -2.0 * ((f.e_rate[k] * f.d0 - f.e * f.d0_rate[k]) * inv_d0_squared);
  }
  const C shift_q = -1.0 * (inv_c2t / twice_mid);
  const C shift_c2 = -1.0 * ((product * inv_c2t) / twice_mid);
  const C ba_q = ba_rate[1] * shift_q;
  const C ba_c2 = ba_rate[0] * inv_c2t + ba_rate[1] * shift_c2;
  r.k_c = times_i((-0.5 * line.c2t) * (f.d0_rate[0] * inv_d0_squared));
  r.k_q = r.k_q + line.c2t * (ba_q - r.ba_q);
  r.k_c2_excess = r.k_c2_excess + line.c2t * (ba_c2 - r.ba_c2);
  r.ba_c = ba_rate[0];
  r.ba_q = ba_q;
  r.ba_c2 = ba_c2;
  const typename Ops::Cond far = mid.re * mid.re + mid.im * mid.im >= kFarWingProduct;
  if (Ops::any(far)) {
    const FarWingRatesOf<V> wing = far_wing_k_rates(line, l.q, far);
    r.k_q = choose<V>(far, wing.k_q, r.k_q);
    r.k_c2_excess = choose<V>(far, wing.k_c2_excess, r.k_c2_excess);
  }
}

// Taylor series at m, in powers of h: f(m +- h) = E +- h O and the divided
// difference O, for w, w' and (zeta w)', from p_k = w^(k)(m) / k!.  h = 0
// gives the values and derivatives at m.
constexpr int kTaylorTerms = 28;

template <class V>
inline PairTermsOf<V> taylor_pair(const CxOf<V>& m, const CxOf<V>& h, const WTermsOf<V>& at_m) {
  using C = CxOf<V>;
  C p[kTaylorTerms + 2];
  p[0] = at_m.w;
  p[1] = at_m.dw;
  p[2] = -at_m.g;  // w'' = -2 (zeta w)'
  // w^(k+1) = -2 zeta w^(k) - 2k w^(k-1), the last two carried in variables:
  // through the array, GCC 12 at -O3 vectorized the recurrence wrongly on the
  // portable lanes
  C before = p[1];
  C last = p[2];
  for (int k = 2; k <= kTaylorTerms; ++k) {
    const C next = (-2.0 * (m * last + before)) / (k + 1.0);
    p[k + 1] = next;
    before = last;
    last = next;
  }
  const C hh = h * h;
  const C zero = cx<V>(0.0, 0.0);
  C w_even = zero, w_odd = zero, dw_even = zero, dw_odd = zero, g_even = zero, g_odd = zero;
  for (int k = kTaylorTerms - 1; k >= 0; --k) {
    // the k-th coefficients of w, of w' = sum (k+1) p_{k+1} h^k and of
    // (zeta w)' = sum (k+1) (m p_{k+1} + p_k) h^k
    const C dw_k = (k + 1.0) * p[k + 1];
    const C g_k = k == 0 ? at_m.g : (k + 1.0) * (m * p[k + 1] + p[k]);
    if (k % 2 == 0) {
      w_even = w_even * hh + p[k];
      dw_even = dw_even * hh + dw_k;
      g_even = g_even * hh + g_k;
    } else {
      w_odd = w_odd * hh + p[k];
      dw_odd = dw_odd * hh + dw_k;
      g_odd = g_odd * hh + g_k;
    }
  }
  PairTermsOf<V> r{};
  // zeta1 = m - h, zeta2 = m + h
  r.one = {w_even - h * w_odd, dw_even - h * dw_odd, g_even - h * g_odd};
  r.two = {w_even + h * w_odd, dw_even + h * dw_odd, g_even + h * g_odd};
  r.divided = {w_odd, dw_odd, g_odd};
  r.at_mid = at_m;
  return r;
}

// 1 / k for the Taylor coefficients' recurrence
struct Reciprocals {
  double of[kTaylorTerms + 2];
};
constexpr Reciprocals reciprocals() {
  Reciprocals r{};
  for (int k = 1; k < kTaylorTerms + 2; ++k) r.of[k] = 1.0 / k;
  return r;
}
constexpr Reciprocals kReciprocals = reciprocals();

// In the Taylor series' region, c d/dc of the divided differences D[f] =
// sum_k f_{2k+1} h^{2k} (f_k: f's Taylor coefficients at m), the points moving
// by c dm/dc = -h^2 / m, c dh^2/dc = -2 h^2:
//   c dD[f]/dc = -sum_{j>=1} 2j h^{2j} (f_{2j} / m + f_{2j+1}),
// in which w's pole, i / (sqrt(pi) zeta), whose f_{2j} / m + f_{2j+1} is 0,
// leaves only rounding; then c dK/dc and c d(B / A)/dc as in the fraction.
template <class V>
inline void taylor_ratio_rates(const HtpLineOf<V>& line, const HtpPointOf<V>& l,
                               const PairTermsOf<V>& p, RatiosOf<V>& r) {
  using C = CxOf<V>;
  const C m = l.mid;
  const C h2 = line.half * line.half;
  const WTermsOf<V>& at_m = p.at_mid;
  C w_k[kTaylorTerms + 2];
  w_k[0] = at_m.w;
  w_k[1] = at_m.dw;
  w_k[2] = -at_m.g;
  // (reciprocals: these rates need not have taylor_pair's bits)
  C before = w_k[1];
  C last = w_k[2];
  for (int k = 2; k <= kTaylorTerms; ++k) {  // (as in taylor_pair)
    const C next = kReciprocals.of[k + 1] * (-2.0 * (m * last + before));
    w_k[k + 1] = next;
    before = last;
    last = next;
  }
  // (zeta w)' = sum_k (k+1) (m w_{k+1} + w_k) h^k
  auto g_k = [&](int k) { return (k + 1.0) * (m * w_k[k + 1] + w_k[k]); };
  const C inv_m = cx<V>(1.0, 0.0) / m;
  C w_rate = cx<V>(0.0, 0.0);
  C g_rate = w_rate;
  for (int j = kTaylorTerms / 2 - 1; j >= 1; --j) {
    const int even = 2 * j;
    w_rate = w_rate * h2 + (2.0 * j) * (w_k[even] * inv_m + w_k[even + 1]);
    g_rate = g_rate * h2 + (2.0 * j) * (g_k(even) * inv_m + g_k(even + 1));
  }
  w_rate = -1.0 * (w_rate * h2);
  g_rate = -1.0 * (g_rate * h2);
  const C dw = p.divided.w;
  const C dg = p.divided.g;
  const C inv_dw = cx<V>(1.0, 0.0) / dw;
  // A = -i sqrt(pi) D[w] / C2t, B / A - 3/2 = -D[(zeta w)'] / (2 D[w])
  r.k_c = times_i((-1.0 / kSqrtPi) * (line.c2t * (w_rate * (inv_dw * inv_dw))));
  r.ba_c = -0.5 * ((g_rate * dw - dg * w_rate) * (inv_dw * inv_dw));
}

// Whether the kernel's terms at zeta come from w_full_quadrant at |x| + i|y|.
template <class V>
inline typename LaneOps<V>::Cond in_kernel_range(const CxOf<V>& zeta) {
  using Ops = LaneOps<V>;
  return (Ops::magnitude(zeta.re) <= ARG_LIMIT) & (Ops::magnitude(zeta.im) <= ARG_LIMIT);
}

}  // namespace
}  // namespace vorlan::detail

#endif
