// Accuracy of the w(z) kernels against high-precision values computed with mpmath
// (tests/data/w_reference.csv, written by tests/data/generate_w_reference.py).
// Each test covers one region or half-plane and reports its worst point.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

using Complex = std::complex<double>;

struct RefPoint {
  double x, y;
  Complex w;
  std::string region;  // series, taylor or fraction
};

static const std::vector<RefPoint>& Reference() {
  static const std::vector<RefPoint> points = [] {
    std::vector<RefPoint> pts;
    std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/w_reference.csv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
      std::istringstream row(line);
      std::string f[5];
      for (std::string& field : f) std::getline(row, field, ',');
      // strtod, not stod: subnormal parts set ERANGE, which stod turns into a throw.
      auto num = [](const std::string& s) { return std::strtod(s.c_str(), nullptr); };
      pts.push_back({num(f[0]), num(f[1]), Complex(num(f[2]), num(f[3])), f[4]});
    }
    return pts;
  }();
  return points;
}

static Complex Regions(const RefPoint& p) {
  double u = NAN, v = NAN;
  std::int32_t flag = 0;
  vorlan::W_REGIONS(p.x, p.y, u, v, flag);
  return flag == 0 ? Complex(u, v) : Complex(NAN, NAN);  // no reference point is flagged
}

static Complex RegionsElement(const RefPoint& p) {
  double u, v;
  vorlan::W_REGIONS_ELEMENT(p.x, p.y, u, v);
  return Complex(u, v);
}

static Complex Rational(const RefPoint& p) {
  double u, v;
  vorlan::W_RATIONAL(p.x, p.y, u, v);
  return Complex(u, v);
}

static Complex RationalElement(const RefPoint& p) {
  double u, v;
  vorlan::W_RATIONAL_ELEMENT(p.x, p.y, u, v);
  return Complex(u, v);
}

static bool Upper(const RefPoint& p) { return p.y >= 0; }  // y = -0 included
static bool Lower(const RefPoint& p) { return p.y < 0; }

// |2 exp(-z^2)| and |w(-z)| for a lower half-plane point: the two terms of the
// reflection w(z) = 2 exp(-z^2) - w(-z), the scale of its rounding errors.
struct ReflectionTerms {
  double two_exp, w_minus_z;
};
static ReflectionTerms Terms(const RefPoint& p) {
  const double two_exp = 2 * std::exp((p.y - p.x) * (p.y + p.x));
  const Complex e = two_exp * Complex(std::cos(2 * p.x * p.y), -std::sin(2 * p.x * p.y));
  return {two_exp, std::abs(e - p.w)};
}

// Checks |computed - reference| <= bound(p) over the points `select` picks,
// and reports the point with the largest error/bound ratio.
static void CheckGroup(const std::function<bool(const RefPoint&)>& select,
                       const std::function<Complex(const RefPoint&)>& kernel,
                       const std::function<double(const RefPoint&)>& bound,
                       std::size_t min_points) {
  std::size_t count = 0, failures = 0;
  double worst_ratio = -1, worst_err = 0, worst_bound = 0;
  const RefPoint* worst = nullptr;
  Complex worst_got;
  for (const RefPoint& p : Reference()) {
    if (!select(p)) continue;
    ++count;
    const Complex got = kernel(p);
    const double err = std::abs(got - p.w), allowed = bound(p);
    const bool ok = err <= allowed;  // false for NaN
    failures += !ok;
    const double ratio = ok ? (err > 0 ? err / allowed : 0) : HUGE_VAL;
    if (ratio > worst_ratio) {
      worst_ratio = ratio;
      worst_err = err;
      worst_bound = allowed;
      worst = &p;
      worst_got = got;
    }
  }
  ASSERT_GE(count, min_points) << "reference table missing or incomplete";
  char where[400];
  std::snprintf(where, sizeof where,
                "worst at z = %.17g %+.17gi: got %.17g %+.17gi, reference %.17g %+.17gi, "
                "error %.3g (relative %.3g), allowed %.3g",
                worst->x, worst->y, worst_got.real(), worst_got.imag(), worst->w.real(),
                worst->w.imag(), worst_err, worst_err / std::abs(worst->w), worst_bound);
  ::testing::Test::RecordProperty("worst", where);
  EXPECT_EQ(failures, 0u) << failures << " of " << count << " points fail; " << where;
}

static std::function<bool(const RefPoint&)> In(bool (*half)(const RefPoint&), const char* region) {
  return [half, region](const RefPoint& p) { return half(p) && p.region == region; };
}

static std::function<double(const RefPoint&)> Relative(double c) {
  return [c](const RefPoint& p) { return c * std::abs(p.w); };
}

