// The host gateway, written once for every plug-in: MEXFUNCTION checks the
// call, W_ARRAY stages the host's arrays in scratch buffers, runs the
// deliverable's kernel over every element and hands the result back.
//
// The gateway is generic over the host binding, a class with these members
// (named after the host's array and error operations):
//   using Input  = <handle of a host array, read only>;
//   using Output = <handle of a new host array>;
//   using Logical = <the host's logical element type>;
//   int32_t MXGETM700(Input), MXGETN700(Input);      rows, columns
//   uint64_t MXGETM(Input), MXGETN(Input);            the same, unwrapped
//   <double part> MXGETPR(Input), MXGETPI(Input);     double data
//   <part> MXGETDATA(Input), MXGETIMAGDATA(Input);    data of any class
//   int32_t MXISCOMPLEX(Input);  bool MXISSPARSE(Input);
//   ElementClass MXGETCLASS(Input);
//   Output MXCREATEDOUBLEMATRIX700(int32_t rows, int32_t columns, int32_t complexity);
//   void MXCOPYPTRTOREAL8700(<double part> data, double* buffer, int32_t n);
//   void MXCOPYREAL8TOPTR700(const double* buffer, <double part> data, int32_t n);
// A <double part> is whatever the binding's MXGETPR and MXGETPI return and its
// copies take (the MEX binding's is a HostPart<double>, which covers both
// the separate and the interleaved storage of complex arrays); a <part> of
// any class is a HostPart<const void> or a plain const void*.
//   void MEXERRMSGTXT(const Message&);  ends the call: never returns to us
#ifndef VORLAN_GATEWAY_HPP
#define VORLAN_GATEWAY_HPP

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "vorlan/messages.hpp"
#include "vorlan/scratch.hpp"

