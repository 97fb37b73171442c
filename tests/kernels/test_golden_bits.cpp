// Golden bits: at the points of tests/data/golden_bits.csv only IEEE basic
// operations decide w(z) (the table's generator, generate_golden_bits.cpp,
// says which points those are), so every platform and compiler must give the
// recorded bits exactly: the one-point kernels, the element routines and the
// block evaluators alike.  A NaN result is the positive quiet NaN, bit for
// bit, from the element routines and the block evaluators; from the region
// kernel itself any NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bits_text.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"

namespace {

using vorlan_test::hex_bits;

struct GoldenRow {
  std::string kernel;  // regions, rational, full or full_derivative
  double x, y, u, v;
  int line;
};

const std::vector<GoldenRow>& golden_rows() {
  static const std::vector<GoldenRow> rows = [] {
    std::vector<GoldenRow> out;
    std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/golden_bits.csv");
    std::string line;
    std::getline(in, line);  // header
    for (int number = 2; std::getline(in, line); ++number) {
      const std::vector<std::string> f = vorlan_test::split_fields(line);
      GoldenRow row{f[0], 0, 0, 0, 0, number};
      const bool parsed = f.size() >= 5 && vorlan_test::parse_hex_bits(f[1], row.x) &&
                          vorlan_test::parse_hex_bits(f[2], row.y) &&
                          vorlan_test::parse_hex_bits(f[3], row.u) &&
                          vorlan_test::parse_hex_bits(f[4], row.v);
      EXPECT_TRUE(parsed) << "golden_bits.csv line " << number << " is malformed: " << line;
      if (parsed) out.push_back(row);
    }
    return out;
  }();
  return rows;
}

std::vector<GoldenRow> rows_of(const std::string& kernel) {
  std::vector<GoldenRow> out;
  for (const GoldenRow& row : golden_rows()) {
    if (row.kernel == kernel) out.push_back(row);
  }
  return out;
}

bool same_bits(double expected, double actual) {
  return vorlan_test::bits_of(expected) == vorlan_test::bits_of(actual);
}

// Compares the results of one evaluator with the table and reports the first
// mismatches in full, then their number.
class Comparison {
 public:
  explicit Comparison(const char* evaluator) : evaluator_(evaluator) {}

  void check(const GoldenRow& row, double u, double v) {
    ++compared_;
    if (same_bits(row.u, u) && same_bits(row.v, v)) return;
    fail(row, "u = " + hex_bits(u) + " v = " + hex_bits(v) + " (" + decimal(u, v) + ")");
  }

  void fail(const GoldenRow& row, const std::string& got) {
    if (++mismatches_ > kShown) return;
    ADD_FAILURE() << evaluator_ << " at golden_bits.csv line " << row.line
                  << ": x = " << hex_bits(row.x) << " y = " << hex_bits(row.y) << " ("
                  << decimal(row.x, row.y) << ")\n  expected u = " << hex_bits(row.u)
                  << " v = " << hex_bits(row.v) << " (" << decimal(row.u, row.v) << ")\n  actual   "
                  << got;
  }

  ~Comparison() {
    EXPECT_GT(compared_, 0) << evaluator_ << ": no rows compared";
    EXPECT_EQ(mismatches_, 0) << evaluator_ << ": " << mismatches_ << " of " << compared_
                              << " rows differ (the first " << kShown << " are shown)";
  }

  Comparison(const Comparison&) = delete;
  Comparison& operator=(const Comparison&) = delete;

 private:
  static constexpr int kShown = 20;

  static std::string decimal(double a, double b) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g, %.17g", a, b);
    return text;
  }

  const char* evaluator_;
  int compared_ = 0;
  int mismatches_ = 0;
};

// The kernel's share of the table, element by element.
void check_elements(const char* evaluator, const std::string& kernel,
                    void (*element)(double, double, double&, double&)) {
  Comparison comparison(evaluator);
  for (const GoldenRow& row : rows_of(kernel)) {
    double u = -7.0, v = -9.0;
    element(row.x, row.y, u, v);
    comparison.check(row, u, v);
  }
}

using Block = std::function<void(const double*, const double*, double*, double*, std::int64_t)>;

// The whole kernel's share of the table as one block.
void check_block(const char* evaluator, const std::string& kernel, const Block& block) {
  const std::vector<GoldenRow> rows = rows_of(kernel);
  std::vector<double> x, y;
  for (const GoldenRow& row : rows) {
    x.push_back(row.x);
    y.push_back(row.y);
  }
  std::vector<double> u(rows.size(), -7.0), v(rows.size(), -9.0);
  block(x.data(), y.data(), u.data(), v.data(), static_cast<std::int64_t>(rows.size()));
  Comparison comparison(evaluator);
  for (std::size_t k = 0; k < rows.size(); ++k) comparison.check(rows[k], u[k], v[k]);
}

bool beyond_range(const GoldenRow& row) {
  return std::fabs(row.x) > vorlan::ARG_LIMIT || std::fabs(row.y) > vorlan::ARG_LIMIT;
}

