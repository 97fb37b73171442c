// The Voigt profile's values at one point, or with V a vector of doubles at
// one point per lane: shared by the steps, the block routine and the lane code.
#ifndef VORLAN_LINE_SHAPE_VALUES_HPP
#define VORLAN_LINE_SHAPE_VALUES_HPP

namespace vorlan::detail {

template <class V>
struct VoigtValuesOf {
  V value, d_x, d_sigma, d_gamma;
};
using VoigtValues = VoigtValuesOf<double>;

}  // namespace vorlan::detail

#endif
