// The Taylor weight h2^kappa: a double raised to a small non-negative integer
// power, the same bits on every platform.
//
// Method: base = m * 2^e with m in [1, 2), exactly; m^k by binary
// square-and-multiply in double-double arithmetic (products split exactly by
// Veltkamp's method, so no fused multiply-add is needed), which keeps the
// relative error near 2^-100 before the single rounding of hi + lo; then the
// exact scaling by 2^(e*k).  The result is the correctly rounded power except
// within about 2^-100 of a halfway case, always within one unit in the last
// place; in the subnormal range the scaling rounds once more.  Only IEEE basic
// operations are used, so no platform library decides a bit.
//
// Internal linkage, as for the kernel's other shared steps: the lane code is
// compiled once per vector unit.
#ifndef VORLAN_INTEGER_POWER_HPP
#define VORLAN_INTEGER_POWER_HPP

#include <cstdint>
#include <cstring>

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.  Real is double, or
// the lane code's vector of doubles: the same statements serve both.
template <class Real>
struct DoubleDouble {
  Real hi;
  Real lo;
};

// 2^27 + 1: splits a double into two halves of 26 bits whose products are exact.
constexpr double kVeltkampSplitter = 134217729.0;

template <class Real>
inline void veltkamp_split(const Real& a, Real& high, Real& low) {
  const Real c = kVeltkampSplitter * a;
  high = c - (c - a);
  low = a - high;
}

// x * y in double-double; exact products of the leading parts, the cross
// terms of the trailing parts rounded once.
template <class Real>
inline DoubleDouble<Real> dd_multiply(const DoubleDouble<Real>& x, const DoubleDouble<Real>& y) {
  const Real p = x.hi * y.hi;
  Real xh;
  Real xl;
  Real yh;
  Real yl;
  veltkamp_split(x.hi, xh, xl);
  veltkamp_split(y.hi, yh, yl);
  Real e = ((xh * yh - p) + xh * yl + xl * yh) + xl * yl;  // x.hi * y.hi - p, exactly
  e = e + (x.hi * y.lo + x.lo * y.hi);
  const Real hi = p + e;
  return {hi, e - (hi - p)};
}

inline double bits_to_double(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// 2^n for -1022 <= n <= 1023, exactly.
inline double power_of_two(std::int32_t n) {
  return bits_to_double(static_cast<std::uint64_t>(n + 1023) << 52);
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
  std::uint64_t bits;
  std::memcpy(&bits, &base, sizeof bits);
  e = static_cast<std::int64_t>((bits >> 52) & 0x7ff);
  if (e == 0) {  // subnormal: normalise by 2^64 first, exactly
    const double normalised = base * 18446744073709551616.0;
    std::memcpy(&bits, &normalised, sizeof bits);
    e = static_cast<std::int64_t>((bits >> 52) & 0x7ff) - 64;
  }
  e -= 1023;
  m = bits_to_double((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
}

// base^exponent for finite base > 0 and 0 <= exponent <= 512, so that the
// significand's power stays below 2^512 and its splitting finite.
inline double integer_power(double base, std::int32_t exponent) {
  double m;
  std::int64_t e;
  split_significand(base, m, e);
  DoubleDouble<double> result{1.0, 0.0};
  DoubleDouble<double> square{m, 0.0};
  for (std::int32_t k = exponent; k > 0; k >>= 1) {
    if ((k & 1) != 0) result = dd_multiply(result, square);
    if (k > 1) square = dd_multiply(square, square);
  }
  return scale_by_power_of_two(result.hi + result.lo, e * exponent);
}

}  // namespace
}  // namespace vorlan::detail

#endif
