// The one NaN that the element routines and the block evaluators return.
//
// A NaN made by arithmetic (inf - inf, 0 * inf, inf / inf) carries the
// processor's default sign, negative on x86 and positive on ARM, and a NaN
// input passes its own through, its sign flipped by every negation on the
// way.  The sign of a NaN means nothing, but hosts print it (`NaN - NaNi`), so
// every NaN part of a result is made the positive quiet NaN.
//
// Internal linkage on purpose, as in w_regions_steps.hpp: the lane code is
// compiled once per vector unit.
#ifndef VORLAN_UNIFORM_NAN_HPP
#define VORLAN_UNIFORM_NAN_HPP

#include <cmath>
#include <limits>

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see above

constexpr double kPositiveNaN = std::numeric_limits<double>::quiet_NaN();

inline void make_nan_positive(double& u, double& v) {
  if (std::isnan(u)) u = kPositiveNaN;
  if (std::isnan(v)) v = kPositiveNaN;
}

}  // namespace
}  // namespace vorlan::detail

#endif
