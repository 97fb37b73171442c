// The kernels' own exp and sin/cos (lane_elementary.hpp, at double) against
// their documented bounds, over 200-bit values in tests/data/elementary_*.csv
// (written by tests/data/generate_elementary.py): exp within 1.15 ulp over
// [-700, 700], sin and cos within 2e-16 absolute over |a| <= 1e5.  The
// reference is a pair hi + lo, so an error is measured to far below an ulp.
// Near multiples of pi/2 and near 1e5 every part of the reduction shows: one
// left out errs by up to 3e-14 there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../../kernels/src/lane_elementary.hpp"
#include "bits_text.hpp"

namespace {

// The rows of a table whose first `columns` fields are bit patterns.
std::vector<std::vector<double>> ReadBits(const std::string& name, std::size_t columns) {
  std::vector<std::vector<double>> rows;
  std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/" + name);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    const std::vector<std::string> f = vorlan_test::split_fields(line);
    std::vector<double> row(columns);
    bool parsed = f.size() >= columns;
    for (std::size_t k = 0; parsed && k < columns; ++k) {
      parsed = vorlan_test::parse_hex_bits(f[k], row[k]);
    }
    EXPECT_TRUE(parsed) << name << ": malformed line " << line;
    if (parsed) rows.push_back(row);
  }
  return rows;
}

// got - (hi + lo), without rounding where got is near hi.
double ErrorFrom(double got, double hi, double lo) { return (got - hi) - lo; }

struct Worst {
  double ratio = 0.0;
  double error = 0.0;
  double at = 0.0;
  void note(double err, double allowed, double a) {
    if (!(std::fabs(err) / allowed <= ratio)) {
      ratio = std::fabs(err) / allowed;
      error = err;
      at = a;
    }
  }
  void expect_within(const char* what) const {
    std::printf("  %-4s worst error %.3g (%.3g of its bound) at %.17g\n", what, error, ratio, at);
    EXPECT_LE(ratio, 1.0) << what << " at " << at;
  }
};

TEST(ElementaryFunctions, ExpWithinItsUlpBound) {
  const auto rows = ReadBits("elementary_exp.csv", 3);
  ASSERT_GT(rows.size(), 1000U);
  Worst exp_ulps;
  for (const auto& r : rows) {
    // The exact value's ulp: hi's, or half of it where hi is a power of two
    // and the value lies below it.
    int e;
    const double m = std::frexp(r[1], &e);
    const double ulp = std::ldexp(m == 0.5 && r[2] < 0.0 ? 0.5 : 1.0, e - 53);
    const double got = vorlan::detail::bounded_exp(r[0]);
    exp_ulps.note(ErrorFrom(got, r[1], r[2]) / ulp, 1.15, r[0]);
  }
  exp_ulps.expect_within("exp");
}

TEST(ElementaryFunctions, SinAndCosWithinTheirAbsoluteBound) {
  const auto rows = ReadBits("elementary_sincos.csv", 5);
  ASSERT_GT(rows.size(), 1000U);
  Worst sine;
  Worst cosine;
  for (const auto& r : rows) {
    double s;
    double c;
    vorlan::detail::bounded_sincos(r[0], s, c);
    sine.note(ErrorFrom(s, r[1], r[2]), 2e-16, r[0]);
    cosine.note(ErrorFrom(c, r[3], r[4]), 2e-16, r[0]);
  }
  sine.expect_within("sin");
  cosine.expect_within("cos");
}

}  // namespace
