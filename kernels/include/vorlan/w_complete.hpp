// w(z) over the whole complex plane from the two kernels: where the region
// kernel raises its flag (beyond ARG_LIMIT, or where exp(-z^2) leaves its
// range below the real axis) and where the rational formula is not w (below
// the real axis), the value double precision determines; elsewhere the
// kernel's own bits.  Every NaN part of a result is a positive quiet NaN: the
// input's NaN part, sign cleared, where it has one (Octave's NA stays NA).
#ifndef VORLAN_W_COMPLETE_HPP
#define VORLAN_W_COMPLETE_HPP

#include <cstdint>

namespace vorlan {

// w(z) for |x| or |y| beyond ARG_LIMIT (or infinite), where w(z) = i/(sqrt(pi) z)
// to double precision: computed without overflow in the upper half-plane and
// where exp(-z^2) underflows to zero; infinite parts give 0.  On the imaginary
// axis below the real one (x = +0 or -0) w has overflowed: +Inf - 0i.  A NaN
// part, or another lower half-plane point whose exp(-z^2) does not vanish,
// gives NaN + NaN i.
void W_BEYOND_RANGE(double x, double y, double& u, double& v);

// w(z) for y < 0 by the reflection w(z) = 2 exp(-z^2) - w(-z), given the value
// (um, vm) of w(-z).  Parts that overflow come out as infinities of the true
// sign; a factor exp(-z^2) that underflows drops out; on the imaginary axis
// (x = +0 or -0) the imaginary part is -0, as the region kernel's own mapping
// gives it.  Where the phase 2|x||y| exceeds TRIG_LIMIT and the factor does
// not vanish, or w(-z) has a NaN part, the result is NaN + NaN i.
void W_REFLECT(double x, double y, double um, double vm, double& u, double& v);

// One element of w by the region-based method: the kernel's value wherever it
// completes, and the two routines above where it raises its flag.
void W_REGIONS_ELEMENT(double x, double y, double& u, double& v);

// One element of w by the rational approximation: the formula in the upper
// half-plane (y = -0 included), the reflection of the formula at -z below it.
// Beyond |z| ~ 1.09e44 the formula, and so the result, is NaN + NaN i.
void W_RATIONAL_ELEMENT(double x, double y, double& u, double& v);

// The element routines over n points, element k of each array for element k.
// Each result depends on its own element alone.
void W_REGIONS_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void W_RATIONAL_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);

}  // namespace vorlan

#endif
