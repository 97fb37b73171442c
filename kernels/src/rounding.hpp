// Conversions of a double to a signed 32-bit count.  Converting a NaN or an
// out-of-range value to an integer is undefined behaviour in C++, so those
// give INT32_MIN explicitly; every loop bounded by such a count is then skipped.
#ifndef VORLAN_ROUNDING_HPP
#define VORLAN_ROUNDING_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vorlan::detail {

inline constexpr std::int32_t kNoCount = std::numeric_limits<std::int32_t>::min();

inline bool fits_int32(double t) { return t > -2147483649.0 && t < 2147483648.0; }

// Nearest integer, halfway cases away from zero.
inline std::int32_t round_to_int32(double t) {
  const double r = std::round(t);
  return fits_int32(r) ? static_cast<std::int32_t>(r) : kNoCount;
}

// Rounded toward zero.
inline std::int32_t trunc_to_int32(double t) {
  const double r = std::trunc(t);
  return fits_int32(r) ? static_cast<std::int32_t>(r) : kNoCount;
}

// |t| by clearing the sign bit.  Unlike std::fabs, compilers do not move this
// sign removal past a rounding operation (GCC turns (|x| / c)^2 into (x / c)^2,
// which differs under directed rounding), so |x| enters the kernel's
// arithmetic as written, in every rounding mode.
inline double clear_sign(double t) {
  std::uint64_t bits;
  std::memcpy(&bits, &t, sizeof bits);
  bits &= 0x7fffffffffffffffULL;
  std::memcpy(&t, &bits, sizeof t);
  return t;
}

// Single-precision reciprocal of an odd count, widened to double.
inline double single_reciprocal(std::int32_t j) {
  return static_cast<double>(1.0F / static_cast<float>(j));
}

}  // namespace vorlan::detail

#endif
