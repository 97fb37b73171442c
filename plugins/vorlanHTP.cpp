// vorlanHTP: the Hartmann-Tran profile and its derivatives by the line
// parameters, element-wise over nine arrays that broadcast.
#include "vorlan/deliverables.hpp"
#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vorlan::mex_entry(vorlan::kVorlanHTP, nlhs, plhs, nrhs, prhs);
}
