// The rational approximation's polynomials and plain quotient (the method is
// in w_rational.cpp), written once for a double and for the lane code's
// vector of doubles, kGroups values side by side, so that the one-point
// kernel and its lanes run the same statements.
//
// Internal linkage, as in w_regions_steps.hpp.
#ifndef VORLAN_W_RATIONAL_STEPS_HPP
#define VORLAN_W_RATIONAL_STEPS_HPP

#include "lane_elementary.hpp"
#include "w_constants.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

// One Horner step: p = p * Z + c, with c added to the real part and +0 to the
// imaginary part.
template <class V>
inline void horner_step(V& pr, V& pi, const V& zr, const V& zi, double c) {
  const V re = pr * zr - pi * zi;
  const V im = pi * zr + pr * zi;
  pr = re + c;
  pi = im + 0.0;
}

// P(Z) and Q(Z) at Z = zr + i zi.
template <class V, int kGroups>
struct RationalPolynomials {
  V zr[kGroups], zi[kGroups], pr[kGroups], pi[kGroups], qr[kGroups], qi[kGroups];
};

template <class V, int kGroups>
inline void evaluate_polynomials(RationalPolynomials<V, kGroups>& r) {
  for (int g = 0; g < kGroups; ++g) {
    r.pr[g] = kRationalNumerator[0] * r.zr[g] + kRationalNumerator[1];
    r.pi[g] = kRationalNumerator[0] * r.zi[g] + 0.0;
    r.qr[g] = r.zr[g] + kRationalDenominator[0];
    r.qi[g] = r.zi[g] + 0.0;
  }
  // P's steps interleaved with Q's: independent, they hide each other's latency.
  for (int k = 1; k < 7; ++k) {
    for (int g = 0; g < kGroups; ++g) {
      if (k >= 2) horner_step(r.pr[g], r.pi[g], r.zr[g], r.zi[g], kRationalNumerator[k]);
      horner_step(r.qr[g], r.qi[g], r.zr[g], r.zi[g], kRationalDenominator[k]);
    }
  }
}

// Whether a part is zero or within 2^-200..2^200 in magnitude: with all four
// so, each product, sum and quotient of the plain quotient is zero or normal
// in double, which then rounds exactly as the wide format does.
template <class V>
inline typename LaneOps<V>::Cond moderate(const V& p) {
  const V a = LaneOps<V>::magnitude(p);
  return (a == 0.0) | ((a >= 0x1p-200) & (a <= 0x1p200));
}

// (P conj Q) / |Q|^2 in plain double arithmetic.
template <class V>
inline void plain_quotient(const V& pr, const V& pi, const V& qr, const V& qi, V& u, V& v) {
  const V d = qr * qr + qi * qi;
  u = (pr * qr + pi * qi) / d;
  v = (pi * qr - pr * qi) / d;
}

}  // namespace
}  // namespace vorlan::detail

#endif
