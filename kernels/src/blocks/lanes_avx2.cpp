// The lane code for AVX2 (built with -mavx2): 8 doubles side by side.
#define VORLAN_BLOCK_LANES 4
#include "block_lanes.hpp"
#include "block_pieces.hpp"

namespace vorlan::blocks {

void regions_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  regions_lanes(xr, xi, ur, ui, n);
}

void rational_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  rational_lanes(xr, xi, ur, ui, n);
}

}  // namespace vorlan::blocks
