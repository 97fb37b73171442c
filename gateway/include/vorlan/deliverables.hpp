// The plug-ins: for the three w(z) plug-ins the kernel, input policy and
// argument-count message; for the line shapes their element-wise description.
#ifndef VORLAN_DELIVERABLES_HPP
#define VORLAN_DELIVERABLES_HPP

#include "vorlan/elementwise.hpp"
#include "vorlan/gateway.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"

namespace vorlan {

inline constexpr Deliverable kVorlanRegion{W_REGIONS_BLOCK, InputPolicy::kRealAccepted,
                                           messages::kOneInputInVorlan};
inline constexpr Deliverable kVorlan{W_REGIONS_BLOCK, InputPolicy::kComplexRequired,
                                     messages::kOneInput};
inline constexpr Deliverable kVorlanRational{W_RATIONAL_BLOCK, InputPolicy::kRealAccepted,
                                             messages::kOneInputInVorlan};

namespace detail {
inline void voigt_adapter(const ElementwiseArrays& a, std::int64_t n) {
  VOIGT_BLOCK(a.re[0], a.re[1], a.re[2],
              VoigtOutputs{a.out_re[0], a.out_re[1], a.out_re[2], a.out_re[3]}, n);
}
inline void plasma_z_adapter(const ElementwiseArrays& a, std::int64_t n) {
  PLASMA_Z_BLOCK(a.re[0], a.im[0], a.in_step[0],
                 PlasmaZOutputs{a.out_re[0], a.out_im[0], a.out_re[1], a.out_im[1], a.out_step[0]},
                 n);
}
inline void htp_adapter(const ElementwiseArrays& a, std::int64_t n) {
  HtpInputs in{};
  for (int j = 0; j < kHtpArguments; ++j) {
    in.data[j] = a.re[j];
    in.step[j] = a.in_step[j];
  }
  HtpOutputs out{};
  out.value = {a.out_re[0], a.out_im[0], a.out_step[0]};
  for (int k = 0; k < kHtpDerivatives; ++k) {
    out.derivative[k] = {a.out_re[1 + k], a.out_im[1 + k], a.out_step[1 + k]};
  }
  HTP_BLOCK(in, out, n);
}
// dF's fields, in the order of the arguments they differentiate by.
inline constexpr const char* kHtpDerivativeNames[kHtpDerivatives] = {
    "nu0", "GammaD", "Gamma0", "Gamma2", "Delta0", "Delta2", "nuVC", "eta"};
}  // namespace detail

// [V, dVdx, dVdsigma, dVdgamma] = vorlanVoigt(x, sigma, gamma)
inline constexpr ElementwiseDeliverable kVorlanVoigt = [] {
  ElementwiseDeliverable d{};
  d.inputs = 3;  // x, sigma, gamma
  d.complex_inputs = false;
  d.outputs = 4;  // all real
  d.argument_count = messages::kThreeInputsInVoigt;
  d.too_many_outputs = messages::kAtMostFourOutputs;
  d.kernel = detail::voigt_adapter;
  return d;
}();

// [Z, dZ] = vorlanPlasmaZ(zeta), zeta real or complex
inline constexpr ElementwiseDeliverable kVorlanPlasmaZ = [] {
  ElementwiseDeliverable d{};
  d.inputs = 1;
  d.complex_inputs = true;
  d.outputs = 2;
  d.complex_outputs = {true, true, false, false};
  d.argument_count = messages::kOneInputInPlasmaZ;
  d.too_many_outputs = messages::kAtMostTwoOutputs;
  d.kernel = detail::plasma_z_adapter;
  return d;
}();

// [F, dF] = vorlanHTP(nu, nu0, GammaD, Gamma0, Gamma2, Delta0, Delta2, nuVC, eta),
// dF a struct of F's derivatives by each line parameter.  A line grid with
// scalar parameters reads them where they are: no scratch at all.
inline constexpr ElementwiseDeliverable kVorlanHTP = [] {
  ElementwiseDeliverable d{};
  d.inputs = kHtpArguments;
  d.complex_inputs = false;
  d.outputs = 2;
  d.complex_outputs = {true, true, false, false};
  d.argument_count = messages::kNineInputsInHTP;
  d.too_many_outputs = messages::kAtMostTwoOutputsInHTP;
  d.kernel = detail::htp_adapter;
  d.fields[1] = {kHtpDerivatives, detail::kHtpDerivativeNames};
  d.scalars_in_place = true;
  return d;
}();
static_assert(fits(kVorlanVoigt) && fits(kVorlanPlasmaZ) && fits(kVorlanHTP));

}  // namespace vorlan

#endif
