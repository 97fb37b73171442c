// The gateway against the recording host, over arbitrary calls: argument
// counts, element classes, shapes up to 64-bit extents, complex and sparse
// flags, output counts, and scratch that cannot be had.  Properties:
//  - no crash, no undefined behaviour, no leak (AddressSanitizer, UBSan,
//    LeakSanitizer);
//  - exactly one outcome: one error and no array created, or no error and one
//    array created and handed back in the first output slot;
//  - the error is the first that applies of argument count, complexity,
//    numeric class, sparsity, size and scratch; before it no element data is
//    read and nothing is created, and no output slot is touched;
//  - a result has the input's rows and columns, is complex, and holds the
//    element routine's value of every input element converted to double.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_checks.hpp"
#include "recording_host.hpp"
#include "vorlan/deliverables.hpp"
#include "vorlan/gateway.hpp"
#include "vorlan/w_complete.hpp"

namespace {

using vorlan::Deliverable;
using vorlan::ElementClass;
using vorlan::InputPolicy;
using vorlan::Message;
using vorlan::testing::FailingScratch;
using vorlan::testing::FakeArray;
using vorlan::testing::HostError;
using vorlan::testing::RecordingHost;

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
// Arrays up to this many elements hold real data; larger ones are described
// by their extents alone and meet a scratch that cannot be had.
constexpr std::uint64_t kStoredLimit = 300;

constexpr std::uint64_t kEdgeExtents[] = {46340,
                                          46341,
                                          65535,
                                          65536,
                                          kMaxCount - 1,
                                          kMaxCount,
                                          kMaxCount + 1,
                                          0xffffffffULL,
                                          0x100000000ULL,
                                          0x100000001ULL,
                                          0x8000000000000000ULL,
                                          std::numeric_limits<std::uint64_t>::max()};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

std::size_t element_size(ElementClass c) {
  switch (c) {
    case ElementClass::kDouble: return sizeof(double);
    case ElementClass::kSingle: return sizeof(float);
    case ElementClass::kInt8: return 1;
    case ElementClass::kUInt8: return 1;
    case ElementClass::kInt16: return 2;
    case ElementClass::kUInt16: return 2;
    case ElementClass::kInt32: return 4;
    case ElementClass::kUInt32: return 4;
    case ElementClass::kInt64: return 8;
    case ElementClass::kUInt64: return 8;
    case ElementClass::kLogical: return sizeof(RecordingHost::Logical);
    case ElementClass::kNotNumeric: return 1;
  }
  return 1;
}

template <class T>
double read_as(const std::vector<double>& storage, std::size_t k) {
  T t;
  std::memcpy(&t, reinterpret_cast<const unsigned char*>(storage.data()) + k * sizeof(T),
              sizeof(T));
  return static_cast<double>(t);
}

// Element k of one part, as the gateway is to stage it.
double element_as_double(const FakeArray& a, bool imaginary, std::size_t k) {
  const std::vector<double>& s = imaginary ? a.imag_storage : a.real_storage;
  switch (a.element_class) {
    case ElementClass::kDouble: return read_as<double>(s, k);
    case ElementClass::kSingle: return read_as<float>(s, k);
    case ElementClass::kInt8: return read_as<std::int8_t>(s, k);
    case ElementClass::kUInt8: return read_as<std::uint8_t>(s, k);
    case ElementClass::kInt16: return read_as<std::int16_t>(s, k);
    case ElementClass::kUInt16: return read_as<std::uint16_t>(s, k);
    case ElementClass::kInt32: return read_as<std::int32_t>(s, k);
    case ElementClass::kUInt32: return read_as<std::uint32_t>(s, k);
    case ElementClass::kInt64: return read_as<std::int64_t>(s, k);
    case ElementClass::kUInt64: return read_as<std::uint64_t>(s, k);
    case ElementClass::kLogical: return read_as<RecordingHost::Logical>(s, k);
    case ElementClass::kNotNumeric: break;
  }
  fail("staging a non-numeric array");
}

std::uint64_t pick_extent(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
    case 1:
    case 2: return in.ConsumeIntegralInRange<std::uint64_t>(0, 9);
    case 3:
      return kEdgeExtents[in.ConsumeIntegralInRange<std::size_t>(
          0, sizeof kEdgeExtents / sizeof kEdgeExtents[0] - 1)];
    default: return in.ConsumeIntegral<std::uint64_t>();
  }
}

