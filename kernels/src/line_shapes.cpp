// The Voigt profile and the plasma dispersion function from the full-precision
// w(z) (w_full.cpp).
//
// Voigt: V = Re w(z) / (sigma sqrt(2 pi)), z = (|x| + i gamma) / (sigma sqrt 2),
//   dV/dx     = Re w'(z) / (2 sqrt(pi) sigma^2)   (odd in x),
//   dV/dgamma = -Im w'(z) / (2 sqrt(pi) sigma^2),
//   dV/dsigma = -Re (z w)'(z) / (sqrt(2 pi) sigma^2),
// with w' and (z w)' taken from the kernel's own terms, never as differences.
// The real part of z is carried in double-double so that the Gaussian factor
// exp(-Re z^2), whose relative condition is 2 (Re z)^2, sees no rounding of
// x / (sigma sqrt 2).  sigma = 0 is the Lorentzian g / (pi (x^2 + g^2)), whose
// sigma-derivative vanishes there; gamma = 0 is the Gaussian, which the kernel
// gives exactly on the real axis.  Measured errors: see w_full.cpp and the
// accuracy tests.
//
// Plasma dispersion: Z = i sqrt(pi) w(zeta), Z' = i sqrt(pi) w'(zeta), the
// latter equal to -2 (1 + zeta Z) without forming that difference.
#include "vorlan/line_shapes.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

#include "blocks/block_pieces.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full.hpp"

namespace vorlan {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSqrtPi = 1.772453850905516;
constexpr double kOneOverPi = 0.3183098861837907;
constexpr double kOneOverSqrtTwoPi = 0.3989422804014327;
constexpr double kOneOverTwoSqrtPi = 0.28209479177387814;
// 1/sqrt(2) as a double and the remainder of its true value.
constexpr double kRootHalf = 0.7071067811865476;
constexpr double kRootHalfRest = -4.833646656726463e-17;
// The argument's real part is split only where the Gaussian can matter and
// the exact products cannot overflow or underflow.
constexpr double kSplitBelow = 1e6;
constexpr double kSplitAbove = 1e-280;
constexpr double kSplitWidthMin = 1e-280;
constexpr double kSplitWidthMax = 1e280;

struct VoigtValues {
  double value, d_x, d_sigma, d_gamma;
};

void set_all(VoigtValues& r, double v) {
  r.value = v;
  r.d_x = v;
  r.d_sigma = v;
  r.d_gamma = v;
}

// f a, with a zero factor f giving 0 even where a has overflowed.
double times(double f, double a) { return f == 0.0 ? 0.0 : f * a; }

// The Lorentzian and its derivatives; sigma = 0.  With u the smaller of |x|
// and g over the larger, nothing is squared that could overflow; factors that
// vanish keep their products 0 where the widths are so small that the other
// factor overflows.
void lorentzian(double ax, double g, VoigtValues& r) {
  r.d_sigma = 0.0;
  if (g == 0.0 && ax == 0.0) {
    r.value = kInf;
    r.d_x = 0.0;
    r.d_gamma = -kInf;
    return;
  }
  if (ax <= g) {
    // V = 1 / (pi g (1 + u^2)), u = x / g
    const double u = ax / g;
    const double s = 1.0 + u * u;
    const double head = kOneOverPi / (g * s);
    r.value = head;
    r.d_x = times(-2.0 * u, head) / (g * s);
    r.d_gamma = times((u - 1.0) * (u + 1.0), head) / (g * s);
  } else {
    // V = u / (pi x (1 + u^2)), u = g / x
    const double u = g / ax;
    const double s = 1.0 + u * u;
    const double head = kOneOverPi / (ax * s);
    r.value = times(u, head);
    r.d_x = times(-2.0 * u, head) / (ax * s);
    r.d_gamma = times((1.0 - u) * (1.0 + u), head) / (ax * s);
  }
}

// t / (sigma sqrt 2) as hi + lo, for t >= 0 and sigma > 0; lo is left 0 where
// it cannot matter or the exact products could overflow or underflow.
void scaled_by_width(double t, double sigma, double& hi, double& lo) {
  const double a = t / sigma;
  hi = a * kRootHalf;
  lo = 0.0;
  if (!(a < kSplitBelow) || !(a > kSplitAbove) || !(sigma > kSplitWidthMin) ||
      !(sigma < kSplitWidthMax)) {
    return;
  }
  double p;
  double e;
  detail::two_product(a, sigma, p, e);
  const double a_lo = ((t - p) - e) / sigma;
  detail::two_product(a, kRootHalf, p, e);
  lo = e + (a * kRootHalfRest + a_lo * kRootHalf);
}

// With `derivatives` false only r.value is set; it has the same bits either way.
void voigt_point(double x, double sigma, double gamma, bool derivatives, VoigtValues& r) {
  if (std::isnan(x) || std::isnan(sigma) || std::isnan(gamma) || sigma < 0.0 || gamma < 0.0) {
    set_all(r, kNaN);
    return;
  }
  const double ax = std::fabs(x);
  if (std::isinf(ax) || std::isinf(sigma) || std::isinf(gamma)) {
    set_all(r, 0.0);
    return;
  }
  if (sigma == 0.0) {
    lorentzian(ax, gamma, r);
  } else {
    double zr;
    double zr_lo;
    double zi;
    double zi_lo;
    scaled_by_width(ax, sigma, zr, zr_lo);
    scaled_by_width(gamma, sigma, zi, zi_lo);
    detail::FullTerms t{};
    if (zr > ARG_LIMIT || zi > ARG_LIMIT) {
      detail::w_full_beyond(zr, zi, t);
    } else {
      detail::w_full_quadrant(zr, zi, derivatives, t);
      if (!derivatives) {
        t.wr += zr_lo * t.dr - zi_lo * t.di;
      } else if (zr_lo != 0.0 || zi_lo != 0.0) {
        // The rest of z, to first order: w'' = -2 (z w)', (z w)'' = 2 w' + z w''.
        // Near the profile's sign changes and in the Gaussian core the
        // rounding of z would otherwise show.
        const double w2r = -2.0 * t.gr;
        const double w2i = -2.0 * t.gi;
        const double g2r = 2.0 * t.dr + (zr * w2r - zi * w2i);
        const double g2i = 2.0 * t.di + (zr * w2i + zi * w2r);
        t.wr += zr_lo * t.dr - zi_lo * t.di;
        t.wi += zr_lo * t.di + zi_lo * t.dr;
        t.dr += zr_lo * w2r - zi_lo * w2i;
        t.di += zr_lo * w2i + zi_lo * w2r;
        t.gr += zr_lo * g2r - zi_lo * g2i;
        t.gi += zr_lo * g2i + zi_lo * g2r;
      }
    }
    r.value = t.wr * kOneOverSqrtTwoPi / sigma;
    r.d_x = t.dr * kOneOverTwoSqrtPi / sigma / sigma;
    r.d_gamma = -t.di * kOneOverTwoSqrtPi / sigma / sigma;
    r.d_sigma = -t.gr * kOneOverSqrtTwoPi / sigma / sigma;
  }
  if (x < 0.0) {
    r.d_x = -r.d_x;
  }
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
