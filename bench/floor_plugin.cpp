// The least any complex-in, complex-out plug-in costs the host: read the
// input's parts, create the complex result, copy the parts across.  The
// benchmark divides the plug-ins' times by this one's.  Built once for each
// of the host's complex array APIs; never installed.
#include <cstring>

#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1 || nlhs > 1 || !mxIsDouble(prhs[0]) || !mxIsComplex(prhs[0])) {
    mexErrMsgIdAndTxt("floor_plugin:input", "One complex double input, one output");
  }
  const mwSize dimensions[2] = {static_cast<mwSize>(mxGetM(prhs[0])),
                                static_cast<mwSize>(mxGetN(prhs[0]))};
  const std::size_t bytes = mxGetM(prhs[0]) * mxGetN(prhs[0]) * sizeof(double);
#if VORLAN_MEX_INTERLEAVED
  // Created as the plug-ins create theirs (see the binding), copied whole.
  plhs[0] = vorlan::MexHost::create_complex_double(2, dimensions);
  std::memcpy(mxGetComplexDoubles(plhs[0]), mxGetComplexDoubles(prhs[0]), 2 * bytes);
#else
  plhs[0] = mxCreateDoubleMatrix(dimensions[0], dimensions[1], mxCOMPLEX);
  std::memcpy(mxGetPr(plhs[0]), mxGetPr(prhs[0]), bytes);
  std::memcpy(mxGetPi(plhs[0]), mxGetPi(prhs[0]), bytes);
#endif
}
