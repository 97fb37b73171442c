// The gateway's binding to the host's C MEX API (shared by MATLAB and GNU
// Octave).  Only this file includes the host's header.
//
// Built with the interleaved complex API (mex -R2018a, which defines
// MX_HAS_INTERLEAVED_COMPLEX) the host hands over complex arrays as they
// are stored, real and imaginary parts alternating; with the separate API
// (-R2017b) it splits every complex input into two arrays and merges every
// complex result, copies that cost as much as a simple plug-in's own work.
// The gateway sees the same operations either way: MXGETPR and MXGETPI give
// a HostPart (first element and step), and the two copies gather or scatter
// the part's elements.
#ifndef VORLAN_MEX_HOST_HPP
#define VORLAN_MEX_HOST_HPP

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "mex.h"
#include "vorlan/elementwise.hpp"
#include "vorlan/gateway.hpp"

// Both hosts look the entry up as the undecorated C symbol mexFunction.
#if defined(_WIN32)
#define VORLAN_MEX_ENTRY extern "C" __declspec(dllexport)
#else
#define VORLAN_MEX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

#if defined(MX_HAS_INTERLEAVED_COMPLEX) && MX_HAS_INTERLEAVED_COMPLEX
#define VORLAN_MEX_INTERLEAVED 1
#else
#define VORLAN_MEX_INTERLEAVED 0
#endif

namespace vorlan {

struct MexHost {
  using Input = const mxArray*;
  using Output = mxArray*;
  using Logical = mxLogical;
  using Dimension = mwSize;

  // Called only once the sizes are known to fit 32 bits.
  std::int32_t MXGETM700(Input a) const { return static_cast<std::int32_t>(mxGetM(a)); }
  std::int32_t MXGETN700(Input a) const { return static_cast<std::int32_t>(mxGetN(a)); }
  std::uint64_t MXGETM(Input a) const { return mxGetM(a); }
  std::uint64_t MXGETN(Input a) const { return mxGetN(a); }
#if VORLAN_MEX_INTERLEAVED
  HostPart<double> MXGETPR(Input a) const {
    if (mxIsComplex(a)) return {reinterpret_cast<double*>(mxGetComplexDoubles(a)), 2};
    return {mxGetDoubles(a), 1};
  }
  // An empty array may have no data at all: then no address to step from
  // (here and in MXGETIMAGDATA).
  HostPart<double> MXGETPI(Input a) const {
    if (!mxIsComplex(a)) return {nullptr, 1};
    double* const data = reinterpret_cast<double*>(mxGetComplexDoubles(a));
    return {data != nullptr ? data + 1 : nullptr, 2};
  }
  HostPart<const void> MXGETDATA(Input a) const {
    return {mxGetData(a), mxIsComplex(a) ? std::size_t{2} : std::size_t{1}};
  }
  HostPart<const void> MXGETIMAGDATA(Input a) const {
    if (!mxIsComplex(a)) return {nullptr, 1};
    const char* const data = static_cast<const char*>(mxGetData(a));
    return {data != nullptr ? data + real_element_bytes(mxGetClassID(a)) : nullptr, 2};
  }
#else
  HostPart<double> MXGETPR(Input a) const { return {mxGetPr(a), 1}; }
  HostPart<double> MXGETPI(Input a) const { return {mxGetPi(a), 1}; }
  HostPart<const void> MXGETDATA(Input a) const { return {mxGetData(a), 1}; }
  HostPart<const void> MXGETIMAGDATA(Input a) const { return {mxGetImagData(a), 1}; }
#endif
  std::int32_t MXISCOMPLEX(Input a) const { return mxIsComplex(a) ? 1 : 0; }
  bool MXISSPARSE(Input a) const { return mxIsSparse(a); }
  std::uint64_t MXGETNUMBEROFDIMENSIONS(Input a) const { return mxGetNumberOfDimensions(a); }
  const Dimension* MXGETDIMENSIONS(Input a) const { return mxGetDimensions(a); }

  ElementClass MXGETCLASS(Input a) const {
    switch (mxGetClassID(a)) {
      case mxDOUBLE_CLASS: return ElementClass::kDouble;
      case mxSINGLE_CLASS: return ElementClass::kSingle;
      case mxINT8_CLASS: return ElementClass::kInt8;
      case mxUINT8_CLASS: return ElementClass::kUInt8;
      case mxINT16_CLASS: return ElementClass::kInt16;
      case mxUINT16_CLASS: return ElementClass::kUInt16;
      case mxINT32_CLASS: return ElementClass::kInt32;
      case mxUINT32_CLASS: return ElementClass::kUInt32;
      case mxINT64_CLASS: return ElementClass::kInt64;
      case mxUINT64_CLASS: return ElementClass::kUInt64;
      case mxLOGICAL_CLASS: return ElementClass::kLogical;
      default: return ElementClass::kNotNumeric;
    }
  }

