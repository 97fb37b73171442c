// The line shapes built on the full-precision w(z) of w_full.hpp: the Voigt
// profile with its three partial derivatives, and the plasma dispersion
// function Z(zeta) = i sqrt(pi) w(zeta) with Z'(zeta) = -2 (1 + zeta Z(zeta)).
//
// Each block routine evaluates n points with the same bits as its element
// routine at any vector width, size or thread count.  A null output pointer is
// neither computed nor written.
#ifndef VORLAN_LINE_SHAPES_HPP
#define VORLAN_LINE_SHAPES_HPP

#include <cstdint>

#include "vorlan/w_blocks.hpp"
#include "vorlan/w_full.hpp"

namespace vorlan {

// The Voigt profile V(x; sigma, gamma), unit area, sigma the Gaussian's
// standard deviation and gamma the Lorentzian's half width at half maximum,
// with dV/dx, dV/dsigma and dV/dgamma.
struct VoigtOutputs {
  double* value;
  double* d_x;
  double* d_sigma;
  double* d_gamma;
};
void VOIGT_ELEMENT(double x, double sigma, double gamma, double& value, double& d_x,
                   double& d_sigma, double& d_gamma);
void VOIGT_BLOCK(const double* x, const double* sigma, const double* gamma, const VoigtOutputs& out,
                 std::int64_t n);

// Z(zeta) and Z'(zeta), zeta = zr + i zi.  Element k of each output is at
// [k * step]: a step of 2 writes into interleaved complex arrays.
struct PlasmaZOutputs {
  double* re;
  double* im;
  double* d_re;
  double* d_im;
  std::int64_t step = 1;
};
void PLASMA_Z_ELEMENT(double zr, double zi, double& re, double& im, double& d_re, double& d_im);
void PLASMA_Z_BLOCK(const double* zr, const double* zi, const PlasmaZOutputs& out, std::int64_t n);
// The same with zeta_k = zr[k * in_step] + i zi[k * in_step] (an interleaved
// complex array: zi = zr + 1, in_step = 2); a null zi gives +0 imaginary parts.
void PLASMA_Z_BLOCK(const double* zr, const double* zi, std::int64_t in_step,
                    const PlasmaZOutputs& out, std::int64_t n);

// The block routines with the way of evaluating pinned (see w_blocks.hpp), for
// tests and benchmarks.
void VOIGT_BLOCK_PLANNED(const BlockPlan& plan, const double* x, const double* sigma,
                         const double* gamma, const VoigtOutputs& out, std::int64_t n);
void PLASMA_Z_BLOCK_PLANNED(const BlockPlan& plan, const double* zr, const double* zi,
                            const PlasmaZOutputs& out, std::int64_t n);
void PLASMA_Z_BLOCK_PLANNED(const BlockPlan& plan, const double* zr, const double* zi,
                            std::int64_t in_step, const PlasmaZOutputs& out, std::int64_t n);

}  // namespace vorlan

#endif
