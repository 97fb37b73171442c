// w(z) over the whole plane: the points the kernels leave to their callers
// (beyond the argument limit, lower half-plane overflow, reflection of the
// rational formula) and the agreement of the element and block routines with
// the kernels wherever the kernels complete.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Element = void (*)(double, double, double&, double&);

std::pair<double, double> eval(Element f, double x, double y) {
  double u = -7.0;
  double v = -9.0;
  f(x, y, u, v);
  return {u, v};
}

bool same_bits(double a, double b) {
  return std::isnan(a) ? std::isnan(b) : (a == b && std::signbit(a) == std::signbit(b));
}

#define EXPECT_SAME_BITS(a, b) EXPECT_PRED2(same_bits, a, b)

// The same 16 significant digits and the same sign: a value quoted to 16
// digits may be either of two neighbouring doubles.
bool same_to_16_digits(double expected, double actual) {
  if (std::isnan(expected)) return std::isnan(actual);
  char e[32];
  char a[32];
  std::snprintf(e, sizeof e, "%.16g", expected);
  std::snprintf(a, sizeof a, "%.16g", actual);
  return std::signbit(expected) == std::signbit(actual) && std::strcmp(e, a) == 0;
}

TEST(WComplete, ValuesDeterminedInDoublePrecision) {
  struct Case {
    double x, y, u, v;
  };
  const Case cases[] = {
      // exp(-z^2) underflows: w = -w(-z), which is i/(sqrt(pi) z) here.
      {1e10, -1e6, -5.641895779058605e-15, 5.641895779058605e-11},
      {6e153, 0.0, 0.0, 9.403159725795937e-155},
      {0.0, -30.0, kInf, -0.0},
      // ... and beyond ARG_LIMIT, where it has overflowed too
      {0.0, -6e153, kInf, -0.0},
      {-0.0, -1e300, kInf, -0.0},
      {0.0, -kInf, kInf, -0.0},
      {-0.0, -30.0, kInf, -0.0},
      {0.1, -30.0, kInf, -kInf},
      {kInf, 0.0, 0.0, 0.0},
      {-kInf, 1.0, 0.0, -0.0},
      {0.0, kInf, 0.0, 0.0},
      {kInf, -1.0, -0.0, 0.0},
      {kNaN, 6e153, kNaN, kNaN},
      {6e153, kNaN, kNaN, kNaN},
      {kNaN, -kInf, kNaN, kNaN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x=" << c.x << " y=" << c.y);
    const auto [u, v] = eval(vorlan::W_REGIONS_ELEMENT, c.x, c.y);
    EXPECT_PRED2(same_to_16_digits, c.u, u);
    EXPECT_PRED2(same_to_16_digits, c.v, v);
  }
}

TEST(WComplete, AsymptoticValuesWithoutOverflow) {
  const auto [u1, v1] = eval(vorlan::W_BEYOND_RANGE, 1e200, 1e200);
  EXPECT_NEAR(u1, 2.8209479177387814e-201, 1e-15 * 2.82e-201);
  EXPECT_EQ(u1, v1);
  const auto [u2, v2] = eval(vorlan::W_BEYOND_RANGE, 1e300, -1.0);
  EXPECT_SAME_BITS(-0.0, u2);
  EXPECT_NEAR(v2, 5.641895835477563e-301, 1e-15 * 5.64e-301);
  // The lower half-plane where exp(-z^2) does not vanish has no finite value
  // off the imaginary axis; the rational formula has none beyond 1.09e44.
  for (const auto& [x, y] :
       {std::pair{1.0, -kInf}, {kInf, -kInf}, {6e153, -6e153}, {1e-300, -6e153}}) {
    const auto [u, v] = eval(vorlan::W_BEYOND_RANGE, x, y);
    EXPECT_TRUE(std::isnan(u) && std::isnan(v)) << x << " " << y;
  }
  for (const double y : {-6e153, -kInf}) {
    const auto [u, v] = eval(vorlan::W_RATIONAL_ELEMENT, 0.0, y);
    EXPECT_TRUE(std::isnan(u) && std::isnan(v)) << y;
  }
}

TEST(WComplete, RegionsElementIsTheKernelWhereItCompletes) {
  const double parts[] = {0.0,  -0.0, 1e-200, 0.3,  -0.7, 1.2,   -2.5,  4.0,
                          -6.5, 10.0, -25.0,  26.5, 1e8,  -3e15, 5e153, kNaN};
  for (double x : parts) {
    for (double y : parts) {
      double ku = 0.0, kv = 0.0;
      std::int32_t flag = 0;
      vorlan::W_REGIONS(x, y, ku, kv, flag);
      if (flag != 0) continue;
      const auto [u, v] = eval(vorlan::W_REGIONS_ELEMENT, x, y);
      EXPECT_SAME_BITS(ku, u) << x << " " << y;
      EXPECT_SAME_BITS(kv, v) << x << " " << y;
    }
  }
}

TEST(WComplete, RationalElementIsTheFormulaAboveAndItsReflectionBelow) {
  const double xs[] = {0.0, -0.0, 1e-5, 0.5, -1.3, 3.0, -7.5, 40.0, 1e4, -1e12};
  const double ys[] = {0.0, -0.0, 1e-5, 0.5, -0.5, 2.0, -2.0, -6.0, 30.0, -1e3, 1e9};
  for (double x : xs) {
    for (double y : ys) {
      const auto [u, v] = eval(vorlan::W_RATIONAL_ELEMENT, x, y);
      double eu = 0.0, ev = 0.0;
      if (y < 0.0) {
        double um = 0.0, vm = 0.0;
        vorlan::W_RATIONAL(-x, -y, um, vm);
        vorlan::W_REFLECT(x, y, um, vm, eu, ev);
      } else {
        vorlan::W_RATIONAL(x, y, eu, ev);
      }
      EXPECT_SAME_BITS(eu, u) << x << " " << y;
      EXPECT_SAME_BITS(ev, v) << x << " " << y;
    }
  }
  // w(-2i) = exp(4) erfc(-2) = 108.94090438997797...; the reflection doubles
  // exp(4) and subtracts the formula's value at 2i.
  const auto [u, v] = eval(vorlan::W_RATIONAL_ELEMENT, 0.0, -2.0);
  EXPECT_NEAR(u, 108.9409043899780, 2e-5 * 108.94);
  EXPECT_SAME_BITS(-0.0, v);
}

// On the lower imaginary axis w is real, and its zero imaginary part is -0 at
// x = +0 and x = -0 alike, in both routines: where the region kernel maps the
// value itself (|y| up to sqrt(EXP_LIMIT) ~ 26.618), where the reflection
// takes over with a finite real part, and where the real part overflows
// (|y| above ~ 26.629).
TEST(WComplete, LowerImaginaryAxisHasMinusZeroImaginaryPart) {
  const double edge = std::sqrt(vorlan::EXP_LIMIT);
  const double ys[] = {
      -1e-300, -0.5,   -3.0,  -20.0, -std::nextafter(edge, 0.0), -edge, -std::nextafter(edge, kInf),
      -26.625, -26.63, -30.0, -1e10};
  for (const Element f : {vorlan::W_REGIONS_ELEMENT, vorlan::W_RATIONAL_ELEMENT}) {
    for (double x : {0.0, -0.0}) {
      for (double y : ys) {
        const auto [u, v] = eval(f, x, y);
        EXPECT_SAME_BITS(-0.0, v) << x << " " << y;
        EXPECT_TRUE(u >= 1.0 && (std::isfinite(u) || y < -26.629)) << x << " " << y << " " << u;
      }
    }
  }
}

// Every NaN part of a result is a positive quiet NaN, whatever NaN the
// arithmetic makes (x86's default NaN is negative): the input's NaN part with
// its sign cleared where it has one (x before y; Octave's NA, 7ff840f440000000,
// stays NA), the plain one otherwise.  Parts that are not NaN keep their
// values (the region kernel's NaN + 0i).
TEST(WComplete, NaNPartsArePositiveQuietNaNs) {
  const auto from_bits = [](std::uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
  };
  const double pnan = from_bits(0x7ff8000000000000ULL);
  const double nnan = from_bits(0xfff8000000000000ULL);
  const double na = from_bits(0x7ff840f440000000ULL);
  const double minus_na = from_bits(0xfff840f440000000ULL);
  const double signalling = from_bits(0xfff0000000000123ULL);
  const double quieted = from_bits(0x7ff8000000000123ULL);
  struct Case {
    Element f;
    double x, y, u, v;  // expected bit for bit
  };
  const Element regions = vorlan::W_REGIONS_ELEMENT;
  const Element rational = vorlan::W_RATIONAL_ELEMENT;
  // clang-format off
  const Case cases[] = {
      {regions, pnan, 0.0, pnan, 0.0},
      {regions, nnan, 0.0, pnan, 0.0},
      {regions, pnan, -1.0, pnan, pnan},
      {regions, nnan, -1.0, pnan, pnan},
      {regions, 1.0, -kInf, pnan, pnan},
      {regions, 1e50, -1e50, pnan, pnan},
      {regions, nnan, 6e153, pnan, pnan},
      {regions, minus_na, 0.0, na, 0.0},
      {regions, na, -1.0, na, na},
      {regions, 2.0, minus_na, 0.0, 0.0},
      {regions, na, 1e200, na, na},
      {regions, minus_na, nnan, 0.0, 0.0},
      {rational, 6e153, 0.0, pnan, pnan},
      {rational, kInf, 0.0, pnan, pnan},
      {rational, 1.1e44, 0.0, pnan, pnan},
      {rational, -1.1e44, 1.0, pnan, pnan},
      {rational, 0.0, -1e50, pnan, pnan},
      {rational, -0.0, -kInf, pnan, pnan},
      {rational, 3.0, -1e50, pnan, pnan},
      {rational, nnan, 0.0, pnan, pnan},
      {rational, pnan, -1.0, pnan, pnan},
      {rational, 1.0, nnan, pnan, pnan},
      {rational, na, 0.0, na, na},
      {rational, minus_na, -1.0, na, na},
      {rational, 0.0, minus_na, na, na},
      {rational, signalling, 1.0, quieted, quieted},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto [u, v] = eval(c.f, c.x, c.y);
    const auto bits = [](double d) {
      std::uint64_t b;
      std::memcpy(&b, &d, sizeof b);
      return b;
    };
    const char* name = c.f == regions ? "regions" : "rational";
    EXPECT_EQ(bits(c.u), bits(u)) << name << " " << c.x << " " << c.y;
    EXPECT_EQ(bits(c.v), bits(v)) << name << " " << c.x << " " << c.y;
  }
}

// Long enough, and of an odd length, that any split of a block into vector
// lanes has a remainder; points from every path, neighbours mixed.
TEST(WComplete, BlocksEvaluateElementByElement) {
  const double re[] = {0.0, 1.5, -3.0, 1e10, 0.1, kNaN, 6e153, -2.0, 0.7, -1e-3, 26.0};
  const double im[] = {0.0, -0.4, 2.0, -1e6, -30.0, 1.0, 0.0, -kInf, 0.3, -5.5, 1e-200};
  std::vector<double> xr, xi;
  for (std::size_t k = 0; k < 43; ++k) {
    xr.push_back(re[k % 11]);
    xi.push_back(im[(k * 7) % 11]);
  }
  const auto n = static_cast<std::int64_t>(xr.size());
  const std::pair<decltype(&vorlan::W_REGIONS_BLOCK), Element> routines[] = {
      {vorlan::W_REGIONS_BLOCK, vorlan::W_REGIONS_ELEMENT},
      {vorlan::W_RATIONAL_BLOCK, vorlan::W_RATIONAL_ELEMENT}};
  for (const auto& [block, element] : routines) {
    std::vector<double> ur(xr.size()), ui(xr.size());
    block(xr.data(), xi.data(), ur.data(), ui.data(), n);
    for (std::size_t k = 0; k < xr.size(); ++k) {
      const auto [u, v] = eval(element, xr[k], xi[k]);
      EXPECT_SAME_BITS(u, ur[k]) << k;
      EXPECT_SAME_BITS(v, ui[k]) << k;
    }
  }
}

}  // namespace
