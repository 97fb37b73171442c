// The Taylor weight h2^kappa: base^k for a small k >= 0, the same bits on
// every platform.  base = m * 2^e exactly, m in [1, 2); m^k by binary
// square-and-multiply in double-double (relative error near 2^-100) rounded
// once, then scaled exactly by 2^(e*k): correctly rounded except within about
// 2^-100 of a halfway case, always within one ulp; a subnormal result rounds
// once more.  IEEE basic operations only.  Internal linkage: see
// w_regions_steps.hpp.
#ifndef VORLAN_INTEGER_POWER_HPP
#define VORLAN_INTEGER_POWER_HPP

#include <cstdint>

#include "exact_arithmetic.hpp"
#include "lane_elementary.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces)

// 2^n for -1022 <= n <= 1023, exactly.
inline double power_of_two(std::int32_t n) {
  return LaneOps<double>::from_bits(static_cast<std::int64_t>(n + 1023) << 52);
}

// t * 2^n for t >= 0: exact while the result is normal.  A result below the
// normal range is rounded where a step first takes it there (the last step,
// or an earlier one when t is large), at most twice in all.
inline double scale_by_power_of_two(double t, std::int64_t n) {
  while (n > 1023) {
    t = t * power_of_two(1023);
    n -= 1023;
  }
  while (n < -1022) {
    t = t * power_of_two(-1022);
    n += 1022;
  }
  return t * power_of_two(static_cast<std::int32_t>(n));
}

// base = m * 2^e exactly, with m in [1, 2), for finite base > 0.
inline void split_significand(double base, double& m, std::int64_t& e) {
  std::int64_t bits = LaneOps<double>::bits(base);
  e = (bits >> 52) & 0x7ff;
  if (e == 0) {  // subnormal: normalise by 2^64 first, exactly
    bits = LaneOps<double>::bits(base * 18446744073709551616.0);
    e = ((bits >> 52) & 0x7ff) - 64;
  }
  e -= 1023;
  m = LaneOps<double>::from_bits((bits & 0x000fffffffffffffLL) | 0x3ff0000000000000LL);
}

// base^exponent lane by lane, for finite base > 0 and 0 <= exponent <= 512 (so
// that the significand's power stays below 2^512 and its splitting finite);
// 0 in lanes with a negative exponent.  The lanes share the squarings and
// each takes the products of its own exponent's bits.
template <class V>
inline V integer_powers(const V& base, const std::int32_t* exponent) {
  using Ops = LaneOps<V>;
  constexpr int kWidth = Ops::kWidth;
  V m = Ops::splat(1.0);
  std::int64_t e[kWidth];
  std::int32_t rest[kWidth];
  std::int32_t most = 0;
  for (int i = 0; i < kWidth; ++i) {
    e[i] = 0;
    rest[i] = exponent[i] > 0 ? exponent[i] : 0;
    if (rest[i] > 0) {
      double mi;
      split_significand(Ops::lane(base, i), mi, e[i]);
      Ops::set_lane(m, i, mi);
    }
    if (rest[i] > most) most = rest[i];
  }
  DoubleDouble<V> result{Ops::splat(1.0), Ops::splat(0.0)};
  DoubleDouble<V> square{m, Ops::splat(0.0)};
  for (std::int32_t k = most; k > 0; k >>= 1) {
    typename Ops::Bits odd;  // all ones where the exponent's current bit is set
    bool any_odd = false;
    for (int i = 0; i < kWidth; ++i) {
      Ops::set_lane(odd, i, -static_cast<std::int64_t>(rest[i] & 1));
      any_odd = any_odd || (rest[i] & 1) != 0;
      rest[i] >>= 1;
    }
    if (any_odd) {
      const DoubleDouble<V> product = dd_multiply(result, square);
      result.hi = Ops::select_bits(odd, product.hi, result.hi);
      result.lo = Ops::select_bits(odd, product.lo, result.lo);
    }
    if (k > 1) square = dd_multiply(square, square);
  }
  const V sum = result.hi + result.lo;
  V power = Ops::splat(0.0);
  for (int i = 0; i < kWidth; ++i) {
    if (exponent[i] >= 0) {
      Ops::set_lane(power, i, scale_by_power_of_two(Ops::lane(sum, i), e[i] * exponent[i]));
    }
  }
  return power;
}

inline double integer_power(double base, std::int32_t exponent) {
  return integer_powers(base, &exponent);
}

}  // namespace
}  // namespace vorlan::detail

#endif
