// The rational approximation: values fixed by the formula, and the agreement,
// bit for bit, of the three ways of forming its final quotient.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <utility>

#include "vorlan/w_rational.hpp"

namespace {

using vorlan::RationalTerms;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bits(double t) {
  std::uint64_t b = 0;
  std::memcpy(&b, &t, sizeof b);
  return b;
}

double from_bits(std::uint64_t b) {
  double t = 0.0;
  std::memcpy(&t, &b, sizeof t);
  return t;
}

// Same bits, or both NaN (the payload of a NaN is not part of the result).
::testing::AssertionResult same_result(double expected, double actual) {
  if (std::isnan(expected) ? std::isnan(actual) : bits(expected) == bits(actual)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hexfloat << expected << " vs " << actual;
}

TEST(WRational, OriginIsOnePlusPositiveZeroForEverySignedZero) {
  for (double x : {0.0, -0.0}) {
    for (double y : {0.0, -0.0}) {
      double u = 0.0;
      double v = 0.0;
      vorlan::W_RATIONAL(x, y, u, v);
      EXPECT_EQ(bits(u), bits(1.0)) << x << " " << y;
      EXPECT_EQ(bits(v), bits(0.0)) << x << " " << y;
    }
  }
}

TEST(WRational, FixedValues) {
  double u = 0.0;
  double v = 0.0;
  // Far out on the real axis |Q|^2 leaves the double range: the wide quotient.
  vorlan::W_RATIONAL(1e30, 0.0, u, v);
  EXPECT_EQ(u, 4.48166531386472e-67);
  EXPECT_EQ(v, 5.641896128654479e-31);
  // Below the real axis the formula is not w; its value there is still fixed.
  vorlan::W_RATIONAL(0.0, -2.0, u, v);
  EXPECT_NEAR(u, -2.3966, 1e-4);
  EXPECT_TRUE(v == 0.0 && std::signbit(v));
  // Z^7 overflows in the Horner steps: inf / inf.
  for (const auto& [x, y] : {std::pair{2e44, 0.0}, {-2e44, 0.0}, {0.0, 2e44}, {0.0, -2e44}}) {
    vorlan::W_RATIONAL(x, y, u, v);
    EXPECT_TRUE(std::isnan(u) && std::isnan(v)) << x << " " << y;
  }
}

TEST(WRational, MirrorPointNegatesTheImaginaryPart) {
  for (double x : {1e-300, 0.2, 1.0, 3.7, 12.0, 1e5, 1e21, 1e23, 1e40}) {
    for (double y : {-3.0, 0.0, 1e-10, 0.8, 2.0, 15.0, 1e7, 1e30}) {
      double ur = 0.0, vr = 0.0, ul = 0.0, vl = 0.0;
      vorlan::W_RATIONAL(x, y, ur, vr);
      vorlan::W_RATIONAL(-x, y, ul, vl);
      EXPECT_EQ(bits(ul), bits(ur)) << x << " " << y;
      EXPECT_EQ(vl, -vr) << x << " " << y;
    }
  }
}

// Compares the portable quotient with the emulated wide one and, on x86, with
// the x87 unit at 53-bit precision.
void expect_quotients_agree(const RationalTerms& t) {
  double u = 0.0, v = 0.0, uw = 0.0, vw = 0.0;
  vorlan::W_RATIONAL_QUOTIENT(t, u, v);
  vorlan::W_RATIONAL_QUOTIENT_WIDE(t, uw, vw);
  EXPECT_TRUE(same_result(uw, u)) << "u, terms " << std::hexfloat << t.pr << " " << t.pi << " "
                                  << t.qr << " " << t.qi;
  EXPECT_TRUE(same_result(vw, v)) << "v, terms " << std::hexfloat << t.pr << " " << t.pi << " "
                                  << t.qr << " " << t.qi;
#ifdef VORLAN_HAVE_X87
  double ux = 0.0, vx = 0.0;
  {
    vorlan::X87DoublePrecision guard;
    vorlan::W_RATIONAL_QUOTIENT_X87(t, ux, vx);
  }
  EXPECT_TRUE(same_result(ux, u)) << "x87 u, terms " << std::hexfloat << t.pr << " " << t.pi << " "
                                  << t.qr << " " << t.qi;
  EXPECT_TRUE(same_result(vx, v)) << "x87 v, terms " << std::hexfloat << t.pr << " " << t.pi << " "
                                  << t.qr << " " << t.qi;
#endif
}

// A magnitude log-uniform in [1e-320, 1e45], either sign, sometimes zero.
double wide_range_part(std::mt19937_64& rng) {
  std::uniform_real_distribution<double> decade(-320.0, 45.0);
  std::uniform_int_distribution<int> pick(0, 15);
  const int p = pick(rng);
  if (p == 0) return 0.0;
  if (p == 1) return -0.0;
  const double magnitude = std::pow(10.0, decade(rng));
  return (p % 2 == 0) ? magnitude : -magnitude;
}

TEST(WRationalQuotient, PathsAgreeOverTheWholeRange) {
  std::mt19937_64 rng(20240611);
  for (int k = 0; k < 100000; ++k) {
    const double x = wide_range_part(rng);
    const double y = wide_range_part(rng);
    expect_quotients_agree(vorlan::W_RATIONAL_TERMS(x, y));
    if (::testing::Test::HasFailure()) {
      FAIL() << "at x = " << std::hexfloat << x << ", y = " << y;
    }
  }
}

TEST(WRationalQuotient, PathsAgreeOnRawBitPatterns) {
  std::mt19937_64 rng(77);
  // Zeros, the smallest subnormal and normal, the largest finite, infinities.
  const double edge_values[] = {
      0.0,      -0.0,      5e-324, -5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
      HUGE_VAL, -HUGE_VAL, kNaN};
  std::uniform_int_distribution<int> pick(0, 9);
  const auto part = [&]() {
    const int p = pick(rng);
    if (p < 2) return edge_values[rng() % (sizeof edge_values / sizeof edge_values[0])];
    if (p < 4) return from_bits(rng() & 0x800fffffffffffffULL);  // subnormal or zero
    return from_bits(rng());
  };
  for (int k = 0; k < 100000; ++k) {
    const RationalTerms t{part(), part(), part(), part()};
    expect_quotients_agree(t);
    if (::testing::Test::HasFailure()) return;
  }
}

// Where |Q|^2 crosses the double range (|z| ~ 1.04e22), where Z^7 overflows
// (|z| ~ 1.09e44), and quotients that land on subnormals.
TEST(WRationalQuotient, PathsAgreeAtTheRangeEdges) {
  for (double r : {1.02e22, 1.035e22, 1.04e22, 1.045e22, 1.06e22, 1.08e44, 1.0899e44, 1.09e44}) {
    for (double step = -64; step <= 64; ++step) {
      const double s = r * (1.0 + step * 1e-4);
      expect_quotients_agree(vorlan::W_RATIONAL_TERMS(s, 0.0));
      expect_quotients_agree(vorlan::W_RATIONAL_TERMS(0.0, s));
      expect_quotients_agree(vorlan::W_RATIONAL_TERMS(-s * 0.6, s * 0.8));
      expect_quotients_agree(vorlan::W_RATIONAL_TERMS(s * 0.8, -s * 0.6));
    }
  }
  for (double q : {1e160, 1e200, 1e300, 1.7e308}) {
    for (double p : {1e-150, 3e-160, 1e-200, 1e-300, 4e-320}) {
      expect_quotients_agree({p, -p * 0.75, q, q * 0.5});
      expect_quotients_agree({p, p, q * 0.999, 0.0});
    }
  }
}

#ifdef VORLAN_HAVE_X87
unsigned short x87_control_word() {
  unsigned short cw = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw) : : "memory");
  return cw;
}

void set_x87_control_word(unsigned short cw) {
  __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory");
}

TEST(X87DoublePrecision, SetsDoublePrecisionAndRestoresTheControlWord) {
  const unsigned short original = x87_control_word();
  // 24-bit precision, rounding toward zero: nothing the guard would pick itself.
  const unsigned short unusual = static_cast<unsigned short>((original & ~0x0F00) | 0x0C00);
  set_x87_control_word(unusual);
  {
    vorlan::X87DoublePrecision guard;
    EXPECT_EQ(x87_control_word() & 0x0300, 0x0200);
    EXPECT_EQ(x87_control_word() & ~0x0300, unusual & ~0x0300);
  }
  const unsigned short after = x87_control_word();
  set_x87_control_word(original);
  EXPECT_EQ(after, unusual);
}
#endif

}  // namespace
