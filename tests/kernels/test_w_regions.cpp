// Edge cases of the region-based kernel: values fixed by the method's
// construction (checked bit for bit), the region boundaries, the range flag
// and the handling of NaN parts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

#include "vorlan/w_regions.hpp"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kScaleX = 6.300000190734863;
constexpr double kScaleY = 4.400000095367432;

struct Result {
  double u;
  double v;
  std::int32_t flag;
};

// Outputs preset to sentinels, so that an unwritten output shows.
Result regions(double x, double y) {
  Result r{-7.0, -9.0, 99};
  vorlan::W_REGIONS(x, y, r.u, r.v, r.flag);
  return r;
}

void expect_same_bits(double expected, double actual, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << what;
    return;
  }
  EXPECT_EQ(expected, actual) << what;
  EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << what;
}

TEST(WRegions, OriginIsOnePlusPositiveZero) {
  for (double x : {0.0, -0.0}) {
    for (double y : {0.0, -0.0}) {
      const Result r = regions(x, y);
      EXPECT_EQ(r.flag, 0);
      expect_same_bits(1.0, r.u, "u");
      expect_same_bits(0.0, r.v, "v");
    }
  }
}

// On the real axis Re w(x) = exp(-x^2); every region must give that exactly,
// and y = -0 must be the upper half-plane.
TEST(WRegions, RealAxisRealPartIsExpOfMinusXSquared) {
  for (double x : {1e-300, 1e-8, 0.5, 1.5, 1.7, 1.9, 2.5, 4.0, 6.2, 6.300000190734863, 6.4, 10.0,
                   27.0, 1e3, 1e10, 1e100, 5e153}) {
    for (double sx : {x, -x}) {
      const Result plus = regions(sx, 0.0);
      const Result minus = regions(sx, -0.0);
      EXPECT_EQ(plus.flag, 0) << sx;
      EXPECT_EQ(plus.u, std::exp(-(sx * sx))) << sx;
      EXPECT_EQ(minus.flag, 0) << sx;
      expect_same_bits(plus.u, minus.u, "u at y = -0");
      expect_same_bits(plus.v, minus.v, "v at y = -0");
    }
  }
}

// w(-x + iy) = conj(w(x + iy)) for y >= 0: the kernel computes the mirror
// point and negates, so the parts must agree bit for bit.
TEST(WRegions, MirrorSymmetryInTheUpperHalfPlane) {
  const double xs[] = {0.01, 0.3, 1.0, 2.0, 3.5, 5.0, 6.0, 8.0, 20.0, 1e4, 1e150};
  const double ys[] = {1e-12, 0.05, 0.4, 1.0, 1.3, 2.5, 4.0, 4.5, 9.0, 1e3, 1e150};
  for (double x : xs) {
    for (double y : ys) {
      const Result right = regions(x, y);
      const Result left = regions(-x, y);
      ASSERT_EQ(right.flag, 0) << x << " " << y;
      ASSERT_EQ(left.flag, 0) << x << " " << y;
      EXPECT_EQ(left.u, right.u) << x << " " << y;
      EXPECT_EQ(left.v, -right.v) << x << " " << y;
    }
  }
}

// q = 1 exactly sits on the Taylor side with a zero step; one ulp further out
// is the continued fraction.  Both must be accurate and agree.
TEST(WRegions, OuterRingBoundaryIsContinuous) {
  const double on = kScaleX;
  const double out = std::nextafter(kScaleX, kInf);
  // Im w(x) = 2/sqrt(pi) Dawson(x) at the two points (40-digit references).
  const Result a = regions(on, 0.0);
  const Result b = regions(out, 0.0);
  ASSERT_EQ(a.flag, 0);
  ASSERT_EQ(b.flag, 0);
  EXPECT_EQ(a.u, std::exp(-(on * on)));
  EXPECT_EQ(b.u, std::exp(-(out * out)));
  EXPECT_NEAR(a.v, 0.09072765686328377200, 3e-15 * 0.0907);
  EXPECT_NEAR(b.v, 0.09072765686328375886, 3e-15 * 0.0907);
  EXPECT_NEAR(a.v, b.v, 1e-15);
}

// The power series is good to a few 1e-7 only, the Taylor ring to ~1e-15, so
// crossing q = 0.085264 on the imaginary axis shows a jump of order 1e-7.
TEST(WRegions, SeriesToTaylorJumpIsOfTheSeriesAccuracy) {
  const double bound = 0.085264;
  double y = kScaleY * std::sqrt(bound);
  // The first double at or above the bound, computed as the kernel forms q.
  while ((y / kScaleY) * (y / kScaleY) >= bound) y = std::nextafter(y, 0.0);
  const double below = y;
  const double above = std::nextafter(y, kInf);
  const Result series = regions(0.0, below);
  const Result taylor = regions(0.0, above);
  const double reference = 0.36068315868096488809;  // w(i * 1.28480002784729...)
  EXPECT_NEAR(taylor.u, reference, 3e-15 * reference);
  const double jump = std::fabs(series.u - taylor.u) / taylor.u;
  EXPECT_GT(jump, 1e-8);
  EXPECT_LT(jump, 1e-6);
  EXPECT_EQ(series.v, 0.0);
  EXPECT_EQ(taylor.v, 0.0);
}

TEST(WRegions, LowerHalfPlaneOverflowStopsWithTheMirrorValue) {
  const Result low = regions(0.1, -30.0);
  const Result mirror = regions(0.1, 30.0);
  EXPECT_EQ(low.flag, -1);
  ASSERT_EQ(mirror.flag, 0);
  expect_same_bits(mirror.u, low.u, "u");
  expect_same_bits(mirror.v, low.v, "v");
}

TEST(WRegions, BeyondTheArgumentLimitLeavesOutputsUnwritten) {
  for (const auto& [x, y] : {std::pair{6e153, 0.0},
                             {0.0, 6e153},
                             {-6e153, -1.0},
                             {kInf, 0.0},
                             {0.0, -kInf},
                             {kNaN, kInf},
                             {kInf, kNaN}}) {
    const Result r = regions(x, y);
    EXPECT_EQ(r.flag, -1) << x << " " << y;
    EXPECT_EQ(r.u, -7.0) << x << " " << y;
    EXPECT_EQ(r.v, -9.0) << x << " " << y;
  }
}

TEST(WRegions, AtTheArgumentLimitTheValueIsFinite) {
  const Result r = regions(vorlan::ARG_LIMIT, 0.0);
  EXPECT_EQ(r.flag, 0);
  expect_same_bits(0.0, r.u, "u");
  EXPECT_NEAR(r.v, 1.128379167095513e-154, 1e-15 * 1.128e-154);
}

// A NaN part leaves the region counts undefined; the kernel must then skip its
// loops and give these values, with flag 0.
TEST(WRegions, NaNParts) {
  struct Case {
    double x, y, u, v;
  };
  const Case cases[] = {
      {kNaN, 0.0, kNaN, 0.0},  {kNaN, -0.0, kNaN, 0.0},  {kNaN, 1.0, 0.0, 0.0},
      {kNaN, 5e153, 0.0, 0.0}, {kNaN, -1.0, kNaN, kNaN}, {kNaN, kNaN, 0.0, 0.0},
      {1.0, kNaN, 0.0, 0.0},   {-1.0, kNaN, 0.0, -0.0},  {0.0, kNaN, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x=" << c.x << " y=" << c.y);
    const Result r = regions(c.x, c.y);
    EXPECT_EQ(r.flag, 0);
    expect_same_bits(c.u, r.u, "u");
    expect_same_bits(c.v, r.v, "v");
  }
}

}  // namespace
