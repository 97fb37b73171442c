// The Voigt profile and the plasma dispersion function from the full-precision
// w(z) (w_full.cpp).
//
// Voigt: V = Re w(z) / (sigma sqrt(2 pi)), z = (|x| + i gamma) / (sigma sqrt 2),
//   dV/dx = Re w'(z) / (2 sqrt(pi) sigma^2)   (odd in x),
//   dV/dgamma = -Im w'(z) / (2 sqrt(pi) sigma^2),
//   dV/dsigma = -Re (z w)'(z) / (sqrt(2 pi) sigma^2),
// w' and (z w)' being the kernel's own terms, never differences.  z is formed
// to twice the precision, its low parts applied to first order (w'' = -2 (z w)'),
// so that neither the Gaussian factor (relative condition 2 (Re z)^2) nor the
// derivatives near their sign changes see the rounding of x / (sigma sqrt 2).
// sigma = 0, and |z| > 1e8, give the Lorentzian; gamma = 0 the Gaussian.
// Measured against 40-digit values over sigma and gamma/sigma from 1e-6 to
// 1e6 and |x| to 1e6 max(sigma, gamma): V within 7.8e-16 relative; each
// derivative within 7.8e-14 relative where it is at least 1e-3 of its peak
// over x (2.2e-15 for the Gaussian and Lorentzian), within 3.9e-15 of the peak
// everywhere.
//
// Plasma dispersion: Z = i sqrt(pi) w(zeta), Z' = i sqrt(pi) w'(zeta), the
// latter equal to -2 (1 + zeta Z) without forming that difference.
#include "vorlan/line_shapes.hpp"

#include <cmath>
#include <cstdint>

#include "blocks/block_pieces.hpp"
#include "line_shape_pieces.hpp"
#include "line_shape_steps.hpp"
#include "uniform_nan.hpp"
#include "w_full_terms.hpp"

namespace vorlan {
namespace {

constexpr double kSqrtPi = 1.772453850905516;

using detail::VoigtValues;

// Z and Z' from w and w' at zeta = zr + i zi, NaN parts made uniform (see
// uniform_nan.hpp).
struct PlasmaValues {
  double re, im, d_re, d_im;
};

PlasmaValues plasma_values(double zr, double zi, double u, double v, double du, double dv) {
  PlasmaValues z{-kSqrtPi * v, kSqrtPi * u, -kSqrtPi * dv, kSqrtPi * du};
  detail::uniform_nan_parts(zr, zi, z.re, z.im);
  detail::uniform_nan_parts(zr, zi, z.d_re, z.d_im);
  return z;
}

// A line-shape element takes 25-60 nanoseconds in lanes: a share of 4096
// takes about what a thread start costs (100-150 microseconds).
constexpr std::int64_t kLineShapesPerThread = 4096;

using blocks::kFullTermsChunk;

// Every line shape reaches w's lane code through the terms piece of the plan's
// width, kFullTermsChunk points at a time (Shape::chunk).
template <class Shape>
void run_shape(const Shape& shape, int threads, std::int64_t n) {
  const blocks::RangeTask range = [](const void* context, std::int64_t begin, std::int64_t end) {
    for (std::int64_t k = begin; k < end; k += kFullTermsChunk) {
      static_cast<const Shape*>(context)->chunk(
          k, static_cast<int>(end - k < kFullTermsChunk ? end - k : kFullTermsChunk));
    }
  };
  blocks::run_ranges(range, &shape, blocks::threads_for_block(n, kLineShapesPerThread, threads), n);
}

// The one-point routine at each point: the scalar width's Voigt piece.
void voigt_points(blocks::FullTermsPiece /*terms_of*/, const double* x, const double* sigma,
                  const double* gamma, int n, bool derivatives, VoigtValues* values) {
  for (int k = 0; k < n; ++k) detail::voigt_point(x[k], sigma[k], gamma[k], derivatives, values[k]);
}

const detail::ShapePieces kShapePoints = {voigt_points, nullptr};

}  // namespace

const detail::ShapePieces& detail::shape_pieces(BlockWidth width) {
  switch (blocks::usable_width(width)) {
    case BlockWidth::kScalar: return kShapePoints;
#ifdef VORLAN_BLOCKS_AVX2
    case BlockWidth::kAvx2: return detail::shape_pieces_avx2;
#endif
#ifdef VORLAN_BLOCKS_AVX512
    case BlockWidth::kAvx512: return detail::shape_pieces_avx512;
#endif
    default: return detail::shape_pieces_baseline;
  }
}

namespace {

// The Voigt profile: its steps around w divide, and per point would add a third
// to its time, so they run in lanes too (line_shape_lanes.hpp).
struct VoigtShape {
  detail::VoigtPiece voigt;
  blocks::FullTermsPiece terms_of;
  const double* x;
  const double* sigma;
  const double* gamma;
  VoigtOutputs out;

