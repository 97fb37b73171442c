// Doubles as text in the exact-bits tables of tests/data: 16 hexadecimal
// digits of the IEEE bit pattern, most significant first.  Formatted and parsed
// by hand, so that no C library's printf or strtoull dialect is involved.
#ifndef VORLAN_TESTS_BITS_TEXT_HPP
#define VORLAN_TESTS_BITS_TEXT_HPP

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vorlan_test {

inline std::uint64_t bits_of(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

inline double double_of(std::uint64_t b) {
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

inline std::string hex_bits(double d) {
  static const char kDigits[] = "0123456789abcdef";
  std::uint64_t b = bits_of(d);
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[b & 15U];
    b >>= 4;
  }
  return text;
}

// Exactly 16 hexadecimal digits (either case); false for anything else.
inline bool parse_hex_bits(const std::string& text, double& d) {
  if (text.size() != 16) return false;
  std::uint64_t b = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    b = (b << 4) | digit;
  }
  d = double_of(b);
  return true;
}

// The comma-separated fields of one line; a trailing carriage return (a
// checkout with Windows line ends) is dropped.
inline std::vector<std::string> split_fields(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

}  // namespace vorlan_test

#endif
