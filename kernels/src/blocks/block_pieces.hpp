// The lane code's entry points, one pair per vector unit the build has code
// for.  Each evaluates n consecutive elements on the calling thread.
#ifndef VORLAN_BLOCK_PIECES_HPP
#define VORLAN_BLOCK_PIECES_HPP

#include <cstdint>

namespace vorlan::blocks {

using Piece = void (*)(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);

void regions_sse2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_sse2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
#ifdef VORLAN_BLOCKS_AVX2
void regions_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
#endif
#ifdef VORLAN_BLOCKS_AVX512
void regions_avx512(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_avx512(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
#endif

}  // namespace vorlan::blocks

#endif