// The element count if it fits the gateway's 32-bit count, else none.
bool fits_count(std::uint64_t rows, std::uint64_t columns, std::uint64_t& count) {
  if (rows > kMaxCount || columns > kMaxCount) return false;
  if (rows != 0 && columns > kMaxCount / rows) return false;
  count = rows * columns;
  return true;
}

std::vector<double> fill_part(FuzzedDataProvider& in, ElementClass c, std::uint64_t count) {
  const std::size_t size = element_size(c);
  const std::size_t bytes = static_cast<std::size_t>(count) * size;
  std::vector<double> storage((bytes + sizeof(double) - 1) / sizeof(double), 0.0);
  std::vector<std::uint8_t> raw = in.ConsumeBytes<std::uint8_t>(bytes);
  raw.resize(bytes, 0);
  if (c == ElementClass::kLogical) {
    for (std::uint8_t& b : raw) b = b & 1;  // the host's logicals are 0 or 1
    if (size != 1) fail("logical elements wider than a byte");
  }
  if (bytes > 0) std::memcpy(storage.data(), raw.data(), bytes);
  return storage;
}

FakeArray make_argument(FuzzedDataProvider& in) {
  FakeArray a;
  a.element_class = static_cast<ElementClass>(
      in.ConsumeIntegralInRange<int>(0, static_cast<int>(ElementClass::kNotNumeric)));
  a.complex = in.ConsumeIntegralInRange<int>(0, 2) != 0;
  a.sparse = in.ConsumeIntegralInRange<int>(0, 7) == 0;
  a.rows = pick_extent(in);
  a.columns = pick_extent(in);
  std::uint64_t count = 0;
  if (fits_count(a.rows, a.columns, count) && count <= kStoredLimit) {
    a.real_storage = fill_part(in, a.element_class, count);
    if (a.complex) a.imag_storage = fill_part(in, a.element_class, count);
  }
  return a;
}

const Message* expected_error(const Deliverable& d, int nrhs, const FakeArray& a,
                              bool scratch_fails) {
  if (nrhs != 1) return &d.argument_count;
  if (d.policy == InputPolicy::kComplexRequired && !a.complex)
    return &vorlan::messages::kNotComplex;
  if (a.element_class == ElementClass::kNotNumeric) return &vorlan::messages::kNotNumeric;
  if (a.sparse) return &vorlan::messages::kSparse;
  std::uint64_t count = 0;
  if (!fits_count(a.rows, a.columns, count)) return &vorlan::messages::kTooLarge;
  if (scratch_fails) return &vorlan::messages::kOutOfMemory;
  return nullptr;
}

bool reads_or_creates(const std::string& call) {
  return call == "MXGETPR" || call == "MXGETPI" || call == "MXGETDATA" || call == "MXGETIMAGDATA" ||
         call == "MXCOPYPTRTOREAL8700" || call == "MXCREATEDOUBLEMATRIX700" ||
         call == "MXCOPYREAL8TOPTR700";
}

void check_result(const Deliverable& d, const FakeArray& a, const FakeArray& w) {
  if (w.rows != a.rows || w.columns != a.columns || !w.complex) fail("result shape or complexity");
  const std::size_t n = static_cast<std::size_t>(a.rows * a.columns);
  if (w.real_storage.size() != n || w.imag_storage.size() != n) fail("result storage");
  const bool complex_input = a.complex || d.policy == InputPolicy::kComplexRequired;
  const bool regions = d.kernel == vorlan::kVorlanRegion.kernel;
  for (std::size_t k = 0; k < n; ++k) {
    const double x = element_as_double(a, false, k);
    const double y = complex_input ? element_as_double(a, true, k) : +0.0;
    double u = 0.0;
    double v = 0.0;
    if (regions) {
      vorlan::W_REGIONS_ELEMENT(x, y, u, v);
    } else {
      vorlan::W_RATIONAL_ELEMENT(x, y, u, v);
    }
    if (!vorlan::fuzz::same_value(w.real_storage[k], u) ||
        !vorlan::fuzz::same_value(w.imag_storage[k], v)) {
      vorlan::fuzz::fail("result element differs from the element routine", x, y, w.real_storage[k],
                         w.imag_storage[k]);
    }
  }
}

