// The gateway against the recording host, over arbitrary calls of both its
// paths.
//
// The fixed path (vorlanRegion, vorlan, vorlanRational): argument counts,
// element classes, shapes up to 64-bit extents, complex and sparse flags,
// output counts, and scratch that cannot be had.  Properties:
//  - no crash, no undefined behaviour, no leak (AddressSanitizer, UBSan,
//    LeakSanitizer);
//  - exactly one outcome: one error and no array created, or no error and one
//    array created and handed back in the first output slot;
//  - the error is the first that applies of argument count, complexity,
//    numeric class, sparsity, size and scratch; before it no element data is
//    read and nothing is created, and no output slot is touched;
//  - a result has the input's rows and columns, is complex, and holds the
//    element routine's value of every input element converted to double.
//
// The element-wise path (vorlanVoigt, vorlanPlasmaZ, vorlanHTP): the same
// kinds of argument, of up to four dimensions around a shape the call shares
// so that most combine (scalars, rows, columns, empty and mismatched
// extents), on either complex array API of the host, and a host whose n-th
// array creation fails.  Properties:
//  - the error is the first that applies of argument count, output count,
//    then input by input numeric class, sparsity and complexity, then
//    conformance, size and scratch, with nothing read, created or handed back
//    before it;
//  - a failed creation leaves every array made before it reachable from the
//    output slots;
//  - otherwise max(nargout, 1) outputs fill their slots and no other: arrays
//    of the combined size, or 1x1 structs of such arrays with the plug-in's
//    field names, real or complex as the plug-in says, holding the element
//    routine's value at the broadcast inputs converted to double.
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

#include "broadcast_model.hpp"
#include "fuzz_checks.hpp"
#include "recording_host.hpp"
#include "vorlan/deliverables.hpp"
#include "vorlan/elementwise.hpp"
#include "vorlan/gateway.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"

namespace {

using vorlan::Deliverable;
using vorlan::ElementClass;
using vorlan::ElementwiseDeliverable;
using vorlan::InputPolicy;
using vorlan::Message;
using vorlan::testing::element_bytes;
using vorlan::testing::FailingScratch;
using vorlan::testing::FakeArray;
using vorlan::testing::HostError;
using vorlan::testing::InterleavingHost;
using vorlan::testing::reads_or_creates;
using vorlan::testing::RecordingHost;
using vorlan::testing::result_element;
using Dims = std::vector<std::uint64_t>;

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
  const std::size_t size = element_bytes(c);
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

// An output slot's value before the call: the gateway must write a slot only
// with an array it has created.
FakeArray untouched_slot;

// What a refused call leaves: exactly the expected error, as the last host
// operation, with no data read, no array created and no output slot written.
void check_refused(const RecordingHost& host, FakeArray* const* plhs, int slots,
                   const Message* expected) {
  if (host.errors.size() != 1) fail("raised without exactly one error message");
  if (!host.created.empty()) fail("an array created before an error");
  for (int k = 0; k < slots; ++k) {
    if (plhs[k] != &untouched_slot) fail("an output slot written on error");
  }
  if (host.calls.empty() || host.calls.back() != "MEXERRMSGTXT") fail("calls after the error");
  if (std::any_of(host.calls.begin(), host.calls.end(), reads_or_creates)) {
    fail("data read or an array created before an error");
  }
  if (expected == nullptr) {
    std::fprintf(stderr, "got %s\n", host.errors[0].id);
    fail("an error where a result was due");
  }
  if (std::strcmp(host.errors[0].id, expected->id) != 0 ||
      std::strcmp(host.errors[0].text, expected->text) != 0) {
    std::fprintf(stderr, "got %s, expected %s\n", host.errors[0].id, expected->id);
    fail("the wrong error");
  }
}

// Calls either path's entry; true when it raised an error.
template <class Scratch, class Host, class Description>
bool call_gateway(Host& host, const Description& d, int nlhs, FakeArray** plhs, int nrhs,
                  const FakeArray* const* prhs) {
  try {
    vorlan::MEXFUNCTION<Host, Scratch>(host, d, nlhs, plhs, nrhs, prhs);
  } catch (const HostError&) {
    return true;
  }
  return false;
}

void fuzz_fixed_path(FuzzedDataProvider& in, const Deliverable& d) {
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
    check_refused(host, plhs, 1, expected);
    return;
  }
  if (!host.errors.empty()) fail("an error message without the error");
  if (host.created.size() != 1) fail("not exactly one array created");
  if (plhs[0] != host.created[0].get()) fail("the result not in the first output slot");
  if (expected != nullptr) {
    std::fprintf(stderr, "expected %s\n", expected->id);
    fail("a result where an error was due");
  }
  check_result(d, first, *host.created[0]);
}

