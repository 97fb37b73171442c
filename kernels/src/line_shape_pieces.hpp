// The line shapes' lane code, one set of pieces per vector unit the build has
// code for (line_shape_lanes.hpp), each on the calling thread around the
// full-precision w's terms piece of the same unit (blocks/block_pieces.hpp).
#ifndef VORLAN_LINE_SHAPE_PIECES_HPP
#define VORLAN_LINE_SHAPE_PIECES_HPP

#include "blocks/block_pieces.hpp"
#include "line_shape_values.hpp"

namespace vorlan::detail {

// The Voigt profile (and its derivatives where asked for) at n <=
// blocks::kFullTermsChunk points.
using VoigtPiece = void (*)(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                            const double* gamma, int n, bool derivatives, VoigtValues* values);

// A line shape whose steps around w pay to run in lanes has its piece here.
struct ShapePieces {
  VoigtPiece voigt;
};

extern const ShapePieces shape_pieces_baseline;
#ifdef VORLAN_BLOCKS_AVX2
extern const ShapePieces shape_pieces_avx2;
#endif
#ifdef VORLAN_BLOCKS_AVX512
extern const ShapePieces shape_pieces_avx512;
#endif

}  // namespace vorlan::detail

#endif
