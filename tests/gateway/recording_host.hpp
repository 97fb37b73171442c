// A stand-in for the MEX host: fake arrays in memory, a log of every host
// operation the gateway performs, and an error operation that records its
// message and unwinds, as the real one never returns.
#ifndef VORLAN_TESTS_RECORDING_HOST_HPP
#define VORLAN_TESTS_RECORDING_HOST_HPP

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "vorlan/gateway.hpp"

namespace vorlan::testing {

// One host array.  Sizes are 64-bit and independent of the storage, so that a
// huge array can be described without holding its elements.
struct FakeArray {
  ElementClass element_class = ElementClass::kDouble;
  std::uint64_t rows = 0;
  std::uint64_t columns = 0;
  // All dimensions, when the array has more than rows and columns to tell;
  // empty means {rows, columns}.  rows and columns stay as the host reports
  // them (columns the product of the dimensions after the first).
  std::vector<std::uint64_t> dims;
  bool complex = false;
  bool sparse = false;
  // Elements in the array's own class, as raw bytes.  Allocated as doubles so
  // that every element type is aligned.
  std::vector<double> real_storage;
  std::vector<double> imag_storage;
  // A struct (of class kNotNumeric): its field names and, once set, their
  // arrays (owned by the host's list of created arrays, like every other).
  std::vector<std::string> field_names;
  std::vector<FakeArray*> fields;
};

template <class Element>
std::vector<double> pack(const std::vector<Element>& elements) {
  std::vector<double> storage((elements.size() * sizeof(Element) + sizeof(double) - 1) /
                              sizeof(double));
  auto* bytes = reinterpret_cast<unsigned char*>(storage.data());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const Element e = elements[k];  // one by one: std::vector<bool> has no data()
    std::memcpy(bytes + k * sizeof(Element), &e, sizeof(Element));
  }
  return storage;
}

// A rows x columns array of the given class; an empty imag makes it real.
template <class Element>
FakeArray make_array(ElementClass c, std::uint64_t rows, std::uint64_t columns,
                     const std::vector<Element>& real, const std::vector<Element>& imag = {}) {
  FakeArray a;
  a.element_class = c;
  a.rows = rows;
  a.columns = columns;
  a.complex = !imag.empty();
  a.real_storage = pack(real);
  a.imag_storage = pack(imag);
  return a;
}

// A double array of any number of dimensions, real or complex.
inline FakeArray make_nd(const std::vector<std::uint64_t>& dims, const std::vector<double>& real,
                         const std::vector<double>& imag = {}) {
  std::uint64_t columns = 1;
  for (std::size_t d = 1; d < dims.size(); ++d) columns *= dims[d];
  FakeArray a = make_array<double>(ElementClass::kDouble, dims.at(0), columns, real, imag);
  a.dims = dims;
  return a;
}

inline FakeArray make_double(std::uint64_t rows, std::uint64_t columns,
                             const std::vector<double>& real,
                             const std::vector<double>& imag = {}) {
  return make_array<double>(ElementClass::kDouble, rows, columns, real, imag);
}

// Thrown by the error operation in place of the host's long jump.
struct HostError : std::runtime_error {
  HostError() : std::runtime_error("MEXERRMSGTXT") {}
};

class RecordingHost {
 public:
  using Input = const FakeArray*;
  using Output = FakeArray*;
  using Logical = bool;
  using Dimension = std::uint64_t;

  std::vector<std::string> calls;                   // every operation, in order
  std::vector<Message> errors;                      // what MEXERRMSGTXT was given
  std::vector<std::unique_ptr<FakeArray>> created;  // arrays owned by the host