// The power series is evaluated with single-precision coefficients and
// truncation; its relative error peaks near 3e-7 at the top of its region.
TEST(WRegionsAccuracy, SeriesUpperHalfPlane) {
  CheckGroup(In(Upper, "series"), Regions, Relative(3.6e-7), 100);
}

TEST(WRegionsAccuracy, TaylorUpperHalfPlane) {
  CheckGroup(In(Upper, "taylor"), Regions, Relative(3e-15), 100);
}

TEST(WRegionsAccuracy, FractionUpperHalfPlane) {
  CheckGroup(In(Upper, "fraction"), Regions, Relative(3e-15), 100);
}

// On the real axis Re w(x) = exp(-x^2), the Gaussian limit of the Voigt profile.
// Beyond x ~ 6 it is below 1e-15 |w|, out of sight of the bounds above.
TEST(WRegionsAccuracy, RealPartOnRealAxis) {
  auto real_part = [](const RefPoint& p) { return Complex(Regions(p).real(), p.w.imag()); };
  auto bound = [](const RefPoint& p) { return 3e-15 * std::abs(p.w.real()); };
  CheckGroup([](const RefPoint& p) { return p.y == 0; }, real_part, bound, 50);
}

// The series' single-precision character must show where its error peaks: an
// error of order 1e-15 there would mean another method ran in its place.
TEST(WRegionsAccuracy, SeriesErrorShowsOnUpperImaginaryAxis) {
  double largest = 0;
  int count = 0;
  for (const RefPoint& p : Reference()) {
    if (p.x != 0 || p.y < 1.2 || p.region != "series") continue;
    ++count;
    largest = std::fmax(largest, std::abs(Regions(p) - p.w) / std::abs(p.w));
  }
  ASSERT_GE(count, 10);
  EXPECT_GT(largest, 1e-8);
}

// Below the real axis w(z) = 2 exp(-z^2) - w(-z), and the two terms can cancel,
// so errors are measured against their size, not against |w|.  Outside the
// series the terms are accurate to a few ulps, except that x^2 - y^2 and 2xy
// are rounded before exp, cos and sin see them: an absolute error of up to
// eps |z|^2 each in the exponent, which exp(-z^2) carries as relative error.
static std::function<double(const RefPoint&)> Reflected(double c_exp, double c_w) {
  return [c_exp, c_w](const RefPoint& p) {
    const ReflectionTerms t = Terms(p);
    const double eps = std::numeric_limits<double>::epsilon();
    return (c_exp + 2 * eps * (p.x * p.x + p.y * p.y)) * t.two_exp + c_w * t.w_minus_z;
  };
}

// In the series region the series itself handles z (3.6e-7 of either term).
TEST(WRegionsElementAccuracy, SeriesLowerHalfPlane) {
  CheckGroup(In(Lower, "series"), RegionsElement, Reflected(3.6e-7, 3.6e-7), 100);
}

TEST(WRegionsElementAccuracy, TaylorLowerHalfPlane) {
  CheckGroup(In(Lower, "taylor"), RegionsElement, Reflected(1e-14, 1e-14), 100);
}

TEST(WRegionsElementAccuracy, FractionLowerHalfPlane) {
  CheckGroup(In(Lower, "fraction"), RegionsElement, Reflected(1e-14, 1e-14), 100);
}

// The formula's own error peaks at 1.66e-5 on the real axis near x = 2.47.  Its
// Horner steps reach |z|^7 in double and overflow beyond |z| ~ 1e44, where the
// formula has no value; between 1e22 and that, only the wide-range quotient
// keeps it finite.
TEST(WRationalAccuracy, UpperHalfPlane) {
  auto in_range = [](const RefPoint& p) { return Upper(p) && std::hypot(p.x, p.y) < 1e43; };
  CheckGroup(in_range, Rational, Relative(1.7e-5), 500);
}

// The formula's error enters through w(-z) alone; the exponential part is
// computed in double as above.
TEST(WRationalElementAccuracy, LowerHalfPlane) {
  CheckGroup(Lower, RationalElement, Reflected(1e-14, 2e-5), 500);
}

static Complex FullElement(const RefPoint& p) {
  double u, v, du, dv;
  vorlan::W_FULL_ELEMENT(p.x, p.y, u, v, du, dv);
  return Complex(u, v);
}

// The full-precision kernel's stated bounds in the upper half-plane: |w|
// within 9.3e-16 relative, Re w within 3.3e-15 of itself off the real axis.
TEST(WFullAccuracy, UpperHalfPlane) {
  CheckGroup(Upper, FullElement, Relative(9.3e-16), 500);
  auto real_part = [](const RefPoint& p) { return Complex(FullElement(p).real(), p.w.imag()); };
  auto of_itself = [](const RefPoint& p) { return 3.3e-15 * std::abs(p.w.real()); };
  CheckGroup([](const RefPoint& p) { return p.y >= 1e-8; }, real_part, of_itself, 300);
}
