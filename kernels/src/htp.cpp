// Placeholder: the Hartmann-Tran profile from its definition (plain formula).
#include "vorlan/htp.hpp"

#include <cmath>
#include <complex>

#include "vorlan/w_full.hpp"

namespace vorlan {
namespace {
using C = std::complex<double>;
C w_of(C z) {
  double u, v, du, dv;
  W_FULL_ELEMENT(z.real(), z.imag(), u, v, du, dv);
  return {u, v};
}
}  // namespace

void HTP_ELEMENT(const double (&a)[kHtpArguments], bool derivatives, HtpValue& value) {
  const double sqrt_pi = std::sqrt(M_PI);
  const C i(0, 1);
  const double c = std::sqrt(std::log(2.0)) / a[kHtpGammaD];
  const C c0(a[kHtpGamma0], a[kHtpDelta0]);
  const C c2(a[kHtpGamma2], a[kHtpDelta2]);
  const double eta = a[kHtpEta];
  const C c0t = (1 - eta) * (c0 - 1.5 * c2) + a[kHtpNuVC];
  const C c2t = (1 - eta) * c2;
  const C q = i * (a[kHtpNu0] - a[kHtpNu]) + c0t;
  C A, B;
  if (c2t == C(0)) {
    const C z = c * q;
    A = sqrt_pi * c * w_of(i * z);
    B = sqrt_pi * c * ((1.0 - z * z) * w_of(i * z) + z / sqrt_pi);
  } else {
    const C x = q / c2t;
    const C sy = 1.0 / (2 * c * c2t);
    const C z1 = std::sqrt(x + sy * sy) - sy;
    const C z2 = std::sqrt(x + sy * sy) + sy;
    A = sqrt_pi * c * (w_of(i * z1) - w_of(i * z2));
    B = (-1.0 + sqrt_pi / (2.0 * sy) * ((1.0 - z1 * z1) * w_of(i * z1) - (1.0 - z2 * z2) * w_of(i * z2))) / c2t;
  }
  const C f = A / (M_PI * (1.0 - (a[kHtpNuVC] - eta * (c0 - 1.5 * c2)) * A + eta * c2 * B));
  value.re = f.real();
  value.im = f.imag();
  for (int k = 0; k < kHtpDerivatives; ++k) {
    value.d_re[k] = derivatives ? 0.0 : 0.0;
    value.d_im[k] = 0.0;
  }
}

void HTP_BLOCK_PLANNED(const BlockPlan& /*plan*/, const HtpInputs& in, const HtpOutputs& out,
                       std::int64_t n) {
  bool derivatives = false;
  for (const HtpComplexArray& d : out.derivative) derivatives = derivatives || d.re != nullptr;
  for (std::int64_t k = 0; k < n; ++k) {
    double a[kHtpArguments];
    for (int j = 0; j < kHtpArguments; ++j) a[j] = in.data[j][k * in.step[j]];
    HtpValue v{};
    HTP_ELEMENT(a, derivatives, v);
    if (out.value.re != nullptr) {
      out.value.re[k * out.value.step] = v.re;
      out.value.im[k * out.value.step] = v.im;
    }
    for (int j = 0; j < kHtpDerivatives; ++j) {
      const HtpComplexArray& d = out.derivative[j];
      if (d.re == nullptr) continue;
      d.re[k * d.step] = v.d_re[j];
      d.im[k * d.step] = v.d_im[j];
    }
  }
}

void HTP_BLOCK(const HtpInputs& in, const HtpOutputs& out, std::int64_t n) {
  HTP_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, in, out, n);
}

}  // namespace vorlan
