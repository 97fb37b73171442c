// The special values the kernels' steps return.  Internal linkage: see
// w_regions_steps.hpp.
#ifndef VORLAN_SPECIAL_VALUES_HPP
#define VORLAN_SPECIAL_VALUES_HPP

#include <limits>

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces)

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace
}  // namespace vorlan::detail

#endif
