// The least any complex-in, complex-out plug-in costs the host: read the
// input's parts, create the complex result, copy the parts across.  The
// benchmark divides the plug-ins' times by this one's.  Never installed.
#include <cstring>

#include "mex.h"

extern "C" __attribute__((visibility("default"))) void mexFunction(int nlhs, mxArray* plhs[],
                                                                   int nrhs,
                                                                   const mxArray* prhs[]) {
  if (nrhs != 1 || nlhs > 1 || !mxIsDouble(prhs[0]) || !mxIsComplex(prhs[0])) {
    mexErrMsgIdAndTxt("floor_plugin:input", "One complex double input, one output");
  }
  const mwSize rows = mxGetM(prhs[0]);
  const mwSize columns = mxGetN(prhs[0]);
  const std::size_t bytes = rows * columns * sizeof(double);
  plhs[0] = mxCreateDoubleMatrix(rows, columns, mxCOMPLEX);
  std::memcpy(mxGetPr(plhs[0]), mxGetPr(prhs[0]), bytes);
  std::memcpy(mxGetPi(plhs[0]), mxGetPi(prhs[0]), bytes);
}
