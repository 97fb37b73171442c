// vorlanVoigt: the Voigt profile and its derivatives, element-wise over three
// arrays that broadcast.
#include "vorlan/deliverables.hpp"
#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vorlan::mex_entry(vorlan::kVorlanVoigt, nlhs, plhs, nrhs, prhs);
}