  void chunk(std::int64_t first, int count) const {
    const bool derivatives = out.d_x != nullptr || out.d_sigma != nullptr || out.d_gamma != nullptr;
    VoigtValues values[kFullTermsChunk];
    voigt(terms_of, x + first, sigma + first, gamma + first, count, derivatives, values);
    for (int j = 0; j < count; ++j) {
      const VoigtValues& r = values[j];
      const std::int64_t k = first + j;
      if (out.value != nullptr) out.value[k] = r.value;
      if (out.d_x != nullptr) out.d_x[k] = r.d_x;
      if (out.d_sigma != nullptr) out.d_sigma[k] = r.d_sigma;
      if (out.d_gamma != nullptr) out.d_gamma[k] = r.d_gamma;
    }
  }
};

// The plasma function: its steps around w are a few multiplications, per point.
struct PlasmaShape {
  blocks::FullTermsPiece terms_of;
  const double* zr;
  const double* zi;  // null: +0
  std::int64_t in_step;
  PlasmaZOutputs out;

  void store(std::int64_t k, const PlasmaValues& z) const {
    const std::int64_t at = k * out.step;
    if (out.re != nullptr) out.re[at] = z.re;
    if (out.im != nullptr) out.im[at] = z.im;
    if (out.d_re != nullptr) out.d_re[at] = z.d_re;
    if (out.d_im != nullptr) out.d_im[at] = z.d_im;
  }

  void chunk(std::int64_t first, int count) const {
    double x[kFullTermsChunk];
    double y[kFullTermsChunk];
    double ax[kFullTermsChunk];
    double ay[kFullTermsChunk];
    std::int64_t index[kFullTermsChunk];
    int m = 0;
    for (std::int64_t k = first; k < first + count; ++k) {
      x[m] = zr[k * in_step];
      y[m] = zi != nullptr ? zi[k * in_step] : +0.0;
      if (detail::w_full_in_range(x[m], y[m])) {
        ax[m] = std::fabs(x[m]);
        ay[m] = std::fabs(y[m]);
        index[m++] = k;
      } else {
        detail::FullTerms t{};
        detail::w_full_beyond(x[m], y[m], t);
        store(k, plasma_values(x[m], y[m], t.wr, t.wi, t.dr, t.di));
      }
    }
    detail::FullTerms terms[kFullTermsChunk];
    terms_of(ax, ay, m, false, terms);
    for (int j = 0; j < m; ++j) {
      double u;
      double v;
      double du;
      double dv;
      detail::w_full_map(x[j], y[j], terms[j], u, v, du, dv);
      store(index[j], plasma_values(x[j], y[j], u, v, du, dv));
    }
  }
};

}  // namespace

void VOIGT_ELEMENT(double x, double sigma, double gamma, double& value, double& d_x,
                   double& d_sigma, double& d_gamma) {
  VoigtValues r{};
  detail::voigt_point(x, sigma, gamma, true, r);
  value = r.value;
  d_x = r.d_x;
  d_sigma = r.d_sigma;
  d_gamma = r.d_gamma;
}

void PLASMA_Z_ELEMENT(double zr, double zi, double& re, double& im, double& d_re, double& d_im) {
  double u;
  double v;
  double du;
  double dv;
  W_FULL_ELEMENT(zr, zi, u, v, du, dv);
  const PlasmaValues z = plasma_values(zr, zi, u, v, du, dv);
  re = z.re;
  im = z.im;
  d_re = z.d_re;
  d_im = z.d_im;
}

void VOIGT_BLOCK_PLANNED(const BlockPlan& plan, const double* x, const double* sigma,
                         const double* gamma, const VoigtOutputs& out, std::int64_t n) {
  if (n <= 0) return;
  run_shape(VoigtShape{detail::shape_pieces(plan.width).voigt, blocks::full_terms_piece(plan.width),
                       x, sigma, gamma, out},
            plan.threads, n);
}

void PLASMA_Z_BLOCK_PLANNED(const BlockPlan& plan, const double* zr, const double* zi,
                            std::int64_t in_step, const PlasmaZOutputs& out, std::int64_t n) {
  if (n <= 0) return;
  run_shape(PlasmaShape{blocks::full_terms_piece(plan.width), zr, zi, in_step, out}, plan.threads,
            n);
}

void PLASMA_Z_BLOCK_PLANNED(const BlockPlan& plan, const double* zr, const double* zi,
                            const PlasmaZOutputs& out, std::int64_t n) {
  PLASMA_Z_BLOCK_PLANNED(plan, zr, zi, 1, out, n);
}

void VOIGT_BLOCK(const double* x, const double* sigma, const double* gamma, const VoigtOutputs& out,
                 std::int64_t n) {
  VOIGT_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, x, sigma, gamma, out, n);
}

void PLASMA_Z_BLOCK(const double* zr, const double* zi, std::int64_t in_step,
                    const PlasmaZOutputs& out, std::int64_t n) {
  PLASMA_Z_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, zr, zi, in_step, out, n);
}

void PLASMA_Z_BLOCK(const double* zr, const double* zi, const PlasmaZOutputs& out, std::int64_t n) {
  PLASMA_Z_BLOCK(zr, zi, 1, out, n);
}

}  // namespace vorlan