  std::int32_t MXGETM700(Input a) {
    log("MXGETM700");
    return static_cast<std::int32_t>(a->rows);
  }
  std::int32_t MXGETN700(Input a) {
    log("MXGETN700");
    return static_cast<std::int32_t>(a->columns);
  }
  std::uint64_t MXGETM(Input a) {
    log("MXGETM");
    return a->rows;
  }
  std::uint64_t MXGETN(Input a) {
    log("MXGETN");
    return a->columns;
  }
  double* MXGETPR(Input a) {
    log("MXGETPR");
    return data_of(a->real_storage);
  }
  double* MXGETPI(Input a) {
    log("MXGETPI");
    return a->complex ? data_of(a->imag_storage) : nullptr;
  }
  const void* MXGETDATA(Input a) {
    log("MXGETDATA");
    return data_of(a->real_storage);
  }
  const void* MXGETIMAGDATA(Input a) {
    log("MXGETIMAGDATA");
    return a->complex ? data_of(a->imag_storage) : nullptr;
  }
  std::int32_t MXISCOMPLEX(Input a) {
    log("MXISCOMPLEX");
    return a->complex ? 1 : 0;
  }
  bool MXISSPARSE(Input a) {
    log("MXISSPARSE");
    return a->sparse;
  }
  std::uint64_t MXGETNUMBEROFDIMENSIONS(Input a) {
    log("MXGETNUMBEROFDIMENSIONS");
    return a->dims.empty() ? 2 : a->dims.size();
  }
  const Dimension* MXGETDIMENSIONS(Input a) {
    log("MXGETDIMENSIONS");
    if (a->dims.empty()) {
      reported_dims.push_back(std::make_unique<std::vector<std::uint64_t>>(
          std::vector<std::uint64_t>{a->rows, a->columns}));
      return reported_dims.back()->data();
    }
    return a->dims.data();
  }
  ElementClass MXGETCLASS(Input a) {
    log("MXGETCLASS");
    return a->element_class;
  }

  // A new double array, its elements preset to a marker value so that a result
  // the gateway forgets to write shows up.
  Output MXCREATEDOUBLEMATRIX700(std::int32_t rows, std::int32_t columns, std::int32_t complexity) {
    log("MXCREATEDOUBLEMATRIX700");
    auto a = std::make_unique<FakeArray>();
    a->rows = static_cast<std::uint64_t>(rows);
    a->columns = static_cast<std::uint64_t>(columns);
    a->complex = complexity == 1;
    const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    a->real_storage.assign(n, kPoison);
    if (a->complex) a->imag_storage.assign(n, kPoison);
    created.push_back(std::move(a));
    return created.back().get();
  }

  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims, std::int32_t complexity) {
    log("MXCREATEDOUBLEARRAY");
    auto a = std::make_unique<FakeArray>();
    a->dims.assign(dims, dims + ndims);
    a->rows = ndims > 0 ? dims[0] : 0;
    a->columns = 1;
    for (std::uint64_t d = 1; d < ndims; ++d) a->columns *= dims[d];
    a->complex = complexity == 1;
    const auto n = static_cast<std::size_t>(a->rows * a->columns);
    a->real_storage.assign(n, kPoison);
    if (a->complex) a->imag_storage.assign(n, kPoison);
    created.push_back(std::move(a));
    return created.back().get();
  }

  Output MXCREATESTRUCTMATRIX(std::int32_t rows, std::int32_t columns, std::int32_t fields,
                              const char* const* names) {
    log("MXCREATESTRUCTMATRIX");
    auto a = std::make_unique<FakeArray>();
    a->element_class = ElementClass::kNotNumeric;
    a->rows = static_cast<std::uint64_t>(rows);
    a->columns = static_cast<std::uint64_t>(columns);
    a->field_names.assign(names, names + fields);
    a->fields.assign(static_cast<std::size_t>(fields), nullptr);
    created.push_back(std::move(a));
    return created.back().get();
  }
  void MXSETFIELDBYNUMBER(Output s, std::uint64_t index, std::int32_t field, Output value) {
    log("MXSETFIELDBYNUMBER");
    if (index != 0 || field < 0 || static_cast<std::size_t>(field) >= s->fields.size()) {
      throw std::out_of_range("MXSETFIELDBYNUMBER");
    }
    s->fields[static_cast<std::size_t>(field)] = value;
  }

  void MXCOPYPTRTOREAL8700(const double* data, double* buffer, std::int32_t n) {
    log("MXCOPYPTRTOREAL8700");
    if (n > 0) std::memcpy(buffer, data, static_cast<std::size_t>(n) * sizeof(double));
  }
  void MXCOPYREAL8TOPTR700(const double* buffer, double* data, std::int32_t n) {
    log("MXCOPYREAL8TOPTR700");
    if (n > 0) std::memcpy(data, buffer, static_cast<std::size_t>(n) * sizeof(double));
  }

  void MEXERRMSGTXT(const Message& m) {
    log("MEXERRMSGTXT");
    errors.push_back(m);
    throw HostError();
  }

  static constexpr double kPoison = -123456.75;

 protected:
  void log(const char* name) { calls.emplace_back(name); }
  static double* data_of(const std::vector<double>& storage) {
    return storage.empty() ? nullptr : const_cast<double*>(storage.data());
  }

 private:
  // {rows, columns} of two-dimensional arrays, kept for the call.
  std::vector<std::unique_ptr<std::vector<std::uint64_t>>> reported_dims;
};

