// The Hartmann-Tran profile F(nu) of high-resolution spectroscopy, built on
// the full-precision w(z) of w_full.hpp, with its derivatives in each of the
// eight line parameters.  Re F is the absorption profile (unit area over nu),
// Im F the dispersion profile.
//
// Each block routine evaluates n points with the same bits as the element
// routine at any vector width, size or thread count.  A null output pointer is
// neither computed nor written.
#ifndef VORLAN_HTP_HPP
#define VORLAN_HTP_HPP

#include <cstdint>

#include "vorlan/w_blocks.hpp"

namespace vorlan {

// The arguments in their order: where the profile is evaluated, then the line
// parameters, all in one unit of wavenumber or frequency (eta: none).
enum HtpArgument : int {
  kHtpNu,      // nu
  kHtpNu0,     // line centre
  kHtpGammaD,  // Doppler half width at half maximum
  kHtpGamma0,  // speed-averaged collisional half width
  kHtpGamma2,  // its speed dependence
  kHtpDelta0,  // speed-averaged shift
  kHtpDelta2,  // its speed dependence
  kHtpNuVC,    // velocity-changing collision frequency
  kHtpEta,     // correlation parameter
  kHtpArguments
};
// Derivative k is with respect to argument k + 1 (nu0 ... eta); dF/dnu = -dF/dnu0.
inline constexpr int kHtpDerivatives = kHtpArguments - 1;

struct HtpValue {
  double re, im;
  double d_re[kHtpDerivatives], d_im[kHtpDerivatives];  // only where asked for
};
void HTP_ELEMENT(const double (&arguments)[kHtpArguments], bool derivatives, HtpValue& value);

// Argument j of element k at data[j][k * step[j]]; a step of 0 gives every
// element the one value.
struct HtpInputs {
  const double* data[kHtpArguments];
  std::int64_t step[kHtpArguments];
};
// A complex output: element k at re[k * step] and im[k * step] (a step of 2
// writes into an interleaved complex array).  A null re is not wanted.
struct HtpComplexArray {
  double* re;
  double* im;
  std::int64_t step;
};
struct HtpOutputs {
  HtpComplexArray value;
  HtpComplexArray derivative[kHtpDerivatives];
};
void HTP_BLOCK(const HtpInputs& in, const HtpOutputs& out, std::int64_t n);
void HTP_BLOCK_PLANNED(const BlockPlan& plan, const HtpInputs& in, const HtpOutputs& out,
                       std::int64_t n);

}  // namespace vorlan

#endif