template <class Scratch>
bool call_gateway(RecordingHost& host, const Deliverable& d, int nlhs, FakeArray** plhs, int nrhs,
                  const FakeArray* const* prhs) {
  try {
    vorlan::MEXFUNCTION<RecordingHost, Scratch>(host, d, nlhs, plhs, nrhs, prhs);
  } catch (const HostError&) {
    return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  static const Deliverable* const kDeliverables[] = {&vorlan::kVorlanRegion, &vorlan::kVorlan,
                                                     &vorlan::kVorlanRational};
  const Deliverable& d = *kDeliverables[in.ConsumeIntegralInRange<int>(0, 2)];
  const int nrhs =
      in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegralInRange<int>(0, 3) : 1;
  const int nlhs = in.ConsumeIntegralInRange<int>(0, 3);
  const bool choose_failing = in.ConsumeIntegralInRange<int>(0, 15) == 0;

  std::vector<FakeArray> arguments;
  for (int k = 0; k < std::max(nrhs, 1); ++k) arguments.push_back(make_argument(in));
  const FakeArray* prhs[4] = {&arguments[0], nullptr, nullptr, nullptr};
  for (int k = 1; k < nrhs; ++k) prhs[k] = &arguments[static_cast<std::size_t>(k)];

  // An array too large to hold here but within the 32-bit count meets the
  // failing scratch: the gateway must refuse it before reading anything.
  std::uint64_t count = 0;
  const FakeArray& first = arguments[0];
  const bool unstored = fits_count(first.rows, first.columns, count) && count > kStoredLimit;
  const bool scratch_fails = choose_failing || unstored;

  static FakeArray untouched_slot;
  FakeArray* plhs[4] = {&untouched_slot, &untouched_slot, &untouched_slot, &untouched_slot};
  RecordingHost host;
  const bool raised = scratch_fails
                          ? call_gateway<FailingScratch>(host, d, nlhs, plhs, nrhs, prhs)
                          : call_gateway<vorlan::HeapScratch>(host, d, nlhs, plhs, nrhs, prhs);

  for (int k = 1; k < 4; ++k) {
    if (plhs[k] != &untouched_slot) fail("an output slot beyond the first was written");
  }
  const Message* expected = expected_error(d, nrhs, first, scratch_fails);
  if (raised) {
    if (host.errors.size() != 1) fail("raised without exactly one error message");
    if (!host.created.empty()) fail("an array created before an error");
    if (plhs[0] != &untouched_slot) fail("the output slot written on error");
    if (host.calls.empty() || host.calls.back() != "MEXERRMSGTXT") fail("calls after the error");
    if (std::any_of(host.calls.begin(), host.calls.end(), reads_or_creates)) {
      fail("data read or an array created before an error");
    }
    if (expected == nullptr) fail("an error where a result was due");
    if (std::strcmp(host.errors[0].id, expected->id) != 0 ||
        std::strcmp(host.errors[0].text, expected->text) != 0) {
      std::fprintf(stderr, "got %s, expected %s\n", host.errors[0].id, expected->id);
      fail("the wrong error");
    }
    return 0;
  }
  if (!host.errors.empty()) fail("an error message without the error");
  if (host.created.size() != 1) fail("not exactly one array created");
  if (plhs[0] != host.created[0].get()) fail("the result not in the first output slot");
  if (expected != nullptr) {
    std::fprintf(stderr, "expected %s\n", expected->id);
    fail("a result where an error was due");
  }
  check_result(d, first, *host.created[0]);
  return 0;
}