// Host operations that read an input or create a result; none may come
// before every check has passed.
inline bool reads_or_creates(const std::string& name) {
  for (const char* op : {"MXGETPR", "MXGETPI", "MXGETDATA", "MXGETIMAGDATA", "MXCOPYPTRTOREAL8700",
                         "MXCOPYREAL8TOPTR700", "MXCREATEDOUBLEMATRIX700", "MXCREATEDOUBLEARRAY",
                         "MXCREATESTRUCTMATRIX", "MXSETFIELDBYNUMBER"}) {
    if (name == op) return true;
  }
  return false;
}

inline std::size_t element_bytes(ElementClass c) {
  switch (c) {
    case ElementClass::kSingle:
    case ElementClass::kInt32:
    case ElementClass::kUInt32: return 4;
    case ElementClass::kInt16:
    case ElementClass::kUInt16: return 2;
    case ElementClass::kInt8:
    case ElementClass::kUInt8:
    case ElementClass::kLogical: return sizeof(bool);
    default: return 8;
  }
}

// The recording host as a host on the interleaved complex API sees it: the
// parts of a complex array alternate in one block, the data operations give
// HostParts with step 2 and the copies gather and scatter.  An input is
// interleaved from its separate parts when first read; a created complex
// array keeps both parts in real_storage, element k at 2k and 2k + 1.
class InterleavingHost : public RecordingHost {
 public:
  HostPart<double> MXGETPR(Input a) {
    log("MXGETPR");
    return {static_cast<double*>(part(a, false)), a->complex ? 2U : 1U};
  }
  HostPart<double> MXGETPI(Input a) {
    log("MXGETPI");
    return {static_cast<double*>(part(a, true)), 2};
  }
  HostPart<const void> MXGETDATA(Input a) {
    log("MXGETDATA");
    return {part(a, false), a->complex ? 2U : 1U};
  }
  HostPart<const void> MXGETIMAGDATA(Input a) {
    log("MXGETIMAGDATA");
    return {part(a, true), 2};
  }
  Output MXCREATEDOUBLEMATRIX700(std::int32_t rows, std::int32_t columns, std::int32_t complexity) {
    return interleave_new(RecordingHost::MXCREATEDOUBLEMATRIX700(rows, columns, complexity));
  }
  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims, std::int32_t complexity) {
    return interleave_new(RecordingHost::MXCREATEDOUBLEARRAY(ndims, dims, complexity));
  }
  void MXCOPYPTRTOREAL8700(HostPart<double> data, double* buffer, std::int32_t n) {
    log("MXCOPYPTRTOREAL8700");
    for (std::int32_t k = 0; k < n; ++k) buffer[k] = data.first[k * data.step];
  }
  void MXCOPYREAL8TOPTR700(const double* buffer, HostPart<double> data, std::int32_t n) {
    log("MXCOPYREAL8TOPTR700");
    for (std::int32_t k = 0; k < n; ++k) data.first[k * data.step] = buffer[k];
  }

 private:
  // A new array's parts in one block (all its elements are the marker yet).
  Output interleave_new(Output a) {
    a->real_storage.insert(a->real_storage.end(), a->imag_storage.begin(), a->imag_storage.end());
    a->imag_storage.clear();
    interleaved_[a] = {};
    return a;
  }
  // The address of the array's first real or imaginary element.
  void* part(Input a, bool imaginary) {
    if (!a->complex) return imaginary ? nullptr : data_of(a->real_storage);
    const std::size_t size = element_bytes(a->element_class);
    auto found = interleaved_.find(a);
    if (found == interleaved_.end()) {
      const std::size_t n = a->rows * a->columns;
      std::vector<double> both(2 * n * size / sizeof(double) + 1);
      auto* out = reinterpret_cast<unsigned char*>(both.data());
      for (std::size_t k = 0; k < n; ++k) {
        std::memcpy(out + 2 * k * size,
                    reinterpret_cast<const unsigned char*>(a->real_storage.data()) + k * size,
                    size);
        std::memcpy(out + (2 * k + 1) * size,
                    reinterpret_cast<const unsigned char*>(a->imag_storage.data()) + k * size,
                    size);
      }
      found = interleaved_.emplace(a, std::move(both)).first;
    }
    std::vector<double>& storage =
        found->second.empty() ? const_cast<FakeArray*>(a)->real_storage : found->second;
    // An empty array has no data (as data_of gives): no address to step from.
    if (storage.empty()) return nullptr;
    return reinterpret_cast<unsigned char*>(storage.data()) + (imaginary ? size : 0);
  }
  std::map<Input, std::vector<double>> interleaved_;
};

