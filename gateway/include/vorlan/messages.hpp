// Every failure a plug-in reports: one identifier and one fixed text each, so
// that callers can catch them by identifier.
#ifndef VORLAN_MESSAGES_HPP
#define VORLAN_MESSAGES_HPP

#include <cstdint>
#include <cstring>

namespace vorlan {

struct Message {
  const char* id;
  const char* text;
  // Length in characters, without a terminator.
  std::int32_t length() const { return static_cast<std::int32_t>(std::strlen(text)); }
};

namespace messages {
inline constexpr Message kOneInputInVorlan{"vorlan:nargin", "One input required in vorlan."};
inline constexpr Message kOneInput{"vorlan:nargin", "One input required."};
inline constexpr Message kNotComplex{"vorlan:notComplex", "Input array is not complex"};
inline constexpr Message kNotNumeric{"vorlan:notNumeric", "Input array is not numeric"};
inline constexpr Message kSparse{"vorlan:sparse", "Input array is sparse"};
inline constexpr Message kTooLarge{"vorlan:tooLarge", "Input array is too large"};
inline constexpr Message kOutOfMemory{"vorlan:outOfMemory", "Out of memory"};
// The element-wise plug-ins of several inputs and outputs.
inline constexpr Message kThreeInputsInVoigt{"vorlan:nargin",
                                             "Three inputs required in vorlanVoigt."};
inline constexpr Message kOneInputInPlasmaZ{"vorlan:nargin",
                                            "One input required in vorlanPlasmaZ."};
inline constexpr Message kNineInputsInHTP{"vorlan:nargin", "Nine inputs required in vorlanHTP."};
inline constexpr Message kAtMostFourOutputs{"vorlan:nargout",
                                            "At most four outputs in vorlanVoigt."};
inline constexpr Message kAtMostTwoOutputs{"vorlan:nargout",
                                           "At most two outputs in vorlanPlasmaZ."};
inline constexpr Message kAtMostTwoOutputsInHTP{"vorlan:nargout",
                                                "At most two outputs in vorlanHTP."};
inline constexpr Message kComplex{"vorlan:complex", "Input array is complex"};
inline constexpr Message kNonconformant{"vorlan:nonconformant", "Input arrays are nonconformant"};
}  // namespace messages

}  // namespace vorlan

#endif
