// The region kernel's integer power (the Taylor weight h2^kappa) against
// correctly rounded powers from exact rational arithmetic
// (tests/data/integer_power.csv, written by tests/data/generate_integer_power.py).
// Every row must be within one unit in the last place; a normal result whose
// exact value is not within 2^-30 units of a rounding boundary must be the
// correctly rounded one, since the double-double evaluation errs by about
// 2^-100 relative before its final rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../../kernels/src/integer_power.hpp"
#include "bits_text.hpp"

namespace {

using vorlan_test::bits_of;
using vorlan_test::hex_bits;

struct PowerRow {
  double base;
  std::int32_t exponent;
  double power;  // correctly rounded
  bool clear;    // far enough from a rounding boundary to demand correct rounding
  int line;
};

std::vector<PowerRow> power_rows() {
  std::vector<PowerRow> rows;
  std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/integer_power.csv");
  std::string line;
  std::getline(in, line);  // header
  for (int number = 2; std::getline(in, line); ++number) {
    const std::vector<std::string> f = vorlan_test::split_fields(line);
    PowerRow row{0, 0, 0, false, number};
    const bool parsed = f.size() >= 4 && vorlan_test::parse_hex_bits(f[0], row.base) &&
                        vorlan_test::parse_hex_bits(f[2], row.power) &&
                        (f[3] == "0" || f[3] == "1") && !f[1].empty() && f[1].size() <= 5 &&
                        f[1].find_first_not_of("0123456789") == std::string::npos;
    EXPECT_TRUE(parsed) << "integer_power.csv line " << number << " is malformed: " << line;
    if (!parsed) continue;
    row.exponent = static_cast<std::int32_t>(std::stol(f[1]));
    row.clear = f[3] == "1";
    rows.push_back(row);
  }
  return rows;
}

// Units in the last place between two non-negative doubles, infinity being
// the step after the largest finite one; NaN is infinitely far.
std::uint64_t ulps_apart(double a, double b) {
  if (std::isnan(a) || std::isnan(b) || std::signbit(a) || std::signbit(b)) return UINT64_MAX;
  const std::uint64_t ia = bits_of(a);
  const std::uint64_t ib = bits_of(b);
  return ia > ib ? ia - ib : ib - ia;
}

TEST(IntegerPower, WithinOneUlpAndCorrectlyRoundedAwayFromBoundaries) {
  const std::vector<PowerRow> rows = power_rows();
  ASSERT_GE(rows.size(), 1000u) << "integer_power.csv missing or incomplete";
  int exact = 0;
  int clear = 0;
  int failures = 0;
  for (const PowerRow& row : rows) {
    const double got = vorlan::detail::integer_power(row.base, row.exponent);
    const std::uint64_t apart = ulps_apart(got, row.power);
    exact += apart == 0;
    clear += row.clear;
    const bool ok = row.clear ? apart == 0 : apart <= 1;
    if (!ok && ++failures <= 20) {
      ADD_FAILURE() << "integer_power.csv line " << row.line << ": " << hex_bits(row.base) << " ("
                    << row.base << ") ^ " << row.exponent << "\n  expected " << hex_bits(row.power)
                    << " (" << row.power << ")\n  actual   " << hex_bits(got) << " (" << got << ")"
                    << (row.clear ? ", which must round correctly" : "");
    }
  }
  char summary[160];
  std::snprintf(summary, sizeof summary,
                "%d of %zu powers correctly rounded (%d rows required to be), the rest within one "
                "ulp",
                exact, rows.size(), clear);
  ::testing::Test::RecordProperty("rounding", summary);
  std::printf("integer_power: %s\n", summary);
  EXPECT_EQ(failures, 0) << failures << " of " << rows.size() << " rows fail";
}

// Powers of two (significand 1) with exponents past the table's: the scaling
// by 2^(e k) alone decides them, exactly down to the smallest subnormal, to
// zero by ties-to-even below it, to infinity above the range.
TEST(IntegerPower, PowersOfTwoScaleExactly) {
  EXPECT_EQ(vorlan::detail::integer_power(0.5, 1074), std::ldexp(1.0, -1074));
  EXPECT_EQ(vorlan::detail::integer_power(0.5, 1075), 0.0);
  EXPECT_EQ(vorlan::detail::integer_power(std::ldexp(1.0, -37), 29), std::ldexp(1.0, -1073));
  EXPECT_EQ(vorlan::detail::integer_power(2.0, 1023), std::ldexp(1.0, 1023));
  EXPECT_EQ(vorlan::detail::integer_power(2.0, 1024), HUGE_VAL);
}

}  // namespace
