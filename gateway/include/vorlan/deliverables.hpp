// The plug-ins: for the three w(z) plug-ins the kernel, input policy and
// argument-count message; for the line shapes their element-wise description.
#ifndef VORLAN_DELIVERABLES_HPP
#define VORLAN_DELIVERABLES_HPP

#include "vorlan/elementwise.hpp"
#include "vorlan/gateway.hpp"
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
  PLASMA_Z_BLOCK(a.re[0], a.im[0],
                 PlasmaZOutputs{a.out_re[0], a.out_im[0], a.out_re[1], a.out_im[1]}, n);
}
}  // namespace detail

// [V, dVdx, dVdsigma, dVdgamma] = vorlanVoigt(x, sigma, gamma): real inputs, real outputs.
inline constexpr ElementwiseDeliverable kVorlanVoigt{3,
                                                     false,
                                                     4,
                                                     {false, false, false, false},
                                                     messages::kThreeInputsInVoigt,
                                                     messages::kAtMostFourOutputs,
                                                     detail::voigt_adapter};
// [Z, dZ] = vorlanPlasmaZ(zeta): real or complex input, complex outputs.
inline constexpr ElementwiseDeliverable kVorlanPlasmaZ{1,
                                                       true,
                                                       2,
                                                       {true, true, false, false},
                                                       messages::kOneInputInPlasmaZ,
                                                       messages::kAtMostTwoOutputs,
                                                       detail::plasma_z_adapter};

}  // namespace vorlan

#endif
