// Written by scripts/generate_half_pi_parts.py (mpmath, 400 bits); do not edit.
#ifndef VORLAN_HALF_PI_PARTS_HPP
#define VORLAN_HALF_PI_PARTS_HPP

namespace vorlan::detail {

// pi/2 = sum of the parts to 3.54e-50 relative.
constexpr double kHalfPiParts[3] = {
    1.5707963267948966,
    6.123233995736766e-17,
    -1.4973849048591698e-33,
};

// exp(a) rounds to zero below -1075 ln 2 (here to the nearest double).
constexpr double kExpUnderflowExponent = -745.1332191019412;

}  // namespace vorlan::detail

#endif