  Output MXCREATEDOUBLEMATRIX700(std::int32_t rows, std::int32_t columns,
                                 std::int32_t complexity) const {
    const mwSize dimensions[2] = {static_cast<mwSize>(rows), static_cast<mwSize>(columns)};
    if (complexity == 1) return create_complex_double(2, dimensions);
    return mxCreateDoubleMatrix(dimensions[0], dimensions[1], mxREAL);
  }

  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims,
                             std::int32_t complexity) const {
    if (complexity == 1) return create_complex_double(static_cast<mwSize>(ndims), dims);
    return mxCreateNumericArray(static_cast<mwSize>(ndims), dims, mxDOUBLE_CLASS, mxREAL);
  }

  // A struct of empty fields; mxSetFieldByNumber then gives each its array.
  // The C API's names are not const-qualified at the second level, but are
  // only read.
  Output MXCREATESTRUCTMATRIX(std::int32_t rows, std::int32_t columns, std::int32_t fields,
                              const char* const* names) const {
    return mxCreateStructMatrix(static_cast<mwSize>(rows), static_cast<mwSize>(columns), fields,
                                const_cast<const char**>(names));  // NOLINT(*-const-cast)
  }
  void MXSETFIELDBYNUMBER(Output s, std::uint64_t index, std::int32_t field, Output value) const {
    mxSetFieldByNumber(s, static_cast<mwIndex>(index), field, value);
  }

  // Every complex double array the plug-ins create comes from here.
  // Interleaved, Octave 7.3 gives mxCreateDoubleMatrix(m, n, mxCOMPLEX) only 8
  // bytes per element, so the array is made empty, given a buffer of our own
  // (which takes ownership of it; the status returned is 0 even then) and
  // shaped afterwards.  MATLAB documents the same sequence, and that the
  // setter does not free the data it replaces.  The buffer is fresh memory
  // that the copies will fill whole: its pages are faulted in here at once.
  static Output create_complex_double(mwSize dimension_count, const mwSize* dimensions) {
#if VORLAN_MEX_INTERLEAVED
    std::size_t count = 1;
    for (mwSize d = 0; d < dimension_count; ++d) count *= static_cast<std::size_t>(dimensions[d]);
    if (count == 0) {
      return mxCreateNumericArray(dimension_count, dimensions, mxDOUBLE_CLASS, mxCOMPLEX);
    }
    const std::size_t bytes = count * sizeof(mxComplexDouble);
    auto* data = static_cast<mxComplexDouble*>(mxMalloc(bytes));  // fails inside the host
    prefault_for_write(data, bytes);
    Output array = mxCreateDoubleMatrix(0, 0, mxCOMPLEX);
    mxFree(mxGetComplexDoubles(array));  // the empty array's own block, which the setter drops
    mxSetComplexDoubles(array, data);
    mxSetDimensions(array, dimensions, dimension_count);
    return array;
#else
    return mxCreateNumericArray(dimension_count, dimensions, mxDOUBLE_CLASS, mxCOMPLEX);
#endif
  }

  void MXCOPYPTRTOREAL8700(HostPart<double> data, double* buffer, std::int32_t n) const {
    if (n <= 0 || data.first == nullptr) return;  // no part: a real array's imaginary one
    if (data.step == 1) {
      std::memcpy(buffer, data.first, static_cast<std::size_t>(n) * sizeof(double));
      return;
    }
    // Interleaved: every second double (a constant step, which compilers vectorise).
    const double* in = data.first;
    for (std::int32_t k = 0; k < n; ++k) buffer[k] = in[2 * static_cast<std::size_t>(k)];
  }

  void MXCOPYREAL8TOPTR700(const double* buffer, HostPart<double> data, std::int32_t n) const {
    if (n <= 0 || data.first == nullptr) return;  // no part: a real array's imaginary one
    if (data.step == 1) {
      // A new result array from the host is usually untouched memory.
      prefault_for_write(data.first, static_cast<std::size_t>(n) * sizeof(double));
      std::memcpy(data.first, buffer, static_cast<std::size_t>(n) * sizeof(double));
      return;
    }
    double* out = data.first;
    for (std::int32_t k = 0; k < n; ++k) out[2 * static_cast<std::size_t>(k)] = buffer[k];
  }

  void MEXERRMSGTXT(const Message& m) const { mexErrMsgIdAndTxt(m.id, "%s", m.text); }

 private:
  // Bytes of one real element of a numeric class: the offset of the first
  // imaginary part in interleaved storage.
  static std::size_t real_element_bytes(mxClassID c) {
    switch (c) {
      case mxDOUBLE_CLASS:
      case mxINT64_CLASS:
      case mxUINT64_CLASS: return 8;
      case mxSINGLE_CLASS:
      case mxINT32_CLASS:
      case mxUINT32_CLASS: return 4;
      case mxINT16_CLASS:
      case mxUINT16_CLASS: return 2;
      default: return 1;
    }
  }
};

// The body of a plug-in's exported entry.
inline void mex_entry(const Deliverable& deliverable, int nlhs, mxArray* plhs[], int nrhs,
                      const mxArray* prhs[]) {
  MexHost host;
  MEXFUNCTION(host, deliverable, nlhs, plhs, nrhs, prhs);
}
inline void mex_entry(const ElementwiseDeliverable& deliverable, int nlhs, mxArray* plhs[],
                      int nrhs, const mxArray* prhs[]) {
  MexHost host;
  MEXFUNCTION(host, deliverable, nlhs, plhs, nrhs, prhs);
}

}  // namespace vorlan

#endif