TEST(GoldenBits, TableCoversEveryKernel) {
  EXPECT_GE(rows_of("regions").size(), 1000u);
  EXPECT_GE(rows_of("rational").size(), 500u);
  EXPECT_GE(rows_of("full").size(), 300u);
  EXPECT_EQ(rows_of("full").size(), rows_of("full_derivative").size());
  EXPECT_EQ(rows_of("regions").size() + rows_of("rational").size() + 2 * rows_of("full").size(),
            golden_rows().size())
      << "rows of an unknown kernel";
}

// The kernel itself completes (flag 0) everywhere within ARG_LIMIT and leaves
// the points beyond it to W_BEYOND_RANGE (flag -1).
TEST(GoldenBits, RegionsKernel) {
  Comparison comparison("W_REGIONS");
  for (const GoldenRow& row : rows_of("regions")) {
    double u = -7.0, v = -9.0;
    std::int32_t flag = 99;
    vorlan::W_REGIONS(row.x, row.y, u, v, flag);
    if (beyond_range(row)) {
      if (flag != -1) comparison.fail(row, "flag " + std::to_string(flag) + " beyond ARG_LIMIT");
    } else if (flag != 0) {
      comparison.fail(row, "flag " + std::to_string(flag));
    } else {
      comparison.check(row, u, v);
    }
  }
}

TEST(GoldenBits, RegionsElement) {
  check_elements("W_REGIONS_ELEMENT", "regions", vorlan::W_REGIONS_ELEMENT);
}

TEST(GoldenBits, RationalElement) {
  check_elements("W_RATIONAL_ELEMENT", "rational", vorlan::W_RATIONAL_ELEMENT);
}

TEST(GoldenBits, FullElement) {
  check_elements("W_FULL_ELEMENT", "full", [](double x, double y, double& u, double& v) {
    double du;
    double dv;
    vorlan::W_FULL_ELEMENT(x, y, u, v, du, dv);
  });
  check_elements("W_FULL_ELEMENT'", "full_derivative",
                 [](double x, double y, double& du, double& dv) {
                   double u;
                   double v;
                   vorlan::W_FULL_ELEMENT(x, y, u, v, du, dv);
                 });
}

TEST(GoldenBits, RegionsBlock) {
  check_block("W_REGIONS_BLOCK", "regions", vorlan::W_REGIONS_BLOCK);
}

TEST(GoldenBits, RationalBlock) {
  check_block("W_RATIONAL_BLOCK", "rational", vorlan::W_RATIONAL_BLOCK);
}

// The Hartmann-Tran profile at the points of htp_golden_bits.csv: F and its
// eight derivatives, from the element routine and the block routine.
TEST(GoldenBits, HartmannTran) {
  std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/htp_golden_bits.csv");
  std::string line;
  std::getline(in, line);  // header
  constexpr int kResults = 2 + 2 * vorlan::kHtpDerivatives;
  std::vector<double> args[vorlan::kHtpArguments];
  std::vector<std::vector<double>> want;
  for (int number = 2; std::getline(in, line); ++number) {
    const std::vector<std::string> f = vorlan_test::split_fields(line);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(vorlan::kHtpArguments + kResults)) << number;
    std::vector<double> values(f.size());
    for (std::size_t j = 0; j < f.size(); ++j) {
      ASSERT_TRUE(vorlan_test::parse_hex_bits(f[j], values[j])) << "line " << number;
    }
    for (int j = 0; j < vorlan::kHtpArguments; ++j) args[j].push_back(values[j]);
    want.emplace_back(values.begin() + vorlan::kHtpArguments, values.end());
  }
  ASSERT_GE(want.size(), 90u);
  const std::size_t n = want.size();
  std::vector<double> block(kResults * n, -7.0);
  vorlan::HtpInputs inputs{};
  vorlan::HtpOutputs outputs{};
  for (int j = 0; j < vorlan::kHtpArguments; ++j)
    inputs.data[j] = args[j].data(), inputs.step[j] = 1;
  outputs.value = {block.data(), block.data() + n, 1};
  for (int d = 0; d < vorlan::kHtpDerivatives; ++d) {
    outputs.derivative[d] = {block.data() + (2 + 2 * d) * n, block.data() + (3 + 2 * d) * n, 1};
  }
  vorlan::HTP_BLOCK(inputs, outputs, static_cast<std::int64_t>(n));
  int differences = 0;
  for (std::size_t k = 0; k < n; ++k) {
    double a[vorlan::kHtpArguments];
    for (int j = 0; j < vorlan::kHtpArguments; ++j) a[j] = args[j][k];
    vorlan::HtpValue v{};
    vorlan::HTP_ELEMENT(a, true, v);
    double got[kResults] = {v.re, v.im};
    for (int d = 0; d < vorlan::kHtpDerivatives; ++d) {
      got[2 + 2 * d] = v.d_re[d];
      got[3 + 2 * d] = v.d_im[d];
    }
    for (int r = 0; r < kResults; ++r) {
      const bool same = hex_bits(got[r]) == hex_bits(want[k][r]) &&
                        hex_bits(block[r * n + k]) == hex_bits(want[k][r]);
      if (!same && ++differences <= 5) {
        ADD_FAILURE() << "row " << k << " result " << r << ": element " << hex_bits(got[r])
                      << ", block " << hex_bits(block[r * n + k]) << ", golden "
                      << hex_bits(want[k][r]);
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace
