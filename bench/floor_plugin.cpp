// The least any plug-in costs the host: read the input's parts, create the
// results, copy the parts across.  A complex input gives complex results, a
// real one real results; each of the one to four outputs asked for is a copy
// of the input (the line-shape plug-ins' floors: one or four real results,
// two complex ones).  The benchmark divides the plug-ins' times by these.
// Built once for each of the host's complex array APIs; never installed.
#include <cstring>

#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1 || nlhs > 4 || !mxIsDouble(prhs[0]) || mxIsSparse(prhs[0])) {
    mexErrMsgIdAndTxt("floor_plugin:input", "One full double input, at most four outputs");
  }
  const mwSize dimensions[2] = {static_cast<mwSize>(mxGetM(prhs[0])),
                                static_cast<mwSize>(mxGetN(prhs[0]))};
  const std::size_t bytes = mxGetM(prhs[0]) * mxGetN(prhs[0]) * sizeof(double);
  const bool complex = mxIsComplex(prhs[0]);
  for (int o = 0; o < (nlhs > 1 ? nlhs : 1); ++o) {
    if (!complex) {
      plhs[o] = mxCreateDoubleMatrix(dimensions[0], dimensions[1], mxREAL);
      std::memcpy(mxGetPr(plhs[o]), mxGetPr(prhs[0]), bytes);
      continue;
    }
#if VORLAN_MEX_INTERLEAVED
    // Created as the plug-ins create theirs (see the binding), copied whole.
    plhs[o] = vorlan::MexHost::create_complex_double(2, dimensions);
    std::memcpy(mxGetComplexDoubles(plhs[o]), mxGetComplexDoubles(prhs[0]), 2 * bytes);
#else
    plhs[o] = mxCreateDoubleMatrix(dimensions[0], dimensions[1], mxCOMPLEX);
    std::memcpy(mxGetPr(plhs[o]), mxGetPr(prhs[0]), bytes);
    std::memcpy(mxGetPi(plhs[o]), mxGetPi(prhs[0]), bytes);
#endif
  }
}
