// The NaNs the element routines and block evaluators return.  A NaN made by
// arithmetic carries the processor's default sign (negative on x86, positive
// on ARM), and an input NaN flips with every negation on the way; hosts print
// the sign (`NaN - NaNi`), so every NaN part becomes a positive quiet NaN: the
// input's NaN part (x before y) with its sign cleared, so that a payload such
// as Octave's NA passes through, else the plain one.  Internal linkage: see
// w_regions_steps.hpp.
#ifndef VORLAN_UNIFORM_NAN_HPP
#define VORLAN_UNIFORM_NAN_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces)

constexpr double kPositiveNaN = std::numeric_limits<double>::quiet_NaN();

// The NaN parts of the result (u, v) at x + iy made the uniform ones.
inline void uniform_nan_parts(double x, double y, double& u, double& v) {
  if (!std::isnan(u) && !std::isnan(v)) return;
  double nan = kPositiveNaN;
  if (std::isnan(x) || std::isnan(y)) {
    std::uint64_t bits;
    std::memcpy(&bits, std::isnan(x) ? &x : &y, sizeof bits);
    bits = (bits & 0x7fffffffffffffffULL) | 0x0008000000000000ULL;  // positive, quiet
    std::memcpy(&nan, &bits, sizeof nan);
  }
  if (std::isnan(u)) u = nan;
  if (std::isnan(v)) v = nan;
}

}  // namespace
}  // namespace vorlan::detail

#endif