// Element k of a created array's real or imaginary part, on either host.
inline double result_element(const FakeArray* a, std::size_t k, bool imaginary) {
  if (a->complex && a->imag_storage.empty()) return a->real_storage[2 * k + (imaginary ? 1 : 0)];
  return imaginary ? a->imag_storage[k] : a->real_storage[k];
}

// Scratch whose allocation always fails; it records the count it was asked
// for, and must never hand out a buffer.
class FailingScratch {
 public:
  static inline std::int32_t last_count = -1;
  static inline int last_buffers = -1;
  explicit FailingScratch(std::int32_t count, int buffers = 4, std::size_t /*tail_bytes*/ = 0) {
    last_count = count;
    last_buffers = buffers;
  }
  bool ok() const { return false; }
  double* buffer(int) { throw std::logic_error("buffer of a failed scratch"); }
  void* tail() { throw std::logic_error("tail of a failed scratch"); }
  void release() {}
};

// Heap scratch with every buffer filled with -0 first, so that a part the
// gateway should set (the +0 imaginary parts of real input) cannot pass by
// luck of fresh memory.
class PoisonedScratch {
 public:
  explicit PoisonedScratch(std::int32_t count, int buffers = 4, std::size_t tail_bytes = 0)
      : heap_(count, buffers, tail_bytes) {
    if (heap_.ok() && count > 0) {
      for (int k = 0; k < buffers; ++k) std::fill(heap_.buffer(k), heap_.buffer(k) + count, -0.0);
    }
  }
  bool ok() const { return heap_.ok(); }
  double* buffer(int k) { return heap_.buffer(k); }
  void* tail() { return heap_.tail(); }
  void release() { heap_.release(); }

 private:
  HeapScratch heap_;
};

}  // namespace vorlan::testing

#endif
