// Error-free transformations: sums and products of doubles held exactly as an
// unevaluated sum of two, with IEEE basic operations alone (no fused
// multiply-add), so the same bits on every platform.  V is double or the lane
// code's vector.  Internal linkage: see w_regions_steps.hpp.
#ifndef VORLAN_EXACT_ARITHMETIC_HPP
#define VORLAN_EXACT_ARITHMETIC_HPP

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces)

// 2^27 + 1: splits a double into two halves of 26 bits whose products are exact.
constexpr double kSplitter = 134217729.0;

// a = high + low exactly (Veltkamp), for |a| below 1e295.
template <class V>
inline void split(const V& a, V& high, V& low) {
  const V c = kSplitter * a;
  high = c - (c - a);
  low = a - high;
}

// a * b = p + e exactly (Dekker); a and b below 1e295 in magnitude, the
// product not underflowing.
template <class V>
inline void two_product(const V& a, const V& b, V& p, V& e) {
  V a_hi, a_lo, b_hi, b_lo;
  split(a, a_hi, a_lo);
  split(b, b_hi, b_lo);
  p = a * b;
  e = ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo;
}

// a + b = s + e exactly (Knuth's two-sum).
template <class V>
inline void two_sum(const V& a, const V& b, V& s, V& e) {
  s = a + b;
  const V bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.
template <class V>
struct DoubleDouble {
  V hi, lo;
};

// x * y in double-double: the leading parts' product exact, the cross terms
// of the trailing parts rounded once.
template <class V>
inline DoubleDouble<V> dd_multiply(const DoubleDouble<V>& x, const DoubleDouble<V>& y) {
  V p, e;
  two_product(x.hi, y.hi, p, e);
  e = e + (x.hi * y.lo + x.lo * y.hi);
  const V hi = p + e;
  return {hi, e - (hi - p)};
}

}  // namespace
}  // namespace vorlan::detail

#endif
