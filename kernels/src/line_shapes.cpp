// The Voigt profile and the plasma dispersion function from the full-precision
// w(z) (w_full.cpp).
//
// Voigt: V = Re w(z) / (sigma sqrt(2 pi)), z = (|x| + i gamma) / (sigma sqrt 2),
//   dV/dx     = Re w'(z) / (2 sqrt(pi) sigma^2)   (odd in x),
//   dV/dgamma = -Im w'(z) / (2 sqrt(pi) sigma^2),
//   dV/dsigma = -Re (z w)'(z) / (sqrt(2 pi) sigma^2),
// with w' and (z w)' taken from the kernel's own terms, never as differences.
// z is formed to twice the precision and its low parts applied to first order
// (w'' = -2 (z w)'), so that neither the Gaussian factor exp(-Re z^2), whose
// relative condition is 2 (Re z)^2, nor the derivatives near their sign
// changes see the rounding of x / (sigma sqrt 2).  sigma = 0 is the
// Lorentzian g / (pi (x^2 + g^2)), whose sigma-derivative vanishes there,
// and so is V to double precision wherever |z| > 1e8 (then dV/dsigma =
// sigma L''(x)); gamma = 0 is the Gaussian, which the kernel gives on the
// real axis.
// Measured against 40-digit values over sigma and gamma/sigma from 1e-6 to
// 1e6 and |x| to 1e6 max(sigma, gamma): V within 7.8e-16 relative; each
// derivative within 7.8e-14 relative where it is at least 1e-3 of its peak
// over x (2.2e-15 for the Gaussian and Lorentzian), and within 3.9e-15 of
// the peak everywhere.
//
// Plasma dispersion: Z = i sqrt(pi) w(zeta), Z' = i sqrt(pi) w'(zeta), the
// latter equal to -2 (1 + zeta Z) without forming that difference.
#include "vorlan/line_shapes.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

#include "blocks/block_pieces.hpp"
#include "line_shape_steps.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full.hpp"

namespace vorlan {
namespace {

constexpr double kSqrtPi = 1.772453850905516;

using detail::VoigtValues;

// With `derivatives` false only r.value is set; it has the same bits either way.
void voigt_point(double x, double sigma, double gamma, bool derivatives, VoigtValues& r) {
  detail::VoigtArgument z{};
  if (!detail::voigt_prepare(x, sigma, gamma, r, z)) {
    return;
  }
  detail::FullTerms t{};
  detail::w_full_quadrant(z.zr, z.zi, derivatives, t);
  detail::voigt_complete(x, sigma, derivatives, z, t, r);
}

void plasma_point(double zr, double zi, double& re, double& im, double& d_re, double& d_im) {
  double u;
  double v;
  double du;
  double dv;
  W_FULL_ELEMENT(zr, zi, u, v, du, dv);
  re = -kSqrtPi * v;
  im = kSqrtPi * u;
  d_re = -kSqrtPi * dv;
  d_im = kSqrtPi * du;
}

}  // namespace

void VOIGT_ELEMENT(double x, double sigma, double gamma, double& value, double& d_x,
                   double& d_sigma, double& d_gamma) {
  VoigtValues r{};
  voigt_point(x, sigma, gamma, true, r);
  value = r.value;
  d_x = r.d_x;
  d_sigma = r.d_sigma;
  d_gamma = r.d_gamma;
}

void PLASMA_Z_ELEMENT(double zr, double zi, double& re, double& im, double& d_re, double& d_im) {
  plasma_point(zr, zi, re, im, d_re, d_im);
}

namespace {

// A line-shape element takes some hundred nanoseconds.
constexpr std::int64_t kLineShapesPerThread = 4096;

struct VoigtTask {
  const double* x;
  const double* sigma;
  const double* gamma;
  VoigtOutputs out;
};

void voigt_range(const void* context, std::int64_t begin, std::int64_t end) {
  const auto& task = *static_cast<const VoigtTask*>(context);
  const VoigtOutputs& out = task.out;
  const bool derivatives = out.d_x != nullptr || out.d_sigma != nullptr || out.d_gamma != nullptr;
  for (std::int64_t k = begin; k < end; ++k) {
    VoigtValues r{};
    voigt_point(task.x[k], task.sigma[k], task.gamma[k], derivatives, r);
    if (out.value != nullptr) out.value[k] = r.value;
    if (out.d_x != nullptr) out.d_x[k] = r.d_x;
    if (out.d_sigma != nullptr) out.d_sigma[k] = r.d_sigma;
    if (out.d_gamma != nullptr) out.d_gamma[k] = r.d_gamma;
  }
}

struct PlasmaTask {
  const double* zr;
  const double* zi;
  PlasmaZOutputs out;
};

void plasma_range(const void* context, std::int64_t begin, std::int64_t end) {
  const auto& task = *static_cast<const PlasmaTask*>(context);
  const PlasmaZOutputs& out = task.out;
  for (std::int64_t k = begin; k < end; ++k) {
    double re;
    double im;
    double d_re;
    double d_im;
    plasma_point(task.zr[k], task.zi[k], re, im, d_re, d_im);
    if (out.re != nullptr) out.re[k] = re;
    if (out.im != nullptr) out.im[k] = im;
    if (out.d_re != nullptr) out.d_re[k] = d_re;
    if (out.d_im != nullptr) out.d_im[k] = d_im;
  }
}

}  // namespace

void VOIGT_BLOCK_PLANNED(const BlockPlan& plan, const double* x, const double* sigma,
                         const double* gamma, const VoigtOutputs& out, std::int64_t n) {
  if (n <= 0) return;
  const VoigtTask task{x, sigma, gamma, out};
  blocks::run_ranges(voigt_range, &task,
                     blocks::threads_for_block(n, kLineShapesPerThread, plan.threads), n);
}

void PLASMA_Z_BLOCK_PLANNED(const BlockPlan& plan, const double* zr, const double* zi,
                            const PlasmaZOutputs& out, std::int64_t n) {
  if (n <= 0) return;
  const PlasmaTask task{zr, zi, out};
  blocks::run_ranges(plasma_range, &task,
                     blocks::threads_for_block(n, kLineShapesPerThread, plan.threads), n);
}

void VOIGT_BLOCK(const double* x, const double* sigma, const double* gamma, const VoigtOutputs& out,
                 std::int64_t n) {
  VOIGT_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, x, sigma, gamma, out, n);
}

void PLASMA_Z_BLOCK(const double* zr, const double* zi, const PlasmaZOutputs& out, std::int64_t n) {
  PLASMA_Z_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, zr, zi, out, n);
}

}  // namespace vorlan
