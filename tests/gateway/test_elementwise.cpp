// The gateway's element-wise path against the recording host: the refusals
// and their order, with nothing read or created before them; the combined
// size of inputs that broadcast; outputs created and computed only when
// asked; staging of real and complex inputs; the plug-ins' values.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "broadcast_model.hpp"
#include "expect_refused.hpp"
#include "recording_host.hpp"
#include "vorlan/deliverables.hpp"
#include "vorlan/elementwise.hpp"
#include "vorlan/line_shapes.hpp"

namespace {

using vorlan::ElementClass;
using vorlan::ElementwiseArrays;
using vorlan::ElementwiseDeliverable;
using vorlan::Message;
using vorlan::testing::expect_refused;
using vorlan::testing::FailingScratch;
using vorlan::testing::FakeArray;
using vorlan::testing::HostError;
using vorlan::testing::make_array;
using vorlan::testing::make_nd;
using vorlan::testing::PoisonedScratch;
using vorlan::testing::RecordingHost;
using vorlan::testing::result_element;
using vorlan::testing::source_index;
using Dims = std::vector<std::uint64_t>;
namespace m = vorlan::messages;

template <class Host = RecordingHost>
struct Outcome {
  Host host;
  std::array<FakeArray*, 5> plhs{};
  bool raised = false;
};

template <class Scratch = PoisonedScratch, class Host = RecordingHost>
Outcome<Host> call(const ElementwiseDeliverable& d, std::vector<const FakeArray*> inputs,
                   int nlhs) {
  Outcome<Host> out;
  const int nrhs = static_cast<int>(inputs.size());
  try {
    vorlan::MEXFUNCTION<Host, Scratch>(out.host, d, nlhs, out.plhs.data(), nrhs, inputs.data());
  } catch (const HostError&) {
    out.raised = true;
  }
  return out;
}

// A kernel that hands input j back as result j (inputs taken round again
// when there are more results), and notes what it was given.
struct EchoLog {
  int calls = 0;
  std::int64_t n = 0;
  std::array<bool, vorlan::kMaxElementwiseArrays> wanted{};
};
EchoLog echo_log;

void echo_kernel(const ElementwiseArrays& a, std::int64_t n) {
  ++echo_log.calls;
  echo_log.n = n;
  const auto inputs = static_cast<std::size_t>(
      std::count_if(a.re.begin(), a.re.end(), [](const double* p) { return p != nullptr; }));
  for (std::size_t o = 0; o < a.out_re.size() && inputs > 0; ++o) {
    echo_log.wanted[o] = a.out_re[o] != nullptr;
    const std::size_t j = o % inputs;
    if (a.out_re[o] == nullptr) continue;
    const std::int64_t in = a.in_step[j];
    const std::int64_t out = a.out_step[o];
    for (std::int64_t k = 0; k < n; ++k) a.out_re[o][k * out] = a.re[j][k * in];
    if (a.out_im[o] != nullptr) {
      for (std::int64_t k = 0; k < n; ++k) {
        a.out_im[o][k * out] = a.im[j] != nullptr ? a.im[j][k * in] : +0.0;
      }
    }
  }
}

constexpr ElementwiseDeliverable kEchoReal{3,
                                           false,
                                           4,
                                           {false, false, false, false},
                                           m::kThreeInputsInVoigt,
                                           m::kAtMostFourOutputs,
                                           echo_kernel};
constexpr ElementwiseDeliverable kEchoComplex{
    3,          true, 3, {true, true, true, false}, m::kThreeInputsInVoigt, m::kAtMostFourOutputs,
    echo_kernel};

class Elementwise : public ::testing::Test {
 protected:
  void SetUp() override { echo_log = EchoLog(); }
};

// An array described by its shape alone: a refused call must not read it.
FakeArray shaped(const Dims& dims, ElementClass c = ElementClass::kDouble, bool complex = false,
                 bool sparse = false) {
  FakeArray a;
  a.element_class = c;
  a.dims = dims;
  a.rows = dims[0];
  a.columns = 1;
  for (std::size_t d = 1; d < dims.size(); ++d) a.columns *= dims[d];
  a.complex = complex;
  a.sparse = sparse;
  return a;
}

TEST_F(Elementwise, RefusalsInOrderBeforeAnyReadAndNothingCreated) {
  const FakeArray one = shaped({1, 1});
  const FakeArray row = shaped({1, 3});
  const FakeArray column = shaped({3, 1});
  const FakeArray two_by_three = shaped({2, 3});
  const FakeArray three_by_two = shaped({3, 2});
  const FakeArray deep = shaped({2, 3, 4});
  const FakeArray deep_other = shaped({2, 3, 5});
  const FakeArray empty_row = shaped({0, 3});
  const FakeArray empty_wide = shaped({0, 1ULL << 32});
  const FakeArray tall = shaped({65536, 1});
  const FakeArray less_tall = shaped({65535, 1});
  const FakeArray ones_row = shaped({1, 3});
  const FakeArray wide = shaped({1, 32768});
  const FakeArray cplx = shaped({1, 1}, ElementClass::kDouble, true);
  const FakeArray text = shaped({1, 4}, ElementClass::kNotNumeric);
  const FakeArray sparse = shaped({3, 3}, ElementClass::kDouble, true, true);
  const FakeArray sparse_logical = shaped({3, 3}, ElementClass::kLogical, false, true);
  const auto& voigt = vorlan::kVorlanVoigt;
  const auto& plasma = vorlan::kVorlanPlasmaZ;
  const auto& htp = vorlan::kVorlanHTP;
  const auto nine = [&one](const FakeArray* last) {
    std::vector<const FakeArray*> inputs(8, &one);
    inputs.push_back(last);
    return inputs;
  };
  struct Case {
    const char* name;
    const ElementwiseDeliverable& deliverable;
    std::vector<const FakeArray*> inputs;
    int nlhs;
    Message expected;
  };
  const Case cases[] = {
      {"voigt, no input", voigt, {}, 1, m::kThreeInputsInVoigt},
      {"voigt, two inputs, five outputs", voigt, {&one, &one}, 5, m::kThreeInputsInVoigt},
      {"voigt, four inputs", voigt, {&one, &one, &one, &one}, 1, m::kThreeInputsInVoigt},
      {"plasma, no input", plasma, {}, 1, m::kOneInputInPlasmaZ},
      {"plasma, two inputs", plasma, {&cplx, &cplx}, 1, m::kOneInputInPlasmaZ},
      {"voigt, five outputs before text", voigt, {&text, &one, &one}, 5, m::kAtMostFourOutputs},
      {"plasma, three outputs", plasma, {&cplx}, 3, m::kAtMostTwoOutputs},
      {"voigt, text third", voigt, {&one, &one, &text}, 1, m::kNotNumeric},
      {"voigt, complex before text", voigt, {&cplx, &text, &one}, 1, m::kComplex},
      {"voigt, complex second", voigt, {&one, &cplx, &one}, 4, m::kComplex},
      {"voigt, sparse before complex", voigt, {&sparse, &cplx, &one}, 1, m::kSparse},
      {"voigt, sparse logical", voigt, {&one, &one, &sparse_logical}, 1, m::kSparse},
      {"voigt, text before a size mismatch",
       voigt,
       {&two_by_three, &three_by_two, &text},
       1,
       m::kNotNumeric},
      {"plasma, text", plasma, {&text}, 2, m::kNotNumeric},
      {"plasma, sparse complex", plasma, {&sparse}, 1, m::kSparse},
      {"voigt, 2x3 with 3x2", voigt, {&two_by_three, &three_by_two, &one}, 1, m::kNonconformant},
      {"voigt, 2x3x4 with 2x3x5", voigt, {&deep, &one, &deep_other}, 1, m::kNonconformant},
      {"voigt, 0x3 with 3x1", voigt, {&empty_row, &column, &one}, 1, m::kNonconformant},
      {"voigt, 3x1 with 0x3", voigt, {&one, &column, &empty_row}, 1, m::kNonconformant},
      {"voigt, column with 2x3", voigt, {&column, &one, &two_by_three}, 1, m::kNonconformant},
      {"voigt, 65536x1 with 1x32768", voigt, {&tall, &wide, &one}, 1, m::kTooLarge},
      {"voigt, 0 x 2^32", voigt, {&one, &empty_wide, &one}, 1, m::kTooLarge},
      {"plasma, 0 x 2^32", plasma, {&empty_wide}, 1, m::kTooLarge},
      // Past the checks, the failing scratch reports what allocation would.
      {"voigt, 65535x1 with 1x32768", voigt, {&less_tall, &wide, &one}, 4, m::kOutOfMemory},
      {"voigt, 2x3x4 with a row", voigt, {&deep, &ones_row, &one}, 0, m::kOutOfMemory},
      {"plasma, complex", plasma, {&cplx}, 2, m::kOutOfMemory},
      {"htp, eight inputs", htp, std::vector<const FakeArray*>(8, &one), 2, m::kNineInputsInHTP},
      {"htp, three outputs", htp, nine(&one), 3, m::kAtMostTwoOutputsInHTP},
      {"htp, complex ninth", htp, nine(&cplx), 1, m::kComplex},
      // The struct of derivatives is not created either.
      {"htp, both outputs", htp, nine(&deep), 2, m::kOutOfMemory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto out = call<FailingScratch>(c.deliverable, c.inputs, c.nlhs);
    expect_refused(out.host, out.raised, c.expected);
    for (const FakeArray* slot : out.plhs) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(echo_log.calls, 0);
  }
}

// The scratch holds, at the combined size, the inputs the kernel cannot read
// where they are: broadcast ones, or of another class than double (staged as
// complex for vorlanPlasmaZ).  The results go straight into their arrays.
TEST_F(Elementwise, ScratchHoldsWhatCannotBeUsedInPlace) {
  const FakeArray column = shaped({5, 1});
  const FakeArray row = shaped({1, 7});
  const FakeArray one = shaped({1, 1});
  const FakeArray deep = shaped({2, 1, 3});
  const FakeArray single = shaped({1, 1}, ElementClass::kSingle);
  struct Case {
    const ElementwiseDeliverable& deliverable;
    std::vector<const FakeArray*> inputs;
    int nlhs;
    std::int32_t count;
    int buffers;
  };
  const Case cases[] = {
      {vorlan::kVorlanVoigt, {&column, &row, &one}, 0, 35, 3},
      {vorlan::kVorlanVoigt, {&one, &row, &column}, 1, 35, 3},
      {vorlan::kVorlanVoigt, {&one, &one, &one}, 2, 1, 0},
      {vorlan::kVorlanVoigt, {&deep, &row, &one}, 4, 42, 3},
      {vorlan::kVorlanVoigt, {&row, &row, &one}, 4, 7, 1},
      {vorlan::kVorlanPlasmaZ, {&deep}, 0, 6, 0},
      {vorlan::kVorlanPlasmaZ, {&row}, 2, 7, 0},
      {vorlan::kVorlanPlasmaZ, {&single}, 1, 1, 2},
      // Scalars are read with step 0, a double one where it is and any other
      // from the scratch's tail: a line grid needs no buffer.
      {vorlan::kVorlanHTP, {&row, &one, &single, &one, &one, &one, &one, &one, &one}, 2, 7, 0},
      {vorlan::kVorlanHTP, {&column, &row, &one, &one, &one, &one, &one, &one, &single}, 2, 35, 2},
      {vorlan::kVorlanHTP, {&one, &one, &one, &one, &one, &one, &one, &one, &single}, 1, 1, 0},
  };
  for (const Case& c : cases) {
    FailingScratch::last_count = -1;
    call<FailingScratch>(c.deliverable, c.inputs, c.nlhs);
    EXPECT_EQ(FailingScratch::last_count, c.count);
    EXPECT_EQ(FailingScratch::last_buffers, c.buffers);
  }
}

std::vector<double> iota(std::size_t n, double start) {
  std::vector<double> v(n);
  for (std::size_t k = 0; k < n; ++k) v[k] = start + static_cast<double>(k);
  return v;
}

std::uint64_t product(const Dims& dims) {
  std::uint64_t n = 1;
  for (std::uint64_t e : dims) n *= e;
  return n;
}

TEST_F(Elementwise, InputsBroadcastToTheCombinedSize) {
  struct Case {
    Dims a, b, c, combined;
  };
  const Case cases[] = {
      {{2, 3}, {2, 3}, {2, 3}, {2, 3}},
      {{1, 1}, {4, 2}, {1, 1}, {4, 2}},
      {{3, 1}, {1, 4}, {1, 1}, {3, 4}},
      {{1, 4}, {3, 1}, {3, 4}, {3, 4}},
      {{2, 1, 3}, {1, 4}, {1, 1}, {2, 4, 3}},
      {{2, 1, 2}, {1, 3, 1, 2}, {1, 1}, {2, 3, 2, 2}},
      {{1, 1, 5}, {4, 1}, {1, 2}, {4, 2, 5}},
      {{2, 3}, {2, 3, 1, 1}, {1, 1}, {2, 3, 1, 1}},
      {{0, 3}, {1, 3}, {1, 1}, {0, 3}},
      {{1, 0}, {5, 1}, {1, 1}, {5, 0}},
      {{0, 1}, {1, 1}, {1, 2}, {0, 2}},
      // Empty, though the extents before the 0 multiply past the 32-bit count.
      {{2147483647, 2147483647, 0}, {1, 1}, {1, 1}, {2147483647, 2147483647, 0}},
      {{65536, 1, 0}, {1, 32768}, {1, 1}, {65536, 32768, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.combined));
    echo_log = EchoLog();
    // The first input real, the second complex, the third real (a single
    // scalar where it is 1x1): each one's values tell where they came from.
    const std::array<Dims, 3> own = {c.a, c.b, c.c};
    const std::array<double, 3> start = {1.0, 100.0, 1000.0};
    const FakeArray a = make_nd(c.a, iota(product(c.a), start[0]));
    const FakeArray b = make_nd(c.b, iota(product(c.b), start[1]), iota(product(c.b), -50.0));
    const FakeArray d = c.c == Dims{1, 1}
                            ? make_array<float>(ElementClass::kSingle, 1, 1, {1000.0F})
                            : make_nd(c.c, iota(product(c.c), start[2]));
    const auto out = call(kEchoComplex, {&a, &b, &d}, 3);
    ASSERT_FALSE(out.raised);
    const std::uint64_t n = product(c.combined);
    EXPECT_EQ(echo_log.calls, n > 0 ? 1 : 0);
    for (int o = 0; o < 3; ++o) {
      const FakeArray* r = out.plhs[o];
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(r->dims, c.combined);
      ASSERT_EQ(r->real_storage.size(), n);
      for (std::uint64_t k = 0; k < n; ++k) {
        const auto from = static_cast<double>(source_index(k, c.combined, own[o]));
        EXPECT_EQ(r->real_storage[k], start[o] + from) << "output " << o << " element " << k;
        // Real inputs have +0 imaginary parts, whatever the scratch held.
        const double im = o == 1 ? -50.0 + from : 0.0;
        EXPECT_EQ(r->imag_storage[k], im) << "output " << o << " element " << k;
        EXPECT_EQ(std::signbit(r->imag_storage[k]), std::signbit(im)) << o << " " << k;
      }
    }
  }
}

// Random shapes of two to four dimensions, most of them combinable: the call
// is refused exactly when some dimension has two extents other than 1 that
// differ, and otherwise each output element is the input element that the
// broadcast rule names.
TEST_F(Elementwise, RandomShapesCombineOrAreRefusedAsTheRuleSays) {
  std::mt19937 random(20261209);
  const auto pick = [&random](std::uint32_t n) { return std::uint64_t{random() % n}; };
  const std::array<double, 3> start = {1.0, 100.0, 1000.0};
  for (int trial = 0; trial < 2000; ++trial) {
    SCOPED_TRACE(trial);
    Dims base(2 + pick(3));
    for (std::uint64_t& e : base) e = pick(4);
    std::array<Dims, 3> own;
    Dims combined(2, 1);
    bool conformant = true;
    for (Dims& shape : own) {
      shape.resize(2 + pick(3));
      for (std::size_t d = 0; d < shape.size(); ++d) {
        const std::uint64_t choice = pick(8);
        const std::uint64_t from_base = d < base.size() ? base[d] : 1;
        shape[d] = choice == 0 ? pick(4) : choice < 4 ? 1 : from_base;
        if (combined.size() <= d) combined.push_back(1);
        if (shape[d] == 1) continue;
        conformant = conformant && (combined[d] == 1 || combined[d] == shape[d]);
        combined[d] = shape[d];
      }
    }
    const FakeArray a = make_nd(own[0], iota(product(own[0]), start[0]));
    const FakeArray b = make_nd(own[1], iota(product(own[1]), start[1]), iota(product(own[1]), 0));
    const FakeArray c = make_nd(own[2], iota(product(own[2]), start[2]));
    const auto out = call(kEchoComplex, {&a, &b, &c}, 3);
    ASSERT_EQ(out.raised, !conformant);
    if (!conformant) {
      EXPECT_STREQ(out.host.errors[0].id, m::kNonconformant.id);
      continue;
    }
    for (int o = 0; o < 3; ++o) {
      ASSERT_EQ(out.plhs[o]->dims, combined);
      for (std::uint64_t k = 0; k < product(combined); ++k) {
        const auto from = static_cast<double>(source_index(k, combined, own[o]));
        ASSERT_EQ(out.plhs[o]->real_storage[k], start[o] + from) << o << " " << k;
      }
    }
  }
}

// max(nargout, 1) outputs are created, in order, and the kernel is given
// exactly those; real ones before it runs, for it to write into.
TEST_F(Elementwise, OnlyTheOutputsAskedForAreComputedAndCreated) {
  const FakeArray x = make_nd({1, 2}, {1.0, 2.0});
  for (int nlhs = 0; nlhs <= 4; ++nlhs) {
    SCOPED_TRACE(nlhs);
    echo_log = EchoLog();
    const auto out = call(kEchoReal, {&x, &x, &x}, nlhs);
    const int filled = nlhs > 0 ? nlhs : 1;
    ASSERT_EQ(out.host.created.size(), static_cast<std::size_t>(filled));
    for (int o = 0; o < 4; ++o) {
      EXPECT_EQ(echo_log.wanted[o], o < filled);
      EXPECT_EQ(out.plhs[o] != nullptr, o < filled);
      if (o < filled) {
        EXPECT_FALSE(out.plhs[o]->complex);
        EXPECT_EQ(out.plhs[o]->real_storage, (std::vector<double>{1.0, 2.0}));
      }
    }
    // Each output: created, then its data address.
    const auto per_output = static_cast<std::size_t>(2);
    const std::size_t first = out.host.calls.size() - per_output * static_cast<std::size_t>(filled);
    for (std::size_t c = first; c < out.host.calls.size(); c += per_output) {
      EXPECT_EQ(out.host.calls[c], "MXCREATEDOUBLEARRAY");
      EXPECT_EQ(out.host.calls[c + 1], "MXGETPR");
    }
  }
}

std::uint64_t bits(double d) {
  std::uint64_t b = 0;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

// Each element of the plug-ins' results is the element routine's value at
// the broadcast inputs, to the bit.
TEST_F(Elementwise, PluginsGiveTheElementRoutinesBits) {
  const FakeArray x = make_nd({4, 1}, {-3.0, 0.0, 0.7, 1e4});
  const FakeArray sigma = make_array<std::int8_t>(ElementClass::kInt8, 1, 1, {2});
  const FakeArray gamma = make_nd({1, 3}, {0.0, 0.25, 9.0});
  const auto voigt = call(vorlan::kVorlanVoigt, {&x, &sigma, &gamma}, 4);
  ASSERT_FALSE(voigt.raised);
  for (std::size_t k = 0; k < 12; ++k) {
    double v[4];
    vorlan::VOIGT_ELEMENT(x.real_storage[k % 4], 2.0, gamma.real_storage[k / 4], v[0], v[1], v[2],
                          v[3]);
    for (int o = 0; o < 4; ++o) {
      EXPECT_EQ(bits(voigt.plhs[o]->real_storage[k]), bits(v[o])) << o << " " << k;
    }
  }

  const FakeArray zeta = make_nd({1, 2, 2}, {0.0, 1.5, -2.0, 30.0}, {0.0, 1.0, -0.5, 0.0});
  const FakeArray real_zeta = make_nd({3, 1}, {0.0, -4.0, 1e200});
  for (const FakeArray* input : {&zeta, &real_zeta}) {
    const auto plasma = call(vorlan::kVorlanPlasmaZ, {input}, 2);
    ASSERT_FALSE(plasma.raised);
    EXPECT_EQ(plasma.plhs[0]->dims, input->dims);
    for (std::size_t k = 0; k < input->real_storage.size(); ++k) {
      double z[4];
      const double zi = input->complex ? input->imag_storage[k] : 0.0;
      vorlan::PLASMA_Z_ELEMENT(input->real_storage[k], zi, z[0], z[1], z[2], z[3]);
      const double got[4] = {plasma.plhs[0]->real_storage[k], plasma.plhs[0]->imag_storage[k],
                             plasma.plhs[1]->real_storage[k], plasma.plhs[1]->imag_storage[k]};
      for (int o = 0; o < 4; ++o) EXPECT_EQ(bits(got[o]), bits(z[o])) << o << " " << k;
    }
  }
}

// Every array the host made hangs from plhs: a plain output, a struct output
// or one of its fields.
template <class Host>
void expect_all_reachable(const Outcome<Host>& out) {
  for (const auto& made : out.host.created) {
    bool found = false;
    for (const FakeArray* slot : out.plhs) {
      if (slot == nullptr) continue;
      found = found || slot == made.get();
      for (const FakeArray* field : slot->fields) found = found || field == made.get();
    }
    EXPECT_TRUE(found) << "an array that nothing holds";
  }
}

// A host whose n-th array creation fails, as a host out of memory does:
// nothing made before it is left unheld.
class HostFailingAt : public RecordingHost {
 public:
  static inline int fail_at = 0;
  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims, std::int32_t complexity) {
    if (++made_ == fail_at) MEXERRMSGTXT(m::kOutOfMemory);
    return RecordingHost::MXCREATEDOUBLEARRAY(ndims, dims, complexity);
  }

 private:
  int made_ = 0;
};

TEST_F(Elementwise, HostFailureLeavesEveryArrayHeld) {
  const FakeArray nu = make_nd({1, 4}, {1.0, 2.0, 3.0, 4.0});
  std::vector<const FakeArray*> inputs(9, &nu);
  for (int n = 1; n <= 9; ++n) {
    SCOPED_TRACE(n);
    HostFailingAt::fail_at = n;
    const auto out = call<PoisonedScratch, HostFailingAt>(vorlan::kVorlanHTP, inputs, 2);
    EXPECT_TRUE(out.raised);
    // The arrays before the failing one, and the struct once F is made.
    EXPECT_EQ(out.host.created.size(), static_cast<std::size_t>(n - 1 + (n > 1 ? 1 : 0)));
    expect_all_reachable(out);
    EXPECT_EQ(echo_log.calls, 0);
  }
}

// vorlanHTP's results and derivatives are the element routine's, to the bit,
// element by element, on both complex APIs, with scalars of any class read
// with step 0 and the others broadcast.
template <class Host>
void check_htp_bits() {
  // A column of nu, rows of Gamma0 and eta, scalars (GammaD single).
  const std::vector<std::vector<double>> values = {{-1.0, 999.5, 1000.0, 1000.25, 1.0 / 0.0},
                                                   {1000.0},
                                                   {0.125},
                                                   {0.0, 0.05},
                                                   {0.01},
                                                   {-0.002},
                                                   {0.0},
                                                   {0.02},
                                                   {0.0, 0.25}};
  std::vector<FakeArray> arrays;
  std::vector<const FakeArray*> inputs;
  arrays.reserve(values.size());
  inputs.reserve(values.size());
  for (const auto& v : values)
    arrays.push_back(make_nd({v.size() == 5 ? 5U : 1U, v.size() == 2 ? 2U : 1U}, v));
  arrays[vorlan::kHtpGammaD] = make_array<float>(ElementClass::kSingle, 1, 1, {0.125F});
  for (const FakeArray& a : arrays) inputs.push_back(&a);
  // dF, a 1x1 struct of complex arrays of F's size, is made only when asked.
  const auto value_only = call<PoisonedScratch, Host>(vorlan::kVorlanHTP, inputs, 1);
  EXPECT_EQ(value_only.host.created.size(), 1U);
  const auto out = call<PoisonedScratch, Host>(vorlan::kVorlanHTP, inputs, 2);
  ASSERT_FALSE(out.raised);
  const FakeArray* d_f = out.plhs[1];
  ASSERT_EQ(d_f->fields.size(), 8U);
  EXPECT_EQ(d_f->rows * d_f->columns, 1U);
  for (int d = 0; d < vorlan::kHtpDerivatives; ++d) {
    EXPECT_EQ(d_f->field_names[d], vorlan::detail::kHtpDerivativeNames[d]);
    EXPECT_TRUE(d_f->fields[d]->complex);
    EXPECT_EQ(d_f->fields[d]->dims, (Dims{5, 2}));
  }
  for (std::size_t k = 0; k < 10; ++k) {
    double a[vorlan::kHtpArguments];
    for (int j = 0; j < vorlan::kHtpArguments; ++j) {
      const std::vector<double>& v = values[j];
      a[j] = v[v.size() == 5 ? k % 5 : v.size() == 2 ? k / 5 : 0];
    }
    vorlan::HtpValue v{};
    vorlan::HTP_ELEMENT(a, true, v);
    EXPECT_EQ(bits(result_element(out.plhs[0], k, false)), bits(v.re)) << k;
    EXPECT_EQ(bits(result_element(out.plhs[0], k, true)), bits(v.im)) << k;
    for (int d = 0; d < vorlan::kHtpDerivatives; ++d) {
      const FakeArray* field = d_f->fields[d];
      EXPECT_EQ(bits(result_element(field, k, false)), bits(v.d_re[d])) << d << " " << k;
      EXPECT_EQ(bits(result_element(field, k, true)), bits(v.d_im[d])) << d << " " << k;
    }
  }
}

TEST_F(Elementwise, HtpGivesTheElementRoutinesBits) {
  check_htp_bits<RecordingHost>();
  check_htp_bits<vorlan::testing::InterleavingHost>();
}

}  // namespace
