// vorlan: w(z) element-wise over one numeric array.
#include "vorlan/deliverables.hpp"
#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vorlan::mex_entry(vorlan::kVorlan, nlhs, plhs, nrhs, prhs);
}
