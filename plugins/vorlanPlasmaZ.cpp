// vorlanPlasmaZ: the plasma dispersion function and its derivative,
// element-wise over one numeric array.
#include "vorlan/deliverables.hpp"
#include "vorlan/mex_host.hpp"

VORLAN_MEX_ENTRY void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vorlan::mex_entry(vorlan::kVorlanPlasmaZ, nlhs, plhs, nrhs, prhs);
}
