// The block evaluators give, for every element, exactly the bits of the
// element routines W_REGIONS_ELEMENT and W_RATIONAL_ELEMENT, whatever the
// block's size, the element's position, the arrays' alignment, the vector
// width and the thread count, NaN results included (each is the positive
// quiet NaN).  The same holds for the line shapes' blocks against their
// element routines, with any selection of outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "../kernels/reference_table.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_blocks.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"

namespace {

using vorlan::BlockPlan;
using vorlan::BlockWidth;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kScaleX = 6.300000190734863;
constexpr double kScaleY = 4.400000095367432;
// pi rounded to double (M_PI is POSIX, not standard C++).
constexpr double kPi = 3.141592653589793;

struct Points {
  std::vector<double> x, y;
  void add(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
  std::size_t size() const { return x.size(); }
};

enum class Kernel { kRegions, kRational };

void element(Kernel kernel, double x, double y, double& u, double& v) {
  if (kernel == Kernel::kRegions) {
    vorlan::W_REGIONS_ELEMENT(x, y, u, v);
  } else {
    vorlan::W_RATIONAL_ELEMENT(x, y, u, v);
  }
}

void block(Kernel kernel, const BlockPlan& plan, const double* xr, const double* xi, double* ur,
           double* ui, std::int64_t n) {
  if (kernel == Kernel::kRegions) {
    vorlan::W_REGIONS_BLOCK_PLANNED(plan, xr, xi, ur, ui, n);
  } else {
    vorlan::W_RATIONAL_BLOCK_PLANNED(plan, xr, xi, ur, ui, n);
  }
}

bool same_bits(double a, double b) {
  std::uint64_t bits_a;
  std::uint64_t bits_b;
  std::memcpy(&bits_a, &a, sizeof a);
  std::memcpy(&bits_b, &b, sizeof b);
  return bits_a == bits_b;
}

std::vector<BlockWidth> available_widths() {
  std::vector<BlockWidth> widths;
  for (BlockWidth w :
       {BlockWidth::kScalar, BlockWidth::kBaseline, BlockWidth::kAvx2, BlockWidth::kAvx512}) {
    if (vorlan::BLOCK_WIDTH_AVAILABLE(w)) widths.push_back(w);
  }
  return widths;
}

// Evaluates the points as one block starting `offset` doubles into fresh
// arrays (so misaligned for every vector width when offset is odd) and
// compares every element with the element routine; reports the first few
// differences.
void expect_element_bits(Kernel kernel, const BlockPlan& plan, const Points& p,
                         std::size_t offset = 0) {
  const std::size_t n = p.size();
  std::vector<double> xr(n + offset), xi(n + offset), ur(n + offset, -7.0), ui(n + offset, -7.0);
  std::copy(p.x.begin(), p.x.end(), xr.begin() + offset);
  std::copy(p.y.begin(), p.y.end(), xi.begin() + offset);
  block(kernel, plan, xr.data() + offset, xi.data() + offset, ur.data() + offset,
        ui.data() + offset, static_cast<std::int64_t>(n));
  int reported = 0;
  for (std::size_t k = 0; k < n && reported < 5; ++k) {
    double u = 0.0;
    double v = 0.0;
    element(kernel, p.x[k], p.y[k], u, v);
    if (!same_bits(u, ur[k + offset]) || !same_bits(v, ui[k + offset])) {
      ++reported;
      ADD_FAILURE() << (kernel == Kernel::kRegions ? "regions" : "rational") << " width "
                    << static_cast<int>(plan.width) << " threads " << plan.threads << " n " << n
                    << " element " << k << " z = " << std::hexfloat << p.x[k] << " + " << p.y[k]
                    << "i: block " << ur[k + offset] << " + " << ui[k + offset] << "i, element "
                    << u << " + " << v << "i";
    }
  }
  for (std::size_t k = 0; k < offset; ++k) {  // nothing written outside the block
    EXPECT_EQ(ur[k], -7.0);
    EXPECT_EQ(ui[k], -7.0);
  }
}

// Random points of several kinds, interleaved so that every batch mixes
// regions, half-planes and pass counts.
Points random_points(std::size_t n, std::uint32_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_real_distribution<double> decades(-320.0, 300.0);
  Points p;
  for (std::size_t k = 0; k < n; ++k) {
    switch (k % 5) {
      case 0: p.add(2.5 * unit(rng), 1.5 * unit(rng)); break;  // series and inner ring
      case 1: p.add(12.0 * unit(rng), 12.0 * unit(rng)); break;
      case 2: p.add(10.0 * unit(rng), 5.0 * std::fabs(unit(rng))); break;
      case 3:  // log-uniform magnitudes from subnormal to near overflow
        p.add(std::copysign(std::pow(10.0, decades(rng)), unit(rng)),
              std::copysign(std::pow(10.0, decades(rng)), unit(rng)));
        break;
      default:  // large points, where the lower half-plane overflows or is cut off
        p.add(std::copysign(std::pow(10.0, 10.0 * std::fabs(unit(rng))), unit(rng)),
              std::copysign(std::pow(10.0, 10.0 * std::fabs(unit(rng))), unit(rng)));
        break;
    }
  }
  return p;
}

void add_with_neighbours(Points& p, double x, double y) {
  for (double px : {std::nextafter(x, -kInf), x, std::nextafter(x, kInf)}) {
    for (double py : {std::nextafter(y, -kInf), y, std::nextafter(y, kInf)}) {
      for (double sx : {1.0, -1.0}) {
        for (double sy : {1.0, -1.0}) p.add(sx * px, sy * py);
      }
    }
  }
}

// Points on and next to every boundary the kernels branch on.
Points edge_points() {
  Points p;
  // The region boundaries q = 0.085264 and q = 1, around the ellipse.
  for (double q : {0.085264, 1.0}) {
    for (int k = 0; k <= 12; ++k) {
      const double angle = k * (kPi / 24.0);
      add_with_neighbours(p, std::sqrt(q) * std::cos(angle) * kScaleX,
                          std::sqrt(q) * std::sin(angle) * kScaleY);
    }
    add_with_neighbours(p, std::sqrt(q) * kScaleX, 0.0);
    add_with_neighbours(p, 0.0, std::sqrt(q) * kScaleY);
  }
  // Zeros, subnormals and the axes.
  for (double t : {0.0, 4.9e-324, 1e-310, 2.2250738585072014e-308, 1e-8, 0.5, 3.0, 30.0}) {
    add_with_neighbours(p, t, 0.0);
    add_with_neighbours(p, 0.0, t);
    add_with_neighbours(p, t, t);
  }
  // The range limit, alone and with a moderate other part.
  for (double other : {0.0, 1.0, 1e100, vorlan::ARG_LIMIT}) {
    add_with_neighbours(p, vorlan::ARG_LIMIT, other);
    add_with_neighbours(p, other, vorlan::ARG_LIMIT);
  }
  add_with_neighbours(p, 6e153, 0.0);
  add_with_neighbours(p, 1e30, 1e-30);
  add_with_neighbours(p, 1.09e44, 1.0);
  add_with_neighbours(p, 1.7976931348623157e308, 1.0);
  // The lower half-plane's exponent and phase limits.
  add_with_neighbours(p, 0.0, std::sqrt(vorlan::EXP_LIMIT));
  add_with_neighbours(p, 1.0, std::sqrt(vorlan::EXP_LIMIT + 1.0));
  add_with_neighbours(p, 0.1, 30.0);
  add_with_neighbours(p, 0.0, 26.625);  // the imaginary axis: overflow of the real part
  add_with_neighbours(p, 0.0, 1e10);
  add_with_neighbours(p, 1e10, 1e6);
  const double phase_edge = std::sqrt(vorlan::TRIG_LIMIT / 2.0);
  add_with_neighbours(p, phase_edge, phase_edge);
  add_with_neighbours(p, vorlan::TRIG_LIMIT / 2.0, 1.0);
  add_with_neighbours(p, 27.0, 26.0);  // exp(-z^2) near underflow
  add_with_neighbours(p, 38.6, 1.0);
  // Infinities and NaNs in every combination with ordinary parts, among them a
  // NaN with a payload (as Octave's NA has one) and the sign bit set.
  const double minus_na = -std::nan("1954");
  for (double a : {kInf, kNaN, 0.0, 2.0, 1e200}) {
    for (double b : {kInf, kNaN, minus_na}) {
      for (double s : {1.0, -1.0}) {
        p.add(s * a, b);
        p.add(s * a, -b);
        p.add(b, s * a);
        p.add(-b, s * a);
      }
    }
  }
  return p;
}

// The region kernel's count arguments, formed as the kernel forms them from
// the scaled coordinates and q: the series term count, the Taylor order and
// depth (rounded to nearest, halves away from zero) and the continued
// fraction's depth (truncated), each with its region's range of q.
struct CountArgument {
  const char* name;
  double (*of)(double sy, double q);
  double q_low, q_high;              // the region: q_low <= q < q_high, or q_low < q <= q_high
  double first_target, last_target;  // every half (every integer when truncated) between
};

double ring_r(double sy, double q) { return (1.0 - sy) * std::sqrt(1.0 - q); }

const CountArgument kCountArguments[] = {
    {"series terms",
     [](double sy, double q) {
       return 6.0 + 72.0 * ((1.0 - 0.8500000238418579 * sy) * std::sqrt(q));
     },
     0.0, 0.085264, 6.5, 26.5},
    {"Taylor order", [](double sy, double q) { return 7.0 + 34.0 * ring_r(sy, q); }, 0.085264, 1.0,
     7.5, 39.5},
    {"Taylor depth", [](double sy, double q) { return 16.0 + 26.0 * ring_r(sy, q); }, 0.085264, 1.0,
     16.5, 40.5},
    {"fraction depth", [](double, double q) { return 1442.0 / (26.0 * std::sqrt(q) + 77.0) + 3.0; },
     1.0, 4000.0, 4.0, 17.0},
};

bool in_region(const CountArgument& c, double q) {
  if (c.q_low == 0.0) return q < c.q_high;  // series
  if (c.q_low == 1.0) return q > 1.0;       // fraction
  return q >= c.q_low && q <= c.q_high;     // Taylor ring
}

double scaled_q(double x, double y) {
  const double sx = std::fabs(x) / kScaleX;
  const double sy = std::fabs(y) / kScaleY;
  return sx * sx + sy * sy;
}

double count_argument(const CountArgument& c, double x, double y) {
  return c.of(std::fabs(y) / kScaleY, scaled_q(x, y));
}

// A point on the line with `fixed` as one coordinate (y when horizontal)
// whose count argument is exactly `target`, within the count's region:
// bisection to the crossing, then the neighbouring doubles.  The arguments
// are rounded, so a line may step over the target: false then.
bool point_on_target(const CountArgument& c, bool horizontal, double fixed, double target,
                     double& px, double& py) {
  const double scale_fixed = horizontal ? kScaleY : kScaleX;
  const double scale_moving = horizontal ? kScaleX : kScaleY;
  const double s_fixed = fixed / scale_fixed;
  if (s_fixed * s_fixed >= c.q_high) return false;
  double lo = scale_moving * std::sqrt(std::max(0.0, c.q_low - s_fixed * s_fixed));
  double hi = scale_moving * std::sqrt(c.q_high - s_fixed * s_fixed);
  const auto point = [&](double t, double& x, double& y) {
    x = horizontal ? t : fixed;
    y = horizontal ? fixed : t;
  };
  const auto at = [&](double t) {
    double x, y;
    point(t, x, y);
    return count_argument(c, x, y);
  };
  const bool rising = at(lo) < at(hi);
  for (int i = 0; i < 200; ++i) {
    const double mid = lo + (hi - lo) / 2.0;
    if (mid <= lo || mid >= hi) break;
    if ((at(mid) < target) == rising) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  for (double direction : {kInf, -kInf}) {
    double t = lo;
    for (int k = 0; k < 40; ++k) {
      point(t, px, py);
      if (at(t) == target && in_region(c, scaled_q(px, py))) return true;
      t = std::nextafter(t, direction);
    }
  }
  return false;
}

// Points where a count lands exactly on a half (on an integer for the
// truncated depth), for every count of every kind the kernel uses, in all
// four quadrants: a lane that rounds such a half the other way from the
// element routine runs one pass more or less.  Near q = 1 a count moves by
// many units in the last place from one double to the next, so many lines
// are tried; each count is taken on up to three of them.
Points half_count_points(std::vector<std::string>& missed) {
  constexpr int kLines = 2000;
  constexpr int kLinesPerCount = 3;
  Points p;
  for (const CountArgument& c : kCountArguments) {
    for (int step = 0; c.first_target + step <= c.last_target; ++step) {
      const double target = c.first_target + step;
      int found = 0;
      for (int k = 0; k < kLines && found < kLinesPerCount; ++k) {
        const bool horizontal = k % 2 == 0;
        // Fixed coordinates spread evenly over [0, 1) of the scale (the
        // golden-ratio sequence), so that the lines cross every region.
        const double spread = std::fmod(static_cast<double>(k / 2) * 0.6180339887498949, 1.0);
        const double fixed = (horizontal ? kScaleY : kScaleX) * spread;
        double x, y;
        if (!point_on_target(c, horizontal, fixed, target, x, y)) continue;
        ++found;
        for (double sx : {1.0, -1.0}) {
          for (double sy : {1.0, -1.0}) p.add(sx * x, sy * y);
        }
      }
      if (found == 0) missed.push_back(std::string(c.name) + " " + std::to_string(target));
    }
  }
  return p;
}

TEST(BlockCounts, CountsLandingExactlyOnAHalfAtEveryWidth) {
  std::vector<std::string> missed;
  const Points points = half_count_points(missed);
  for (const std::string& m : missed) ADD_FAILURE() << "no point found for the " << m;
  for (BlockWidth w : available_widths()) {
    expect_element_bits(Kernel::kRegions, {w, 1}, points);
  }
}

class BlockBits : public ::testing::TestWithParam<Kernel> {};

TEST_P(BlockBits, RandomPointsAtEveryWidthAndThreadCount) {
  const Points points = random_points(60000, 11);
  for (BlockWidth w : available_widths()) {
    for (int threads : {0, 1, 2, 3}) {
      expect_element_bits(GetParam(), {w, threads}, points);
    }
  }
}

TEST_P(BlockBits, EdgePointsAtEveryWidth) {
  const Points points = edge_points();
  for (BlockWidth w : available_widths()) {
    expect_element_bits(GetParam(), {w, 1}, points);
    expect_element_bits(GetParam(), {w, 5}, points);
  }
}

// Tails, partly filled batches and misaligned arrays: every size around the
// vector and batch widths, at every offset within a cache line.
TEST_P(BlockBits, OddSizesAndMisalignedArrays) {
  const Points all = random_points(1100, 23);
  for (BlockWidth w : available_widths()) {
    for (std::size_t n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 47, 1023}) {
      Points p;
      p.x.assign(all.x.begin(), all.x.begin() + n);
      p.y.assign(all.y.begin(), all.y.begin() + n);
      for (std::size_t offset = 0; offset < 8; ++offset) {
        expect_element_bits(GetParam(), {w, 1}, p, offset);
      }
      expect_element_bits(GetParam(), {w, 2}, p, 3);
    }
  }
}

// One point's value does not depend on its neighbours or on which batch,
// lane or thread it lands in: the same point repeated among others.
TEST_P(BlockBits, SamePointSameBitsAnywhere) {
  Points p = random_points(5000, 5);
  for (std::size_t k = 0; k < p.size(); k += 37) {
    p.x[k] = 3.25;
    p.y[k] = -1.5;
  }
  for (BlockWidth w : available_widths()) {
    expect_element_bits(GetParam(), {w, 0}, p);
    expect_element_bits(GetParam(), {w, 4}, p, 1);
  }
}

// Large blocks take the automatic thread count (several threads on a
// multi-core machine): the default entry points are checked there.
TEST_P(BlockBits, DefaultEntryPointsOnLargeBlocks) {
  const Points p = random_points(300001, 31);
  const std::size_t n = p.size();
  std::vector<double> ur(n), ui(n);
  if (GetParam() == Kernel::kRegions) {
    vorlan::W_REGIONS_BLOCK(p.x.data(), p.y.data(), ur.data(), ui.data(), n);
  } else {
    vorlan::W_RATIONAL_BLOCK(p.x.data(), p.y.data(), ur.data(), ui.data(), n);
  }
  int differences = 0;
  for (std::size_t k = 0; k < n; ++k) {
    double u, v;
    element(GetParam(), p.x[k], p.y[k], u, v);
    differences += !same_bits(u, ur[k]) || !same_bits(v, ui[k]);
  }
  EXPECT_EQ(differences, 0);
}

// Worker threads round as the calling thread does: under a directed rounding
// mode the block still matches the element routine run on the caller.
TEST_P(BlockBits, WorkersTakeTheCallersRoundingMode) {
  const Points points = random_points(20000, 41);
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  for (BlockWidth w : available_widths()) {
    expect_element_bits(GetParam(), {w, 3}, points);
  }
  std::fesetround(FE_TONEAREST);
}

INSTANTIATE_TEST_SUITE_P(Kernels, BlockBits, ::testing::Values(Kernel::kRegions, Kernel::kRational),
                         [](const ::testing::TestParamInfo<Kernel>& info) {
                           return std::string(info.param == Kernel::kRegions ? "Regions"
                                                                             : "Rational");
                         });

TEST(BlockWidths, WidestIsAvailableAndEmptyBlocksWriteNothing) {
  EXPECT_TRUE(vorlan::BLOCK_WIDTH_AVAILABLE(vorlan::BLOCK_WIDTH_WIDEST()));
  EXPECT_TRUE(vorlan::BLOCK_WIDTH_AVAILABLE(BlockWidth::kBaseline));
  double x = 1.0, y = 1.0, u = -7.0, v = -7.0;
  vorlan::W_REGIONS_BLOCK(&x, &y, &u, &v, 0);
  vorlan::W_RATIONAL_BLOCK(&x, &y, &u, &v, 0);
  EXPECT_EQ(u, -7.0);
  EXPECT_EQ(v, -7.0);
}

// The line shapes: every output of every element as its element routine gives
// it, at every width and 1 to 3 threads, whichever outputs are asked for (a
// null output is skipped, the others unaffected).
TEST(LineShapeBlocks, ElementBitsForEveryPlanAndOutputSelection) {
  Points p = random_points(9001, 53);
  // the imaginary axis below the real one, where Z overflows, within and beyond
  // the kernels' range
  for (double y : {-26.6, -30.0, -6e153, -kInf}) p.add(0.0, y);
  const std::size_t n = p.size();
  // Voigt arguments from the same points: widths of every size, some zero,
  // some negative or NaN.
  std::vector<double> sigma(n), gamma(n);
  for (std::size_t k = 0; k < n; ++k) {
    sigma[k] = k % 11 == 0 ? 0.0 : std::fabs(p.y[k]);
    gamma[k] = k % 13 == 0 ? 0.0 : std::fabs(p.x[(k * 7) % n]) * (k % 17 == 0 ? -1.0 : 1.0);
  }
  sigma[5] = kNaN;
  std::vector<double> expected(4 * n);
  std::vector<double> expected_z(4 * n);
  for (std::size_t k = 0; k < n; ++k) {
    vorlan::VOIGT_ELEMENT(p.x[k], sigma[k], gamma[k], expected[k], expected[n + k],
                          expected[2 * n + k], expected[3 * n + k]);
    vorlan::PLASMA_Z_ELEMENT(p.x[k], p.y[k], expected_z[k], expected_z[n + k],
                             expected_z[2 * n + k], expected_z[3 * n + k]);
  }
  auto mismatches = [n](const std::vector<double>& got, const std::vector<double>& want,
                        unsigned mask) {
    int count = 0;
    for (std::size_t k = 0; k < 4 * n; ++k) {
      if ((mask >> (k / n) & 1U) != 0 && !same_bits(got[k], want[k])) ++count;
    }
    return count;
  };
  for (BlockWidth w : available_widths()) {
    for (int threads = 1; threads <= 3; ++threads) {
      for (unsigned mask : {15U, 1U, 6U, 8U}) {
        std::vector<double> got(4 * n, -7.0);
        auto slot = [&](int k) { return (mask >> k & 1U) != 0 ? got.data() + k * n : nullptr; };
        vorlan::VOIGT_BLOCK_PLANNED({w, threads}, p.x.data(), sigma.data(), gamma.data(),
                                    {slot(0), slot(1), slot(2), slot(3)},
                                    static_cast<std::int64_t>(n));
        EXPECT_EQ(mismatches(got, expected, mask), 0)
            << "Voigt width " << static_cast<int>(w) << " threads " << threads << " outputs "
            << mask;
        std::fill(got.begin(), got.end(), -7.0);
        vorlan::PLASMA_Z_BLOCK_PLANNED({w, threads}, p.x.data(), p.y.data(),
                                       {slot(0), slot(1), slot(2), slot(3)},
                                       static_cast<std::int64_t>(n));
        EXPECT_EQ(mismatches(got, expected_z, mask), 0)
            << "Z width " << static_cast<int>(w) << " threads " << threads << " outputs " << mask;
        for (std::size_t k = 0; k < 4 * n; ++k) {  // skipped outputs untouched
          if ((mask >> (k / n) & 1U) == 0) {
            ASSERT_EQ(got[k], -7.0);
          }
        }
      }
    }
  }
  // Z read from and written into interleaved complex arrays (step 2), and
  // from a real array (no imaginary parts: +0).
  std::vector<double> zeta(2 * n), z_out(2 * n), dz_out(2 * n);
  for (std::size_t k = 0; k < n; ++k) {
    zeta[2 * k] = p.x[k];
    zeta[2 * k + 1] = p.y[k];
  }
  for (const bool real : {false, true}) {
    vorlan::PLASMA_Z_BLOCK(zeta.data(), real ? nullptr : zeta.data() + 1, 2,
                           {z_out.data(), z_out.data() + 1, dz_out.data(), dz_out.data() + 1, 2},
                           static_cast<std::int64_t>(n));
    int differences = 0;
    for (std::size_t k = 0; k < n; ++k) {
      double want[4];
      vorlan::PLASMA_Z_ELEMENT(p.x[k], real ? 0.0 : p.y[k], want[0], want[1], want[2], want[3]);
      const double got[4] = {z_out[2 * k], z_out[2 * k + 1], dz_out[2 * k], dz_out[2 * k + 1]};
      for (int q = 0; q < 4; ++q) differences += !same_bits(got[q], want[q]);
    }
    EXPECT_EQ(differences, 0) << (real ? "real input" : "interleaved input");
  }
  // The default entry points, on a block large enough for several threads.
  std::vector<double> big_x, big_s, big_g, value;
  for (int copy = 0; copy < 8; ++copy) {
    big_x.insert(big_x.end(), p.x.begin(), p.x.end());
    big_s.insert(big_s.end(), sigma.begin(), sigma.end());
    big_g.insert(big_g.end(), gamma.begin(), gamma.end());
  }
  value.assign(big_x.size(), -7.0);
  vorlan::VOIGT_BLOCK(big_x.data(), big_s.data(), big_g.data(),
                      {value.data(), nullptr, nullptr, nullptr},
                      static_cast<std::int64_t>(big_x.size()));
  int differences = 0;
  for (std::size_t k = 0; k < value.size(); ++k) {
    differences += !same_bits(value[k], expected[k % n]);
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace

namespace {

// The Hartmann-Tran profile: F and its eight derivatives as the element
// routine gives them, at every width and 1 to 3 threads, from lines of every
// kind (the reference table's), with scalar arguments at step 0 and outputs in
// interleaved complex arrays, a null output untouched.
TEST(HtpBlocks, ElementBitsForEveryPlanStepAndOutputSelection) {
  std::vector<std::array<double, vorlan::kHtpArguments>> rows;
  const auto table = vorlan_test::read_table("htp.csv");
  for (std::size_t r = 0; r < table.size(); r += 7) {  // about 1100 lines of every kind
    std::array<double, vorlan::kHtpArguments> a{};
    std::copy(table[r].begin(), table[r].begin() + vorlan::kHtpArguments, a.begin());
    rows.push_back(a);
  }
  rows.push_back({0.0, 0.0, kNaN, 1.0, 0.1, 0.0, 0.0, 0.0, 0.0});
  rows.push_back({2.5, 2.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.3});  // the Lorentz pole
  // lines for the grids below: one of one point (C2 = 0), and one far broader
  // than its Doppler width, whose points are close
  const std::size_t one_point = rows.size();
  rows.push_back({0.0, 0.0, 1.0, 1.0, 0.0, 0.2, 0.0, 0.3, 0.2});
  rows.push_back({0.0, 0.0, 1.0, 300.0, 200.0, 30.0, 10.0, 0.0, 0.1});
  const std::size_t n = rows.size();
  std::vector<double> args(vorlan::kHtpArguments * n);
  std::vector<vorlan::HtpValue> want(n);
  for (std::size_t k = 0; k < n; ++k) {
    for (int j = 0; j < vorlan::kHtpArguments; ++j) args[j * n + k] = rows[k][j];
    double a[vorlan::kHtpArguments];
    std::copy(rows[k].begin(), rows[k].end(), a);
    vorlan::HTP_ELEMENT(a, true, want[k]);
  }
  vorlan::HtpInputs inputs{};
  for (int j = 0; j < vorlan::kHtpArguments; ++j) {
    inputs.data[j] = args.data() + j * n;
    inputs.step[j] = 1;
  }
  // value and derivatives interleaved: 9 complex arrays of n
  auto run = [&](const vorlan::BlockPlan& plan, const vorlan::HtpInputs& in_args, bool value_only,
                 std::vector<double>& out) {
    out.assign(2 * n * (1 + vorlan::kHtpDerivatives), -7.0);
    vorlan::HtpOutputs o{};
    o.value = {out.data(), out.data() + 1, 2};
    for (int d = 0; d < vorlan::kHtpDerivatives && !value_only; ++d) {
      double* base = out.data() + 2 * n * (d + 1);
      o.derivative[d] = {base, base + 1, 2};
    }
    vorlan::HTP_BLOCK_PLANNED(plan, in_args, o, static_cast<std::int64_t>(n));
  };
  auto differences = [&](const std::vector<double>& out, bool value_only) {
    int count = 0;
    for (std::size_t k = 0; k < n; ++k) {
      count += !same_bits(out[2 * k], want[k].re) + !same_bits(out[2 * k + 1], want[k].im);
      for (int d = 0; d < vorlan::kHtpDerivatives; ++d) {
        const double* base = out.data() + 2 * n * (d + 1);
        if (value_only) {
          count += base[2 * k] != -7.0;
        } else {
          count += !same_bits(base[2 * k], want[k].d_re[d]) +
                   !same_bits(base[2 * k + 1], want[k].d_im[d]);
        }
      }
    }
    return count;
  };
  std::vector<double> out;
  for (BlockWidth w : available_widths()) {
    for (int threads = 1; threads <= 3; ++threads) {
      for (const bool value_only : {false, true}) {
        run({w, threads}, inputs, value_only, out);
        EXPECT_EQ(differences(out, value_only), 0) << "width " << static_cast<int>(w) << " threads "
                                                   << threads << " value only " << value_only;
      }
    }
  }
  // one line over a grid of n points, ±25 widths: every argument but nu at step
  // 0, for a line of two points, one of one point and a broad one
  for (const std::size_t line : {std::size_t{3}, one_point, one_point + 1}) {
    const std::array<double, vorlan::kHtpArguments>& a = rows[line];
    std::vector<double> nu(n);
    const double spacing = 50.0 * (a[2] + a[3]) / static_cast<double>(n);
    for (std::size_t k = 0; k < n; ++k) {
      nu[k] = a[1] + (static_cast<double>(k) - 0.5 * static_cast<double>(n)) * spacing;
    }
    vorlan::HtpInputs grid = inputs;
    grid.data[0] = nu.data();
    for (int j = 1; j < vorlan::kHtpArguments; ++j) {
      grid.data[j] = inputs.data[j] + line;
      grid.step[j] = 0;
    }
    for (std::size_t k = 0; k < n; ++k) {
      double point[vorlan::kHtpArguments];
      std::copy(a.begin(), a.end(), point);
      point[0] = nu[k];
      vorlan::HTP_ELEMENT(point, true, want[k]);
    }
    run({vorlan::BLOCK_WIDTH_WIDEST(), 0}, grid, false, out);
    EXPECT_EQ(differences(out, false), 0) << "step 0, line " << line;
  }
}

}  // namespace
