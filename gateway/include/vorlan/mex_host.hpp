// The gateway's binding to the host's C MEX API (shared by MATLAB and GNU
// Octave).  Only this file includes the host's header.
#ifndef VORLAN_MEX_HOST_HPP
#define VORLAN_MEX_HOST_HPP

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
  double* MXGETPR(Input a) const { return mxGetPr(a); }
  double* MXGETPI(Input a) const { return mxGetPi(a); }
  const void* MXGETDATA(Input a) const { return mxGetData(a); }
  const void* MXGETIMAGDATA(Input a) const { return mxGetImagData(a); }
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
    return mxCreateDoubleMatrix(static_cast<mwSize>(rows), static_cast<mwSize>(columns),
                                complexity == 1 ? mxCOMPLEX : mxREAL);
  }

  Output MXCREATEDOUBLEARRAY(std::uint64_t ndims, const Dimension* dims,
                             std::int32_t complexity) const {
    return mxCreateNumericArray(static_cast<mwSize>(ndims), dims, mxDOUBLE_CLASS,
                                complexity == 1 ? mxCOMPLEX : mxREAL);
  }

  void MXCOPYPTRTOREAL8700(const double* data, double* buffer, std::int32_t n) const {
    if (n > 0) {
      std::memcpy(buffer, data, static_cast<std::size_t>(n) * sizeof(double));
    }
  }

  void MXCOPYREAL8TOPTR700(const double* buffer, double* data, std::int32_t n) const {
    if (n > 0) {
      // A new result array is usually untouched memory.
      prefault_for_write(data, static_cast<std::size_t>(n) * sizeof(double));
      std::memcpy(data, buffer, static_cast<std::size_t>(n) * sizeof(double));
    }
  }

  void MEXERRMSGTXT(const Message& m) const { mexErrMsgIdAndTxt(m.id, "%s", m.text); }
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
