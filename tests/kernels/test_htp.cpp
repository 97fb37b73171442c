// The Hartmann-Tran profile against tests/data/htp.csv (the definition at 50
// digits and more, written by tests/data/generate_htp.py), and its edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "reference_table.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"

namespace {

using vorlan::HtpValue;
using vorlan::kHtpArguments;
using vorlan::kHtpDerivatives;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEps = 2.220446049250313e-16;
constexpr double kPi = 3.141592653589793;
constexpr double kSubnormalUnit = 4.9406564584124654e-324;

using vorlan_test::read_table;

HtpValue Evaluate(const double (&a)[kHtpArguments]) {
  HtpValue v{};
  vorlan::HTP_ELEMENT(a, true, v);
  return v;
}

// Columns of htp.csv: the nine arguments, Re F, Im F, the eight derivatives'
// real and imaginary parts, each derivative's peak modulus over nu.
constexpr int kReF = 9;
constexpr int kDerivative = 11;
constexpr int kPeak = 27;
constexpr int kPeakGamma0 = kPeak + vorlan::kHtpGamma0 - 1;

const char* const kNames[kHtpDerivatives] = {"nu0",    "GammaD", "Gamma0", "Gamma2",
                                             "Delta0", "Delta2", "nuVC",   "eta"};

struct Worst {
  double ratio = 0.0;
  std::string where;
  void note(double r, const std::vector<double>& row) {
    if (std::isnan(ratio)) return;
    if (!(r <= ratio)) {
      ratio = r;
      std::ostringstream out;
      out.precision(17);
      for (int j = 0; j < kHtpArguments; ++j) out << row[j] << ' ';
      where = out.str();
    }
  }
};

// F to 1e-12 relative within 1e4 widths of the centre and 1e-10 beyond, Im F
// to 1e-14 of |F| near its sign change; each derivative to 1e-9 of the larger
// of its modulus and 1e-6 of its peak over nu, one that vanishes identically
// to 1e-15 of dF/dGamma0's peak.
TEST(HtpAccuracy, ValueAndDerivativesOverTheTable) {
  const auto rows = read_table("htp.csv");
  ASSERT_GT(rows.size(), 8000U);
  Worst re_f, im_f, derivative[kHtpDerivatives];
  for (const auto& row : rows) {
    double a[kHtpArguments];
    std::copy(row.begin(), row.begin() + kHtpArguments, a);
    const HtpValue v = Evaluate(a);
    const double re = row[kReF];
    const double im = row[kReF + 1];
    const double modulus = std::hypot(re, im);
    const bool near = std::fabs(a[0] - a[1]) <= 1e4 * (a[2] + a[3]);
    const double relative = near ? 1e-12 : 1e-10;
    // (a Gaussian's far wing underflows to 0 in the table: 0 expected)
    re_f.note(std::fabs(v.re - re) / std::max(relative * std::fabs(re), kSubnormalUnit), row);
    im_f.note(std::fabs(im) >= 1e-3 * modulus ? std::fabs(v.im - im) / (relative * std::fabs(im))
                                              : std::fabs(v.im - im) / (1e-14 * modulus),
              row);
    for (int k = 0; k < kHtpDerivatives; ++k) {
      const double dr = row[kDerivative + 2 * k];
      const double di = row[kDerivative + 2 * k + 1];
      const double err = std::hypot(v.d_re[k] - dr, v.d_im[k] - di);
      const double size = std::hypot(dr, di);
      if (size <= 1e-20 * row[kPeakGamma0]) {
        derivative[k].note(err / (1e-15 * row[kPeakGamma0]), row);
        continue;
      }
      // Delta2 at Gamma0 = Gamma2 = 0 is at the domain's edge: the table's
      // difference there straddles a jump
      if (k + 1 == vorlan::kHtpDelta2 && a[3] == 0.0 && a[4] == 0.0) continue;
      const double allowed = 1e-9 * std::max(size, 1e-6 * row[kPeak + k]);
      derivative[k].note(err / allowed, row);
    }
  }
  std::printf("  Re F worst %.3g of its bound at %s\n", re_f.ratio, re_f.where.c_str());
  std::printf("  Im F worst %.3g of its bound at %s\n", im_f.ratio, im_f.where.c_str());
  EXPECT_LE(re_f.ratio, 1.0) << re_f.where;
  EXPECT_LE(im_f.ratio, 1.0) << im_f.where;
  for (int k = 0; k < kHtpDerivatives; ++k) {
    std::printf("  dF/d%-7s worst %.3g of its bound\n", kNames[k], derivative[k].ratio);
    EXPECT_LE(derivative[k].ratio, 1.0) << kNames[k] << " at " << derivative[k].where;
  }
}

// For a line 300 Doppler widths broad and speed dependent, the derivatives
// join to 1e-11 of their size where the close points' methods meet (no table
// row need lie there): the continued fraction and the Taylor series at
// |mid| = 8.5 + |s|, the points' motion and K's far-wing series at |mid|^2 =
// 1024, and the series' orders at |C2t / q| = 1/4080, 1e-4, 1e-6 and 1e-8.
// mid^2 = -(q / C2t + s^2) with q = C0t + i (nu0 - nu), s = GammaD / (2
// sqrt(ln 2) C2t): each switch is where |X + i (nu0 - nu)| = R, X = C0t +
// C2t s^2 and R = |mid|^2 |C2t|, or X = C0t and R = |C2t| / |C2t / q|.
TEST(HtpAccuracy, CloseDerivativesJoinWhereMethodsMeet) {
  using C = std::complex<double>;
  const double line[kHtpArguments] = {0.0, 0.0, 1.0, 300.0, 40.0, 5.0, 3.0, 2.0, 0.2};
  const double keep = 1.0 - line[vorlan::kHtpEta];
  const C c2{line[vorlan::kHtpGamma2], line[vorlan::kHtpDelta2]};
  const C c2t = keep * c2;
  const C c0t = keep * (C{line[vorlan::kHtpGamma0], line[vorlan::kHtpDelta0]} - 1.5 * c2) +
                line[vorlan::kHtpNuVC];
  const C s = line[vorlan::kHtpGammaD] / (2.0 * std::sqrt(std::log(2.0))) / c2t;
  const C centre = c0t + c2t * s * s;
  const double fraction_edge = 8.5 + std::abs(s);
  struct Switch {
    const char* what;
    C x;
    double radius;
  };
  const double c2t_size = std::abs(c2t);
  const Switch switches[] = {
      {"fraction and Taylor series", centre, fraction_edge * fraction_edge * c2t_size},
      {"far-wing series", centre, 1024.0 * c2t_size},
      {"12 and 10 orders", c0t, 4080.0 * c2t_size},
      {"10 and 9 orders", c0t, 1e4 * c2t_size},
      {"9 and 7 orders", c0t, 1e6 * c2t_size},
      {"7 and 5 orders", c0t, 1e8 * c2t_size},
  };
  for (const Switch& at : switches) {
    const double detuning =
        -at.x.imag() + std::sqrt(at.radius * at.radius - at.x.real() * at.x.real());
    HtpValue side[2];
    for (int j = 0; j < 2; ++j) {
      double a[kHtpArguments];
      std::copy(line, line + kHtpArguments, a);
      a[vorlan::kHtpNu] = -detuning * (j == 0 ? 1.0 - 1e-14 : 1.0 + 1e-14);
      side[j] = Evaluate(a);
    }
    for (int k = 0; k < kHtpDerivatives; ++k) {
      const double jump =
          std::hypot(side[1].d_re[k] - side[0].d_re[k], side[1].d_im[k] - side[0].d_im[k]);
      EXPECT_LE(jump, 1e-11 * std::hypot(side[0].d_re[k], side[0].d_im[k]))
          << kNames[k] << " where " << at.what << " meet";
    }
  }
}

// The arguments' order: nu, nu0, GammaD, Gamma0, Gamma2, Delta0, Delta2, nuVC, eta.
struct EdgeCase {
  const char* what;
  double a[kHtpArguments];
  double re, im;    // expected F (NaN: NaN)
  double d_expect;  // every derivative's parts (NaN: NaN; 1: not checked)
};

TEST(HtpEdges, InvalidArgumentsInfiniteDetuningAndTheLorentzPole) {
  const EdgeCase cases[] = {
      {"NaN nu", {kNaN, 0, 1, 1, 0.1, 0, 0, 0, 0}, kNaN, kNaN, kNaN},
      {"NaN eta", {0, 0, 1, 1, 0.1, 0, 0, 0, kNaN}, kNaN, kNaN, kNaN},
      {"NaN Delta2", {0, 0, 1, 1, 0.1, 0, kNaN, 0, 0}, kNaN, kNaN, kNaN},
      {"negative GammaD", {0, 0, -1, 1, 0.1, 0, 0, 0, 0}, kNaN, kNaN, kNaN},
      {"negative Gamma0", {0, 0, 1, -1, 0.1, 0, 0, 0, 0}, kNaN, kNaN, kNaN},
      {"negative Gamma2", {0, 0, 1, 1, -0.1, 0, 0, 0, 0}, kNaN, kNaN, kNaN},
      {"negative nuVC", {0, 0, 1, 1, 0.1, 0, 0, -1, 0}, kNaN, kNaN, kNaN},
      {"eta above 1", {0, 0, 1, 1, 0.1, 0, 0, 0, 1.5}, kNaN, kNaN, kNaN},
      {"eta below 0", {0, 0, 1, 1, 0.1, 0, 0, 0, -0.1}, kNaN, kNaN, kNaN},
      {"nu at +Inf", {kInf, 0, 1, 1, 0.1, 0.2, 0.01, 0.3, 0.2}, 0.0, 0.0, 0.0},
      {"nu0 at -Inf", {0, -kInf, 1, 1, 0.1, 0.2, 0.01, 0.3, 0.2}, 0.0, 0.0, 0.0},
      {"all widths zero, at the shifted centre",
       {2.5, 2, 0, 0, 0, 0.5, 0, 0, 0.3},
       kInf,
       0.0,
       kNaN},
      {"all widths zero, off it", {3.0, 2, 0, 0, 0, 0.5, 0, 0, 0.3}, 0.0, 1 / (kPi * 0.5), 1},
  };
  for (const EdgeCase& c : cases) {
    const HtpValue v = Evaluate(c.a);
    auto same = [](double got, double want) {
      return std::isnan(want) ? std::isnan(got)
                              : got == want || std::fabs(got - want) <= 1e-15 * std::fabs(want);
    };
    EXPECT_TRUE(same(v.re, c.re) && same(v.im, c.im)) << c.what << ": " << v.re << " " << v.im;
    if (c.d_expect == 1.0) continue;
    for (int k = 0; k < kHtpDerivatives; ++k) {
      EXPECT_TRUE(same(v.d_re[k], c.d_expect) && same(v.d_im[k], c.d_expect))
          << c.what << " derivative " << kNames[k];
    }
  }
}

// The profile's limits: Voigt (to 1e-14 plus what rounding its argument moves
// it by), Lorentz at GammaD = 0, and continuity into C2t = 0 and GammaD = 0.
TEST(HtpEdges, LimitsAndContinuity) {
  const double ln2 = std::log(2.0);
  double worst_voigt = 0.0;
  for (double gamma0 : {0.0, 1e-4, 0.3, 1.0, 30.0}) {
    for (int step = -108; step <= 108; ++step) {
      const double x = 0.37 * step;
      const double a[kHtpArguments] = {1000.0 + x, 1000.0, 1.0, gamma0, 0, 0.25, 0, 0, 0};
      const HtpValue v = Evaluate(a);
      const double sigma = 1.0 / std::sqrt(2.0 * ln2);
      double voigt, d1, d2, d3;
      vorlan::VOIGT_ELEMENT((1000.0 + x) - 1000.0 - 0.25, sigma, gamma0, voigt, d1, d2, d3);
      const double scaled = (x - 0.25) / sigma;
      // the argument's roundings (the width's, the detuning's, the division's)
      // each move a Gaussian wing by about eps (x / sigma)^2; and a few units
      // in the last place of a subnormal result
      const double allowed = (1e-14 + 3 * kEps * scaled * scaled) * voigt + 8 * kSubnormalUnit;
      worst_voigt = std::max(worst_voigt, std::fabs(v.re - voigt) / allowed);
    }
  }
  std::printf("  Voigt limit worst %.3g of its bound\n", worst_voigt);
  EXPECT_LE(worst_voigt, 1.0);

  // GammaD = 0 with C2 = 0 is the Lorentzian whatever nuVC and eta
  const double lorentz[kHtpArguments] = {3.0, 2.0, 0.0, 0.4, 0.0, 0.1, 0.0, 0.7, 0.3};
  const HtpValue l = Evaluate(lorentz);
  const double den = 0.4 * 0.4 + 0.9 * 0.9;
  EXPECT_NEAR(l.re, 0.4 / (kPi * den), 1e-16);
  EXPECT_NEAR(l.im, 0.9 / (kPi * den), 1e-16);

  // Tiny Doppler width, tiny C2t, and eta near 1, against their limits: no
  // method switch shows as a jump.
  const double base[kHtpArguments] = {1.7, 0.0, 1.0, 0.8, 0.2, 0.1, 0.03, 0.4, 0.3};
  struct Limit {
    int argument;
    double tiny;
  };
  for (const Limit& lim : {Limit{vorlan::kHtpGammaD, 1e-9}, Limit{vorlan::kHtpGamma2, 1e-12},
                           Limit{vorlan::kHtpEta, 1.0 - 1e-12}}) {
    double at[kHtpArguments];
    double near[kHtpArguments];
    std::copy(base, base + kHtpArguments, at);
    std::copy(base, base + kHtpArguments, near);
    at[lim.argument] = lim.argument == vorlan::kHtpEta ? 1.0 : 0.0;
    near[lim.argument] = lim.tiny;
    if (lim.argument == vorlan::kHtpGamma2) at[vorlan::kHtpDelta2] = near[vorlan::kHtpDelta2] = 0;
    const HtpValue v0 = Evaluate(at);
    const HtpValue v1 = Evaluate(near);
    const double size = std::hypot(v0.re, v0.im);
    EXPECT_NEAR(v1.re, v0.re, 1e-7 * size) << "argument " << lim.argument;
    EXPECT_NEAR(v1.im, v0.im, 1e-7 * size) << "argument " << lim.argument;
    for (int k = 0; k < kHtpDerivatives; ++k) {
      const double d = std::hypot(v0.d_re[k], v0.d_im[k]) + size;
      EXPECT_NEAR(v1.d_re[k], v0.d_re[k], 1e-6 * d)
          << "argument " << lim.argument << " " << kNames[k];
      EXPECT_NEAR(v1.d_im[k], v0.d_im[k], 1e-6 * d)
          << "argument " << lim.argument << " " << kNames[k];
    }
  }
}

}  // namespace
