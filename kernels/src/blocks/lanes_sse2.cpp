// The lane code for the baseline unit (SSE2 on x86-64; plain code elsewhere): 4 doubles side by
// side.
#define VORLAN_BLOCK_LANES 2
#include "block_lanes.hpp"
#include "block_pieces.hpp"

namespace vorlan::blocks {

void regions_sse2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  regions_lanes(xr, xi, ur, ui, n);
}

void rational_sse2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  rational_lanes(xr, xi, ur, ui, n);
}

}  // namespace vorlan::blocks
