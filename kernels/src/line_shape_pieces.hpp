// The line shapes' lane code, one entry per vector unit the build has code for
// (line_shape_lanes.hpp), each on the calling thread with the full-precision
// w's terms piece of the same unit (blocks/block_pieces.hpp).
#ifndef VORLAN_LINE_SHAPE_PIECES_HPP
#define VORLAN_LINE_SHAPE_PIECES_HPP

#include "blocks/block_pieces.hpp"
#include "line_shape_values.hpp"

namespace vorlan::detail {

// The Voigt profile (and its derivatives where asked for) at n <=
// blocks::kFullTermsChunk points.
using VoigtPiece = void (*)(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                            const double* gamma, int n, bool derivatives, VoigtValues* values);

void voigt_baseline(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                    const double* gamma, int n, bool derivatives, VoigtValues* values);
#ifdef VORLAN_BLOCKS_AVX2
void voigt_avx2(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                const double* gamma, int n, bool derivatives, VoigtValues* values);
#endif
#ifdef VORLAN_BLOCKS_AVX512
void voigt_avx512(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                  const double* gamma, int n, bool derivatives, VoigtValues* values);
#endif

}  // namespace vorlan::detail

#endif
