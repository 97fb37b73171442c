// The gateway against the recording host: the host operations of a call and
// their order, the refusals and what each one leaves untouched, staging of
// every element class, and the element-for-element mapping of the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "expect_refused.hpp"
#include "recording_host.hpp"
#include "vorlan/deliverables.hpp"
#include "vorlan/gateway.hpp"
#include "vorlan/w_complete.hpp"

namespace {

using vorlan::Deliverable;
using vorlan::ElementClass;
using vorlan::InputPolicy;
using vorlan::Message;
using vorlan::testing::expect_refused;
using vorlan::testing::FailingScratch;
using vorlan::testing::FakeArray;
using vorlan::testing::HostError;
using vorlan::testing::InterleavingHost;
using vorlan::testing::make_array;
using vorlan::testing::make_double;
using vorlan::testing::PoisonedScratch;
using vorlan::testing::RecordingHost;
using Calls = std::vector<std::string>;

template <class Host>
struct OutcomeOn {
  Host host;
  FakeArray* result = nullptr;
  bool raised = false;
};
using Outcome = OutcomeOn<RecordingHost>;

template <class Scratch = vorlan::HeapScratch, class Host = RecordingHost>
OutcomeOn<Host> call(const Deliverable& deliverable, std::vector<const FakeArray*> inputs,
                     int nlhs = 1) {
  OutcomeOn<Host> out;
  RecordingHost::Output plhs[1] = {nullptr};
  const int nrhs = static_cast<int>(inputs.size());
  try {
    vorlan::MEXFUNCTION<Host, Scratch>(out.host, deliverable, nlhs, plhs, nrhs, inputs.data());
  } catch (const HostError&) {
    out.raised = true;
  }
  out.result = plhs[0];
  return out;
}

// C++ leaves open the order of the row and column queries made within one
// expression; put such a pair in a fixed order before comparing.
Calls with_size_pairs_ordered(Calls calls) {
  for (std::size_t k = 0; k + 1 < calls.size(); ++k) {
    if (calls[k] == "MXGETN700" && calls[k + 1] == "MXGETM700") std::swap(calls[k], calls[k + 1]);
  }
  return calls;
}

// What a kernel saw, from a kernel that echoes its input.
struct KernelLog {
  int calls = 0;
  std::vector<double> xr, xi;
};
KernelLog kernel_log;

void echo_kernel(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  ++kernel_log.calls;
  kernel_log.xr.assign(xr, xr + n);
  kernel_log.xi.assign(xi, xi + n);
  std::copy(xr, xr + n, ur);
  std::copy(xi, xi + n, ui);
}

constexpr Deliverable kEchoReal{echo_kernel, InputPolicy::kRealAccepted,
                                vorlan::messages::kOneInputInVorlan};
constexpr Deliverable kEchoComplex{echo_kernel, InputPolicy::kComplexRequired,
                                   vorlan::messages::kOneInput};

class Gateway : public ::testing::Test {
 protected:
  void SetUp() override { kernel_log = KernelLog(); }
};

const Calls kChecks = {"MXGETCLASS", "MXISSPARSE", "MXGETM", "MXGETN", "MXGETM700", "MXGETN700"};
const Calls kStageReal = {"MXGETCLASS", "MXGETPR", "MXCOPYPTRTOREAL8700"};
const Calls kStageImag = {"MXGETCLASS", "MXGETPI", "MXCOPYPTRTOREAL8700"};
const Calls kCreateAndWrite = {
    "MXGETM700",           "MXGETN700", "MXCREATEDOUBLEMATRIX700", "MXGETPR",
    "MXCOPYREAL8TOPTR700", "MXGETPI",   "MXCOPYREAL8TOPTR700"};

Calls join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(Gateway, HostCallsOfASuccessfulCallInOrder) {
  const FakeArray real = make_double(2, 3, {1, 2, 3, 4, 5, 6});
  const FakeArray cplx = make_double(2, 3, {1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1});
  const Calls real_accepted_real = join({kChecks, kStageReal, {"MXISCOMPLEX"}, kCreateAndWrite});
  const Calls real_accepted_complex =
      join({kChecks, kStageReal, {"MXISCOMPLEX"}, kStageImag, kCreateAndWrite});
  const Calls complex_required =
      join({{"MXISCOMPLEX"}, kChecks, kStageReal, kStageImag, kCreateAndWrite});
  struct Case {
    const char* name;
    const Deliverable& deliverable;
    const FakeArray& input;
    const Calls& expected;
  };
  const Case cases[] = {
      {"vorlanRegion real", vorlan::kVorlanRegion, real, real_accepted_real},
      {"vorlanRegion complex", vorlan::kVorlanRegion, cplx, real_accepted_complex},
      {"vorlan complex", vorlan::kVorlan, cplx, complex_required},
      {"vorlanRational real", vorlan::kVorlanRational, real, real_accepted_real},
      {"vorlanRational complex", vorlan::kVorlanRational, cplx, real_accepted_complex},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = call(c.deliverable, {&c.input});
    EXPECT_FALSE(out.raised);
    EXPECT_EQ(with_size_pairs_ordered(out.host.calls), c.expected);
    ASSERT_EQ(out.host.created.size(), 1u);
    EXPECT_EQ(out.result, out.host.created[0].get());
    EXPECT_EQ(out.result->rows, 2u);
    EXPECT_EQ(out.result->columns, 3u);
    EXPECT_TRUE(out.result->complex);
  }
  // Other classes are read through the untyped data operations.
  const FakeArray single =
      make_array<float>(ElementClass::kSingle, 1, 2, {1.0F, 2.0F}, {3.0F, 4.0F});
  const Outcome out = call(vorlan::kVorlanRegion, {&single});
  EXPECT_EQ(with_size_pairs_ordered(out.host.calls),
            join({kChecks,
                  {"MXGETCLASS", "MXGETDATA", "MXISCOMPLEX", "MXGETCLASS", "MXGETIMAGDATA"},
                  kCreateAndWrite}));
}

FakeArray sized(ElementClass c, std::uint64_t rows, std::uint64_t columns, bool complex,
                bool sparse) {
  FakeArray a;  // no elements: a refused array must not be read
  a.element_class = c;
  a.rows = rows;
  a.columns = columns;
  a.complex = complex;
  a.sparse = sparse;
  return a;
}

TEST_F(Gateway, RefusalsComeBeforeAnyReadAndCreateNothing) {
  constexpr ElementClass kD = ElementClass::kDouble;
  constexpr ElementClass kText = ElementClass::kNotNumeric;  // char, cell, struct, handle
  const FakeArray real = sized(kD, 2, 2, false, false);
  const FakeArray cplx = sized(kD, 2, 2, true, false);
  const FakeArray text = sized(kText, 1, 5, false, false);
  const FakeArray odd_text = sized(kText, 1, 5, true, true);
  const FakeArray sparse = sized(kD, 4, 4, true, true);
  const FakeArray sparse_logical = sized(ElementClass::kLogical, 4, 4, false, true);
  const FakeArray huge_sparse = sized(kD, 65536, 65536, true, true);
  const FakeArray huge = sized(kD, 65536, 65536, true, false);
  const FakeArray just_over = sized(kD, 46341, 46341, true, false);
  const FakeArray long_row = sized(kD, 1, 2147483648ULL, true, false);
  const FakeArray two_long_rows = sized(kD, 2, 1ULL << 30, true, false);
  const FakeArray empty_but_wide = sized(kD, 0, 1ULL << 32, true, false);
  const FakeArray empty_but_tall = sized(kD, 2147483648ULL, 0, false, false);
  const FakeArray just_under = sized(kD, 46340, 46340, true, false);
  const FakeArray most_elements = sized(kD, 1, 2147483647, true, false);
  namespace m = vorlan::messages;
  struct Case {
    const char* name;
    const Deliverable& deliverable;
    std::vector<const FakeArray*> inputs;
    Message expected;
  };
  const Case cases[] = {
      {"region, no input", vorlan::kVorlanRegion, {}, m::kOneInputInVorlan},
      {"vorlan, no input", vorlan::kVorlan, {}, m::kOneInput},
      {"rational, no input", vorlan::kVorlanRational, {}, m::kOneInputInVorlan},
      {"region, two inputs", vorlan::kVorlanRegion, {&cplx, &cplx}, m::kOneInputInVorlan},
      {"vorlan, two real inputs", vorlan::kVorlan, {&real, &real}, m::kOneInput},
      {"rational, two inputs", vorlan::kVorlanRational, {&real, &cplx}, m::kOneInputInVorlan},
      {"vorlan, real", vorlan::kVorlan, {&real}, m::kNotComplex},
      {"vorlan, real text", vorlan::kVorlan, {&text}, m::kNotComplex},
      {"vorlan, complex sparse text", vorlan::kVorlan, {&odd_text}, m::kNotNumeric},
      {"region, text", vorlan::kVorlanRegion, {&text}, m::kNotNumeric},
      {"rational, text", vorlan::kVorlanRational, {&text}, m::kNotNumeric},
      {"region, sparse", vorlan::kVorlanRegion, {&sparse}, m::kSparse},
      {"vorlan, sparse", vorlan::kVorlan, {&sparse}, m::kSparse},
      {"rational, sparse logical", vorlan::kVorlanRational, {&sparse_logical}, m::kSparse},
      {"region, huge sparse", vorlan::kVorlanRegion, {&huge_sparse}, m::kSparse},
      {"region, 65536^2", vorlan::kVorlanRegion, {&huge}, m::kTooLarge},
      {"vorlan, 65536^2", vorlan::kVorlan, {&huge}, m::kTooLarge},
      {"rational, 46341^2", vorlan::kVorlanRational, {&just_over}, m::kTooLarge},
      {"region, 1 x 2^31", vorlan::kVorlanRegion, {&long_row}, m::kTooLarge},
      {"rational, 2 x 2^30", vorlan::kVorlanRational, {&two_long_rows}, m::kTooLarge},
      {"region, 0 x 2^32", vorlan::kVorlanRegion, {&empty_but_wide}, m::kTooLarge},
      {"rational, 2^31 x 0", vorlan::kVorlanRational, {&empty_but_tall}, m::kTooLarge},
      // Past the size check, the failing scratch reports what allocation would.
      {"region, 46340^2", vorlan::kVorlanRegion, {&just_under}, m::kOutOfMemory},
      {"rational, 1 x (2^31 - 1)", vorlan::kVorlanRational, {&most_elements}, m::kOutOfMemory},
      {"vorlan, 2x2", vorlan::kVorlan, {&cplx}, m::kOutOfMemory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FailingScratch::last_count = -1;
    const Outcome out = call<FailingScratch>(c.deliverable, c.inputs);
    expect_refused(out.host, out.raised, c.expected);
    EXPECT_EQ(out.result, nullptr);
    EXPECT_EQ(kernel_log.calls, 0);
  }
  FailingScratch::last_count = -1;
  call<FailingScratch>(vorlan::kVorlanRegion, {&just_under});
  EXPECT_EQ(FailingScratch::last_count, 46340 * 46340);
}

TEST_F(Gateway, TheFirstOutputIsFilledEvenWhenNoneIsAsked) {
  const FakeArray input = make_double(1, 1, {0.5});
  const Outcome out = call(vorlan::kVorlanRational, {&input}, 0);
  ASSERT_NE(out.result, nullptr);
  double u = 0.0, v = 0.0;
  vorlan::W_RATIONAL_ELEMENT(0.5, 0.0, u, v);
  EXPECT_EQ(out.result->real_storage[0], u);
  EXPECT_EQ(out.result->imag_storage[0], v);
}

TEST_F(Gateway, EmptyInputGivesAnEmptyComplexResultWithoutCallingTheKernel) {
  for (const auto& [rows, columns] : {std::pair{0u, 3u}, {3u, 0u}, {0u, 0u}}) {
    const FakeArray real = sized(ElementClass::kDouble, rows, columns, false, false);
    const FakeArray cplx = sized(ElementClass::kSingle, rows, columns, true, false);
    for (const auto& [deliverable, input] :
         {std::pair{&kEchoReal, &real}, {&kEchoReal, &cplx}, {&kEchoComplex, &cplx}}) {
      const Outcome out = call(*deliverable, {input});
      EXPECT_FALSE(out.raised);
      ASSERT_NE(out.result, nullptr);
      EXPECT_EQ(out.result->rows, rows);
      EXPECT_EQ(out.result->columns, columns);
      EXPECT_TRUE(out.result->complex);
    }
  }
  EXPECT_EQ(kernel_log.calls, 0);
}

TEST_F(Gateway, RealInputHasPositiveZeroImaginaryParts) {
  const FakeArray doubles = make_double(2, 2, {1.0, -2.0, 0.0, -0.0});
  const FakeArray singles = make_array<float>(ElementClass::kSingle, 1, 3, {1.0F, -0.0F, 3.0F});
  for (const FakeArray* input : {&doubles, &singles}) {
    kernel_log = KernelLog();
    const Outcome out = call<PoisonedScratch>(kEchoReal, {input});
    ASSERT_EQ(kernel_log.calls, 1);
    for (double xi : kernel_log.xi) EXPECT_TRUE(xi == 0.0 && !std::signbit(xi));
    for (double ui : out.result->imag_storage) EXPECT_TRUE(ui == 0.0 && !std::signbit(ui));
  }
}

// Each class reaches the kernel as the doubles its elements convert to, both
// parts, and the echoed result carries them back.
template <class Element>
void expect_staged_as_double(ElementClass c, const std::vector<Element>& re,
                             const std::vector<Element>& im = {}) {
  const FakeArray input = make_array<Element>(c, 1, re.size(), re, im);
  kernel_log = KernelLog();
  const Outcome out = call<PoisonedScratch>(im.empty() ? kEchoReal : kEchoComplex, {&input});
  ASSERT_FALSE(out.raised);
  ASSERT_EQ(kernel_log.calls, 1);
  for (std::size_t k = 0; k < re.size(); ++k) {
    EXPECT_EQ(kernel_log.xr[k], static_cast<double>(re[k])) << k;
    EXPECT_EQ(out.result->real_storage[k], static_cast<double>(re[k])) << k;
    const double expected_im = im.empty() ? 0.0 : static_cast<double>(im[k]);
    EXPECT_EQ(kernel_log.xi[k], expected_im) << k;
    EXPECT_EQ(out.result->imag_storage[k], expected_im) << k;
  }
}

TEST_F(Gateway, EveryNumericClassIsStagedAsDouble) {
  using L = std::numeric_limits<std::int64_t>;
  const float tiny = std::numeric_limits<float>::denorm_min();
  expect_staged_as_double<float>(ElementClass::kSingle, {0.1F, -2.5F, 3.4e38F, tiny});
  expect_staged_as_double<float>(ElementClass::kSingle, {0.1F, 7.0F}, {-1e-3F, 0.0F});
  expect_staged_as_double<std::int8_t>(ElementClass::kInt8, {-128, 127, 0, -1});
  expect_staged_as_double<std::int8_t>(ElementClass::kInt8, {-128, 5}, {127, -3});
  expect_staged_as_double<std::uint8_t>(ElementClass::kUInt8, {0, 255, 17});
  expect_staged_as_double<std::int16_t>(ElementClass::kInt16, {-32768, 32767});
  expect_staged_as_double<std::uint16_t>(ElementClass::kUInt16, {0, 65535});
  expect_staged_as_double<std::int32_t>(ElementClass::kInt32, {-2147483647 - 1, 2147483647});
  expect_staged_as_double<std::uint32_t>(ElementClass::kUInt32, {0u, 4294967295u});
  expect_staged_as_double<std::int64_t>(ElementClass::kInt64, {L::min(), L::max(), -3});
  expect_staged_as_double<std::uint64_t>(ElementClass::kUInt64,
                                         {0u, 18446744073709551615u, (1ULL << 53) + 1});
  expect_staged_as_double<bool>(ElementClass::kLogical, {true, false, true});
}

// Element k of the result is w at element k of the input, for both kernels.
TEST_F(Gateway, ResultElementsMatchInputElements) {
  const std::vector<double> re = {0.0, 1.5, -3.0, 0.25, 7.0, -0.5};
  const std::vector<double> im = {0.0, -0.4, 2.0, 1.0, -30.0, 4.5};
  const FakeArray cplx = make_double(3, 2, re, im);
  const FakeArray real = make_double(3, 2, re);
  struct Case {
    const Deliverable& deliverable;
    void (*element)(double, double, double&, double&);
  };
  for (const Case& c : {Case{vorlan::kVorlanRegion, vorlan::W_REGIONS_ELEMENT},
                        Case{vorlan::kVorlan, vorlan::W_REGIONS_ELEMENT},
                        Case{vorlan::kVorlanRational, vorlan::W_RATIONAL_ELEMENT}}) {
    for (const FakeArray* input : {&cplx, &real}) {
      if (!input->complex && c.deliverable.policy == InputPolicy::kComplexRequired) continue;
      const Outcome out = call(c.deliverable, {input});
      ASSERT_NE(out.result, nullptr);
      EXPECT_EQ(out.result->rows, 3u);
      EXPECT_EQ(out.result->columns, 2u);
      for (std::size_t k = 0; k < re.size(); ++k) {
        double u = 0.0, v = 0.0;
        c.element(re[k], input->complex ? im[k] : 0.0, u, v);
        EXPECT_EQ(std::memcmp(&out.result->real_storage[k], &u, sizeof u), 0) << k;
        EXPECT_EQ(std::memcmp(&out.result->imag_storage[k], &v, sizeof v), 0) << k;
      }
    }
  }
}

// On the host's interleaved complex API the gateway reads and writes parts
// with a step of two: the same host calls and the same result bits as on the
// separate API, for every class (integer classes have no complex arrays in the
// hosts, but their conversion must not depend on that).
TEST_F(Gateway, InterleavedPartsGiveTheSameCallsAndBits) {
  const FakeArray inputs[] = {
      make_double(2, 2, {1.5, -0.0, 3.0, 4.0}, {-1.0, 2.0, 0.25, -7.0}),
      make_double(1, 3, {1.0, 2.0, 3.0}),
      make_array<float>(ElementClass::kSingle, 1, 3, {0.1F, -2.5F, 7.0F}, {3.0F, -0.0F, 1e-3F}),
      make_array<std::int8_t>(ElementClass::kInt8, 1, 2, {-128, 127}, {5, -3}),
      make_array<std::uint16_t>(ElementClass::kUInt16, 1, 2, {1, 65535}, {2, 3}),
      make_array<std::int64_t>(ElementClass::kInt64, 1, 2, {-5, 1LL << 60}, {7, -9}),
      make_array<bool>(ElementClass::kLogical, 1, 2, {true, false}),
  };
  for (const FakeArray& input : inputs) {
    for (const Deliverable* d : {&kEchoReal, &kEchoComplex, &vorlan::kVorlanRegion}) {
      if (d == &kEchoComplex && !input.complex) continue;
      const Outcome separate = call(*d, {&input});
      const auto interleaved = call<vorlan::HeapScratch, InterleavingHost>(*d, {&input});
      ASSERT_FALSE(separate.raised || interleaved.raised);
      EXPECT_EQ(interleaved.host.calls, separate.host.calls);
      const std::size_t n = input.rows * input.columns;
      ASSERT_EQ(interleaved.result->real_storage.size(), 2 * n);
      for (std::size_t k = 0; k < n; ++k) {
        const double* both = &interleaved.result->real_storage[2 * k];
        EXPECT_EQ(std::memcmp(both, &separate.result->real_storage[k], sizeof(double)), 0) << k;
        EXPECT_EQ(std::memcmp(both + 1, &separate.result->imag_storage[k], sizeof(double)), 0) << k;
      }
    }
  }
}

}  // namespace
