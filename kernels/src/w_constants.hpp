// The kernels' constants, shared by the one-point kernels and their
// vector-lane versions.  The single-precision values are given at their exact
// double values; they are used as they stand, not as the shorter decimals.
// Namespace-scope constexpr: internal linkage, one copy per translation unit.
#ifndef VORLAN_W_CONSTANTS_HPP
#define VORLAN_W_CONSTANTS_HPP

namespace vorlan::detail {

// Region kernel.
constexpr double kScaleX = 6.300000190734863;            // 6.3f: X = |x| / 6.3f
constexpr double kScaleY = 4.400000095367432;            // 4.4f: Y = |y| / 4.4f
constexpr double kSeriesTermSlope = 0.8500000238418579;  // 0.85f: series term count
constexpr double kTaylorStep = 1.8799999952316284;       // 1.88f: Taylor step length
constexpr double kSeriesBound = 0.085264;                // q below it: power series

// Rational approximation P(Z) / Q(Z), coefficients of Z^6 down to Z^0; Q is
// monic (its Z^7 coefficient is 1).  The constant terms of P and Q agree.
constexpr double kRationalNumerator[7] = {
    0.564189612865448,   // Z^6
    5.912626266479492,   // Z^5
    30.18014144897461,   // Z^4
    93.15557861328125,   // Z^3
    181.92852783203125,  // Z^2
    214.38238525390625,  // Z^1
    122.6079330444336,   // Z^0
};
constexpr double kRationalDenominator[7] = {
    10.479857444763184,  // Z^6
    53.9929084777832,    // Z^5
    170.35400390625,     // Z^4
    348.70391845703125,  // Z^3
    457.33447265625,     // Z^2
    352.7306213378906,   // Z^1
    122.6079330444336,   // Z^0
};

}  // namespace vorlan::detail

#endif