// ---------------------------------------------------------------------------
// The element-wise path.

// Elements of an array of these dimensions, or more than kStoredLimit.
std::uint64_t stored_elements(const Dims& dims) {
  if (std::find(dims.begin(), dims.end(), 0) != dims.end()) return 0;
  std::uint64_t n = 1;
  for (std::uint64_t e : dims) {
    if (e > kStoredLimit || n * e > kStoredLimit) return kStoredLimit + 1;
    n *= e;
  }
  return n;
}

// Mostly a small extent, some of them 1; at times an edge one.
std::uint64_t pick_base_extent(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) return pick_extent(in);
  return in.ConsumeIntegralInRange<std::uint64_t>(0, 4);
}

// A scalar, or two to four dimensions each 1, the call's shared one or one
// of its own.
Dims pick_dims(FuzzedDataProvider& in, const Dims& shared) {
  if (in.ConsumeIntegralInRange<int>(0, 2) == 0) return {1, 1};
  Dims dims(2 + in.ConsumeIntegralInRange<std::size_t>(0, 2));
  for (std::size_t d = 0; d < dims.size(); ++d) {
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
      case 0:
      case 1: dims[d] = 1; break;
      case 2: dims[d] = pick_base_extent(in); break;
      default: dims[d] = d < shared.size() ? shared[d] : 1; break;
    }
  }
  return dims;
}

FakeArray make_elementwise_argument(FuzzedDataProvider& in, const Dims& shared) {
  FakeArray a;
  // Half of them double, which the gateway may read where it is.
  a.element_class = in.ConsumeBool() ? ElementClass::kDouble
                                     : static_cast<ElementClass>(in.ConsumeIntegralInRange<int>(
                                           0, static_cast<int>(ElementClass::kNotNumeric)));
  a.complex = in.ConsumeIntegralInRange<int>(0, 3) == 0;
  a.sparse = in.ConsumeIntegralInRange<int>(0, 15) == 0;
  a.dims = pick_dims(in, shared);
  a.rows = a.dims[0];
  a.columns = 1;
  for (std::size_t d = 1; d < a.dims.size(); ++d) a.columns *= a.dims[d];
  const std::uint64_t count = stored_elements(a.dims);
  if (count <= kStoredLimit) {
    a.real_storage = fill_part(in, a.element_class, count);
    if (a.complex) a.imag_storage = fill_part(in, a.element_class, count);
  }
  return a;
}

// The combined size by the broadcast rule: per dimension the extent other
// than 1, if the inputs have at most one.
bool combine(const std::vector<const FakeArray*>& inputs, Dims& combined) {
  combined.clear();
  for (const FakeArray* a : inputs) {
    if (combined.size() < a->dims.size()) combined.resize(a->dims.size(), 1);
  }
  bool conformant = true;
  for (const FakeArray* a : inputs) {
    for (std::size_t d = 0; d < a->dims.size(); ++d) {
      if (a->dims[d] == 1) continue;
      conformant = conformant && (combined[d] == 1 || combined[d] == a->dims[d]);
      combined[d] = a->dims[d];
    }
  }
  return conformant;
}

