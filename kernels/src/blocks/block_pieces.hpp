// The lane code's entry points, one set per vector unit the build has code
// for, each on the calling thread: w by the region kernel and by the rational
// formula at n consecutive elements, and the full-precision kernel's terms
// (w, w', (z w)') at n first-quadrant points, which the line shapes are built
// on (line_shapes.cpp).
//
// The wider x86 units are compiled by function-level target pragmas, which
// GCC and Clang have; the baseline unit is always there.  VORLAN_PORTABLE_LANES
// builds the baseline alone, in plain standard C++, as MSVC gets it.
#ifndef VORLAN_BLOCK_PIECES_HPP
#define VORLAN_BLOCK_PIECES_HPP

#include <cstdint>

#include "../w_full_terms.hpp"
#include "vorlan/w_blocks.hpp"

#if !defined(VORLAN_PORTABLE_LANES) && (defined(__GNUC__) || defined(__clang__)) && \
    (defined(__x86_64__) || defined(__i386__))
#define VORLAN_BLOCKS_AVX2 1
#define VORLAN_BLOCKS_AVX512 1
#endif

namespace vorlan::blocks {

using Piece = void (*)(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);

// The full-precision w kernel's first-quadrant terms (w_full_quadrant) at
// n <= kFullTermsChunk points, 0 <= x, y <= ARG_LIMIT.
constexpr int kFullTermsChunk = 256;
using FullTermsPiece = void (*)(const double* x, const double* y, int n, bool with_zw,
                                detail::FullTerms* terms);

void regions_baseline(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_baseline(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void full_terms_baseline(const double* x, const double* y, int n, bool with_zw,
                         detail::FullTerms* terms);
#ifdef VORLAN_BLOCKS_AVX2
void regions_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_avx2(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void full_terms_avx2(const double* x, const double* y, int n, bool with_zw,
                     detail::FullTerms* terms);
#endif
#ifdef VORLAN_BLOCKS_AVX512
void regions_avx512(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void rational_avx512(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
void full_terms_avx512(const double* x, const double* y, int n, bool with_zw,
                       detail::FullTerms* terms);
#endif

// Work on the elements [begin, end) of a block described by context.
using RangeTask = void (*)(const void* context, std::int64_t begin, std::int64_t end);

// The width a plan's width runs at: itself where available, else the widest
// available.
BlockWidth usable_width(BlockWidth width);

// The full-terms piece of a width (see usable_width; kScalar the one-point
// kernel per point).
FullTermsPiece full_terms_piece(BlockWidth width);

// Runs task over [0, n) split into `threads` shares, the calling thread taking
// one, each worker under the caller's floating-point environment.
void run_ranges(RangeTask task, const void* context, int threads, std::int64_t n);

// The thread count for n elements: `requested` if positive, else as many as
// pay for themselves at per_thread elements each.
int threads_for_block(std::int64_t n, std::int64_t per_thread, int requested);

}  // namespace vorlan::blocks

#endif
