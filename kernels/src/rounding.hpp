// Conversions of a double to a signed 32-bit count.  Converting a NaN or an
// out-of-range value is undefined behaviour, so those give INT32_MIN, which
// skips every loop the count bounds.
#ifndef VORLAN_ROUNDING_HPP
#define VORLAN_ROUNDING_HPP

#include <cmath>
#include <cstdint>
#include <limits>

namespace vorlan::detail {

// An integral r as a count.
inline std::int32_t to_count(double r) {
  return r > -2147483649.0 && r < 2147483648.0 ? static_cast<std::int32_t>(r)
                                               : std::numeric_limits<std::int32_t>::min();
}

// Nearest integer, halfway cases away from zero.
inline std::int32_t round_to_int32(double t) { return to_count(std::round(t)); }

inline std::int32_t trunc_to_int32(double t) { return to_count(std::trunc(t)); }

// Single-precision reciprocal of an odd count, widened to double.
inline double single_reciprocal(std::int32_t j) {
  return static_cast<double>(1.0F / static_cast<float>(j));
}

}  // namespace vorlan::detail

#endif
