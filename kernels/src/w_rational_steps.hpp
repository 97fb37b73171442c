// The rational approximation's polynomials and plain quotient (method in
// w_rational.cpp), for V = double and for the lanes' vectors, kGroups side by
// side.  Internal linkage: see w_regions_steps.hpp.
#ifndef VORLAN_W_RATIONAL_STEPS_HPP
#define VORLAN_W_RATIONAL_STEPS_HPP

#include "lane_elementary.hpp"
#include "w_constants.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces)

// p = p * Z + c, c added to the real part and +0 to the imaginary part.
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

// Whether every part is zero or within 2^-200..2^200 in magnitude: then each
// step of the plain quotient is zero or normal, rounded as the wide format.
template <class V>
inline typename LaneOps<V>::Cond plain_exact(const V& pr, const V& pi, const V& qr, const V& qi) {
  auto moderate = [](const V& p) -> typename LaneOps<V>::Cond {
    const V a = LaneOps<V>::magnitude(p);
    return (a == 0.0) | ((a >= 0x1p-200) & (a <= 0x1p200));
  };
  return moderate(pr) & moderate(pi) & moderate(qr) & moderate(qi);
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
