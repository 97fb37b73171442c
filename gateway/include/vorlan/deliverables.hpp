// The three plug-ins: kernel, input policy and argument-count message.
#ifndef VORLAN_DELIVERABLES_HPP
#define VORLAN_DELIVERABLES_HPP

#include "vorlan/gateway.hpp"
#include "vorlan/w_complete.hpp"

namespace vorlan {

inline constexpr Deliverable kVorlanRegion{W_REGIONS_BLOCK, InputPolicy::kRealAccepted,
                                           messages::kOneInputInVorlan};
inline constexpr Deliverable kVorlan{W_REGIONS_BLOCK, InputPolicy::kComplexRequired,
                                     messages::kOneInput};
inline constexpr Deliverable kVorlanRational{W_RATIONAL_BLOCK, InputPolicy::kRealAccepted,
                                             messages::kOneInputInVorlan};

}  // namespace vorlan

#endif