// Every extent and their product within the 32-bit count.
bool fits_count(const Dims& dims, std::uint64_t& count) {
  count = 1;
  bool fits = true;
  for (std::uint64_t e : dims) fits = fits && e <= kMaxCount;
  if (!fits) return false;
  if (std::find(dims.begin(), dims.end(), 0) != dims.end()) {
    count = 0;
    return true;
  }
  for (std::uint64_t e : dims) {
    if (count > kMaxCount / e) return false;
    count *= e;
  }
  return true;
}

const Message* expected_elementwise_error(const ElementwiseDeliverable& d, int nrhs, int nlhs,
                                          const std::vector<const FakeArray*>& inputs,
                                          bool conformant, bool fits, bool scratch_fails) {
  if (nrhs != d.inputs) return &d.argument_count;
  if (nlhs > d.outputs) return &d.too_many_outputs;
  for (const FakeArray* a : inputs) {
    if (a->element_class == ElementClass::kNotNumeric) return &vorlan::messages::kNotNumeric;
    if (a->sparse) return &vorlan::messages::kSparse;
    if (a->complex && !d.complex_inputs) return &vorlan::messages::kComplex;
  }
  if (!conformant) return &vorlan::messages::kNonconformant;
  if (!fits) return &vorlan::messages::kTooLarge;
  if (scratch_fails) return &vorlan::messages::kOutOfMemory;
  return nullptr;
}

// The element routine's results at one point, in the order of the result
// arrays (outputs, and within a struct its fields); an imaginary part of a
// real result is left 0.
void element_results(const ElementwiseDeliverable& d, const double* x, const double* y,
                     bool derivatives, double* re, double* im) {
  if (&d == &vorlan::kVorlanVoigt) {
    vorlan::VOIGT_ELEMENT(x[0], x[1], x[2], re[0], re[1], re[2], re[3]);
  } else if (&d == &vorlan::kVorlanPlasmaZ) {
    vorlan::PLASMA_Z_ELEMENT(x[0], y[0], re[0], im[0], re[1], im[1]);
  } else {
    double arguments[vorlan::kHtpArguments];
    std::copy(x, x + vorlan::kHtpArguments, arguments);
    vorlan::HtpValue v{};
    vorlan::HTP_ELEMENT(arguments, derivatives, v);
    re[0] = v.re;
    im[0] = v.im;
    for (int k = 0; k < vorlan::kHtpDerivatives && derivatives; ++k) {
      re[1 + k] = v.d_re[k];
      im[1 + k] = v.d_im[k];
    }
  }
}

// One result array: the combined dimensions, real or complex as described,
// every element the element routine's.
void check_result_array(const FakeArray* r, const Dims& combined, bool complex,
                        const std::vector<double>& re, const std::vector<double>& im) {
  if (r == nullptr || r->element_class != ElementClass::kDouble) fail("result not a double array");
  if (r->dims != combined || r->complex != complex) fail("result shape or complexity");
  const std::size_t n = re.size();
  if (r->real_storage.size() + r->imag_storage.size() != n * (complex ? 2 : 1)) {
    fail("result storage");
  }
  for (std::size_t k = 0; k < n; ++k) {
    const double u = result_element(r, k, false);
    const double v = complex ? result_element(r, k, true) : 0.0;
    if (!vorlan::fuzz::same_value(u, re[k]) || (complex && !vorlan::fuzz::same_value(v, im[k]))) {
      std::fprintf(stderr, "element %zu of %zu; element routine %a %a\n", k, n, re[k], im[k]);
      vorlan::fuzz::fail("result element differs from the element routine", u, v, re[k], im[k]);
    }
  }
}

