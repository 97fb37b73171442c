// The lane code's entry points, one set per vector unit the build has code
// for, each on the calling thread: w by the region kernel and the rational
// formula at n consecutive elements, and the full kernel's terms (w, w',
// (z w)') for the line shapes.  The wider x86 units need GCC's or Clang's
// target pragmas; VORLAN_PORTABLE_LANES builds the baseline alone, in plain
// standard C++, as MSVC gets it.
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

using PieceCode = void(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n);
using Piece = PieceCode*;

// w_full_quadrant's terms at n <= kFullTermsChunk points, 0 <= x, y <= ARG_LIMIT.
constexpr int kFullTermsChunk = 256;
using FullTermsCode = void(const double* x, const double* y, int n, bool with_zw,
                           detail::FullTerms* terms);
using FullTermsPiece = FullTermsCode*;

PieceCode regions_baseline, rational_baseline;
FullTermsCode full_terms_baseline;
#ifdef VORLAN_BLOCKS_AVX2
PieceCode regions_avx2, rational_avx2;
FullTermsCode full_terms_avx2;
#endif
#ifdef VORLAN_BLOCKS_AVX512
PieceCode regions_avx512, rational_avx512;
FullTermsCode full_terms_avx512;
#endif

// Work on the elements [begin, end) of a block described by context.
using RangeTask = void (*)(const void* context, std::int64_t begin, std::int64_t end);

// A plan's width where available, else the widest available.
BlockWidth usable_width(BlockWidth width);

// The full-terms piece of usable_width(width); kScalar's calls the one-point kernel.
FullTermsPiece full_terms_piece(BlockWidth width);

// task over [0, n) in `threads` shares, the calling thread taking one, each
// worker under the caller's floating-point environment.
void run_ranges(RangeTask task, const void* context, int threads, std::int64_t n);

// The thread count for n elements: `requested` if positive, else as many as
// pay for themselves at per_thread elements each.
int threads_for_block(std::int64_t n, std::int64_t per_thread, int requested);

}  // namespace vorlan::blocks

#endif
