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
}  // namespace messages

}  // namespace vorlan

#endif