void check_elementwise_results(const ElementwiseDeliverable& d, int filled,
                               const std::vector<const FakeArray*>& inputs, const Dims& combined,
                               std::uint64_t count, FakeArray* const* plhs) {
  const auto n = static_cast<std::size_t>(count);
  std::vector<std::vector<double>> re(vorlan::kMaxElementwiseArrays, std::vector<double>(n));
  std::vector<std::vector<double>> im(vorlan::kMaxElementwiseArrays, std::vector<double>(n));
  const bool derivatives = filled > 1;
  for (std::size_t k = 0; k < n; ++k) {
    double x[vorlan::kMaxElementwiseInputs];
    double y[vorlan::kMaxElementwiseInputs];
    for (std::size_t j = 0; j < inputs.size(); ++j) {
      const FakeArray& a = *inputs[j];
      const std::size_t from = vorlan::testing::source_index(k, combined, a.dims);
      x[j] = element_as_double(a, false, from);
      y[j] = a.complex ? element_as_double(a, true, from) : +0.0;
    }
    double u[vorlan::kMaxElementwiseArrays] = {};
    double v[vorlan::kMaxElementwiseArrays] = {};
    element_results(d, x, y, derivatives, u, v);
    for (int r = 0; r < vorlan::kMaxElementwiseArrays; ++r) {
      re[r][k] = u[r];
      im[r][k] = v[r];
    }
  }
  int r = 0;
  for (int o = 0; o < filled; ++o) {
    const bool complex = d.complex_outputs[o];
    const vorlan::ElementwiseFields& fields = d.fields[o];
    if (fields.count == 0) {
      check_result_array(plhs[o], combined, complex, re[r], im[r]);
      ++r;
      continue;
    }
    const FakeArray* s = plhs[o];
    if (s->element_class != ElementClass::kNotNumeric || s->rows != 1 || s->columns != 1 ||
        s->fields.size() != static_cast<std::size_t>(fields.count)) {
      fail("a struct output not 1x1 with its fields");
    }
    for (int f = 0; f < fields.count; ++f) {
      if (s->field_names[f] != fields.names[f]) fail("a field's name");
      check_result_array(s->fields[f], combined, complex, re[r], im[r]);
      ++r;
    }
  }
}

// The recording host, or the interleaving one, whose n-th array creation
// (plain or struct) fails as a host out of memory fails: the error
// operation, which does not return.
template <class Base>
class CreationFailingHost : public Base {
 public:
  explicit CreationFailingHost(int fail_at) : fail_at_(fail_at) {}
  using typename Base::Dimension;
  using typename Base::Output;
  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims, std::int32_t complexity) {
    made();
    return Base::MXCREATEDOUBLEARRAY(ndims, dims, complexity);
  }
  Output MXCREATESTRUCTMATRIX(std::int32_t rows, std::int32_t columns, std::int32_t fields,
                              const char* const* names) {
    made();
    return Base::MXCREATESTRUCTMATRIX(rows, columns, fields, names);
  }

 private:
  void made() {
    if (++made_ == fail_at_) this->MEXERRMSGTXT(vorlan::messages::kOutOfMemory);
  }
  int fail_at_;
  int made_ = 0;
};

// Whether every array the host made hangs from an output slot: a plain
// output, a struct output or one of its fields.
bool all_reachable(const RecordingHost& host, FakeArray* const* plhs, int slots) {
  for (const auto& made : host.created) {
    bool found = false;
    for (int o = 0; o < slots && !found; ++o) {
      if (plhs[o] == &untouched_slot) continue;
      found = plhs[o] == made.get() || std::find(plhs[o]->fields.begin(), plhs[o]->fields.end(),
                                                 made.get()) != plhs[o]->fields.end();
    }
    if (!found) return false;
  }
  return true;
}

// Arrays a call of filled outputs creates: one per plain output, a struct
// and its fields per struct output.
int arrays_created(const ElementwiseDeliverable& d, int filled) {
  int n = 0;
  for (int o = 0; o < filled; ++o) n += d.fields[o].count > 0 ? 1 + d.fields[o].count : 1;
  return n;
}

