// Region-based evaluation of the Faddeeva function w(z) = exp(-z^2) erfc(-iz):
// power series, Taylor ring or continued fraction by the point's distance
// (method in w_regions.cpp).  Pure: no state, no allocation.
#ifndef VORLAN_W_REGIONS_HPP
#define VORLAN_W_REGIONS_HPP

#include <cstdint>

namespace vorlan {

// Largest |x| and |y| the kernel accepts.
inline constexpr double ARG_LIMIT = 5e153;
// Largest exponent and trigonometric argument of the lower half-plane step.
inline constexpr double EXP_LIMIT = 708.503061461606;
inline constexpr double TRIG_LIMIT = 3537118876014220.0;  // pi * 2^50
inline constexpr double TWO_OVER_SQRT_PI = 1.1283791670955126;

// Computes w(x + iy).  On return flag is 0 and u, v hold the value, or flag is
// -1 because a range check stopped the computation:
//  - |x| or |y| above ARG_LIMIT (or infinite): u and v are not written;
//  - y < 0 outside the power-series region with y^2 - x^2 above EXP_LIMIT or
//    2|x||y| above TRIG_LIMIT: u and v hold w(|x| + i|y|), unmapped.
void W_REGIONS(const double& x, const double& y, double& u, double& v, std::int32_t& flag);

}  // namespace vorlan

#endif
