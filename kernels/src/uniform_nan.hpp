// The NaNs that the element routines and the block evaluators return.
//
// A NaN made by arithmetic (inf - inf, 0 * inf, inf / inf) carries the
// processor's default sign, negative on x86 and positive on ARM, and a NaN
// input passes through with its sign flipped by every negation on the way.
// The sign of a NaN means nothing, but hosts print it (`NaN - NaNi`), so
// every NaN part of a result is made a positive quiet NaN: the input's NaN
// part with its sign cleared where there is one (x before y), so that a
// payload the host gives a meaning, such as Octave's NA, passes through;
// the plain positive quiet NaN otherwise.
//
// Internal linkage on purpose, as in w_regions_steps.hpp: the lane code is
// compiled once per vector unit.
#ifndef VORLAN_UNIFORM_NAN_HPP
#define VORLAN_UNIFORM_NAN_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

constexpr double kPositiveNaN = std::numeric_limits<double>::quiet_NaN();

// The NaN that stands for the NaN parts of w at x + iy.
inline double result_nan(double x, double y) {
  if (!std::isnan(x) && !std::isnan(y)) return kPositiveNaN;
  std::uint64_t bits;
  std::memcpy(&bits, std::isnan(x) ? &x : &y, sizeof bits);
  bits = (bits & 0x7fffffffffffffffULL) | 0x0008000000000000ULL;  // positive, quiet
  double nan;
  std::memcpy(&nan, &bits, sizeof nan);
  return nan;
}

// Makes the NaN parts of the result (u, v) at x + iy the uniform ones.
inline void uniform_nan_parts(double x, double y, double& u, double& v) {
  if (!std::isnan(u) && !std::isnan(v)) return;
  const double nan = result_nan(x, y);
  if (std::isnan(u)) u = nan;
  if (std::isnan(v)) v = nan;
}

}  // namespace
}  // namespace vorlan::detail

#endif