namespace vorlan {

enum class ElementClass {
  kDouble,
  kSingle,
  kInt8,
  kUInt8,
  kInt16,
  kUInt16,
  kInt32,
  kUInt32,
  kInt64,
  kUInt64,
  kLogical,
  kNotNumeric,
};

// One part (real or imaginary) of a host array's elements: the first one,
// and the step from one to the next in elements (1 where the host keeps the
// parts apart, 2 where it interleaves real and imaginary parts).
template <class T>
struct HostPart {
  T* first;
  std::size_t step;
};

enum class InputPolicy {
  kRealAccepted,     // real input taken with +0 imaginary parts
  kComplexRequired,  // real input refused
};

// Evaluates w at n points: (xr[k], xi[k]) -> (ur[k], ui[k]).
using BlockKernel = void (*)(const double* xr, const double* xi, double* ur, double* ui,
                             std::int64_t n);

// What is fixed per plug-in.
struct Deliverable {
  BlockKernel kernel;
  InputPolicy policy;
  Message argument_count;
};

namespace detail {

inline HostPart<const void> as_part(const void* data) { return {data, 1}; }
inline HostPart<const void> as_part(HostPart<const void> part) { return part; }

template <class Element>
void convert_to_double(HostPart<const void> part, double* buffer, std::int32_t n) {
  const Element* in = static_cast<const Element*>(part.first);
  for (std::int32_t k = 0; k < n; ++k) {
    buffer[k] = static_cast<double>(in[static_cast<std::size_t>(k) * part.step]);
  }
}

// Copies one part (real or imaginary) of the input into a buffer as doubles:
// the host's own copy for double data, an element-wise conversion otherwise.
template <class Host>
void stage_part(Host& host, typename Host::Input input, bool imaginary, double* buffer,
                std::int32_t count) {
  const ElementClass c = host.MXGETCLASS(input);
  if (c == ElementClass::kDouble) {
    host.MXCOPYPTRTOREAL8700(imaginary ? host.MXGETPI(input) : host.MXGETPR(input), buffer, count);
    return;
  }
  const HostPart<const void> data =
      as_part(imaginary ? host.MXGETIMAGDATA(input) : host.MXGETDATA(input));
  switch (c) {
    case ElementClass::kSingle: convert_to_double<float>(data, buffer, count); break;
    case ElementClass::kInt8: convert_to_double<std::int8_t>(data, buffer, count); break;
    case ElementClass::kUInt8: convert_to_double<std::uint8_t>(data, buffer, count); break;
    case ElementClass::kInt16: convert_to_double<std::int16_t>(data, buffer, count); break;
    case ElementClass::kUInt16: convert_to_double<std::uint16_t>(data, buffer, count); break;
    case ElementClass::kInt32: convert_to_double<std::int32_t>(data, buffer, count); break;
    case ElementClass::kUInt32: convert_to_double<std::uint32_t>(data, buffer, count); break;
    case ElementClass::kInt64: convert_to_double<std::int64_t>(data, buffer, count); break;
    case ElementClass::kUInt64: convert_to_double<std::uint64_t>(data, buffer, count); break;
    case ElementClass::kLogical:
      convert_to_double<typename Host::Logical>(data, buffer, count);
      break;
    case ElementClass::kDouble:
    case ElementClass::kNotNumeric: break;  // excluded by the checks before staging
  }
}

}  // namespace detail

// Stages, evaluates and writes back.  The only failure left at this point is
// the scratch allocation, reported before anything is read or created.
template <class Host, class Scratch = HeapScratch>
void W_ARRAY(Host& host, const Deliverable& deliverable, typename Host::Output* plhs,
             typename Host::Input input, std::int32_t count) {
  Scratch scratch(count);
  if (!scratch.ok()) {
    scratch.release();  // the error operation does not return: hold nothing
    host.MEXERRMSGTXT(messages::kOutOfMemory);
    return;
  }
  double* xr = scratch.buffer(0);
  double* xi = scratch.buffer(1);
  double* ur = scratch.buffer(2);
  double* ui = scratch.buffer(3);

  detail::stage_part(host, input, false, xr, count);
  const bool complex =
      deliverable.policy == InputPolicy::kComplexRequired || host.MXISCOMPLEX(input) == 1;
  if (complex) {
    detail::stage_part(host, input, true, xi, count);
  }

  plhs[0] = host.MXCREATEDOUBLEMATRIX700(host.MXGETM700(input), host.MXGETN700(input), 1);

  if (!complex) {
    std::fill(xi, xi + std::max(count, 0), +0.0);
  }
  if (count > 0) {
    deliverable.kernel(xr, xi, ur, ui, count);
  }

  host.MXCOPYREAL8TOPTR700(ur, host.MXGETPR(plhs[0]), count);
  host.MXCOPYREAL8TOPTR700(ui, host.MXGETPI(plhs[0]), count);
}

// The exported entry's logic: the checks in their fixed order, each before
// any array is read or created, then W_ARRAY.
template <class Host, class Scratch = HeapScratch>
void MEXFUNCTION(Host& host, const Deliverable& deliverable, const int& nlhs,
                 typename Host::Output* plhs, const int& nrhs, const typename Host::Input* prhs) {
  static_cast<void>(nlhs);  // the first output slot is filled whatever was asked for
  if (nrhs != 1) {
    host.MEXERRMSGTXT(deliverable.argument_count);
    return;
  }
  const typename Host::Input input = prhs[0];
  if (deliverable.policy == InputPolicy::kComplexRequired && host.MXISCOMPLEX(input) != 1) {
    host.MEXERRMSGTXT(messages::kNotComplex);
    return;
  }
  if (host.MXGETCLASS(input) == ElementClass::kNotNumeric) {
    host.MEXERRMSGTXT(messages::kNotNumeric);
    return;
  }
  if (host.MXISSPARSE(input)) {
    host.MEXERRMSGTXT(messages::kSparse);
    return;
  }
  // The element count is a signed 32-bit integer: refuse what would wrap it.
  const std::uint64_t rows = host.MXGETM(input);
  const std::uint64_t columns = host.MXGETN(input);
  constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
  if (rows > kMaxCount || columns > kMaxCount || (rows != 0 && columns > kMaxCount / rows)) {
    host.MEXERRMSGTXT(messages::kTooLarge);
    return;
  }
  const std::int32_t count = host.MXGETM700(input) * host.MXGETN700(input);
  W_ARRAY<Host, Scratch>(host, deliverable, plhs, input, count);
}

}  // namespace vorlan

#endif