template <class Host>
void fuzz_elementwise_on(FuzzedDataProvider& in, const ElementwiseDeliverable& d) {
  const int nrhs = in.ConsumeIntegralInRange<int>(0, 7) == 0
                       ? in.ConsumeIntegralInRange<int>(0, vorlan::kMaxElementwiseInputs + 1)
                       : d.inputs;
  const int nlhs = in.ConsumeIntegralInRange<int>(0, d.outputs + 1);
  const bool choose_failing = in.ConsumeIntegralInRange<int>(0, 15) == 0;
  const int fail_creation_at =
      in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegralInRange<int>(1, 10) : 0;
  Dims shared(2 + in.ConsumeIntegralInRange<std::size_t>(0, 2));
  for (std::uint64_t& e : shared) e = pick_base_extent(in);

  std::vector<FakeArray> arguments;
  arguments.reserve(static_cast<std::size_t>(nrhs));
  for (int k = 0; k < nrhs; ++k) arguments.push_back(make_elementwise_argument(in, shared));
  std::vector<const FakeArray*> prhs;
  for (const FakeArray& a : arguments) prhs.push_back(&a);

  Dims combined;
  std::uint64_t count = 0;
  const bool conformant = combine(prhs, combined);
  const bool fits = fits_count(combined, count);
  // Inputs too large to hold here meet the failing scratch, as does a call
  // whose results would be.
  const bool scratch_fails = choose_failing || count > kStoredLimit;

  constexpr int kSlots = vorlan::kMaxElementwiseOutputs + 1;
  FakeArray* plhs[kSlots];
  std::fill(plhs, plhs + kSlots, &untouched_slot);
  CreationFailingHost<Host> host(fail_creation_at);
  const bool raised =
      scratch_fails ? call_gateway<FailingScratch>(host, d, nlhs, plhs, nrhs, prhs.data())
                    : call_gateway<vorlan::HeapScratch>(host, d, nlhs, plhs, nrhs, prhs.data());

  const Message* expected =
      expected_elementwise_error(d, nrhs, nlhs, prhs, conformant, fits, scratch_fails);
  const int filled = std::max(nlhs, 1);
  const bool creation_fails = fail_creation_at > 0 && fail_creation_at <= arrays_created(d, filled);
  if (expected == nullptr && creation_fails) {
    if (!raised || host.errors.size() != 1) fail("a failed creation not raised once");
    if (host.created.size() != static_cast<std::size_t>(fail_creation_at - 1)) {
      fail("arrays created after a failed creation");
    }
    if (!all_reachable(host, plhs, kSlots)) fail("an array that no output slot holds");
    return;
  }
  if (raised) {
    check_refused(host, plhs, kSlots, expected);
    return;
  }
  if (!host.errors.empty()) fail("an error message without the error");
  if (expected != nullptr) {
    std::fprintf(stderr, "expected %s\n", expected->id);
    fail("a result where an error was due");
  }
  for (int o = filled; o < kSlots; ++o) {
    if (plhs[o] != &untouched_slot) fail("an output slot beyond those asked for was written");
  }
  if (host.created.size() != static_cast<std::size_t>(arrays_created(d, filled))) {
    fail("not one array per result");
  }
  if (!all_reachable(host, plhs, kSlots)) fail("an array that no output slot holds");
  check_elementwise_results(d, filled, prhs, combined, count, plhs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  static const Deliverable* const kFixed[] = {&vorlan::kVorlanRegion, &vorlan::kVorlan,
                                              &vorlan::kVorlanRational};
  static const ElementwiseDeliverable* const kElementwise[] = {
      &vorlan::kVorlanVoigt, &vorlan::kVorlanPlasmaZ, &vorlan::kVorlanHTP};
  const int plugin = in.ConsumeIntegralInRange<int>(0, 5);
  if (plugin < 3) {
    fuzz_fixed_path(in, *kFixed[plugin]);
    return 0;
  }
  const ElementwiseDeliverable& d = *kElementwise[plugin - 3];
  if (in.ConsumeBool()) {
    fuzz_elementwise_on<InterleavingHost>(in, d);
  } else {
    fuzz_elementwise_on<RecordingHost>(in, d);
  }
  return 0;
}
