// A plug-in with the three faults the memcheck judge exists to catch, used
// only to show that it catches them: scratch that is never freed, a read one
// element past the end of the input, and a result element copied from
// scratch that was never written.
#include <cstddef>
#include <cstring>

#include "mex.h"

extern "C" __attribute__((visibility("default"))) void mexFunction(int, mxArray* plhs[], int nrhs,
                                                                   const mxArray* prhs[]) {
  if (nrhs != 1 || !mxIsDouble(prhs[0]) || mxIsComplex(prhs[0])) {
    mexErrMsgIdAndTxt("faulty:input", "one real double array");
  }
  const std::size_t n = mxGetNumberOfElements(prhs[0]);
  const double* x = mxGetPr(prhs[0]);
  double* scratch = new double[2 * n + 2];  // leaked
  double sum = 0.0;
  for (std::size_t k = 0; k <= n; ++k) sum += x[k];  // reads x[n]
  scratch[0] = sum;
  plhs[0] = mxCreateDoubleMatrix(1, n + 1, mxREAL);
  std::memcpy(mxGetPr(plhs[0]), scratch, (n + 1) * sizeof(double));  // scratch[1..n] unset
}
