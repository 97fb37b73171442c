// The line shapes' values and their lane code's pieces, one set per vector
// unit the build has code for (line_shape_lanes.hpp).
#ifndef VORLAN_LINE_SHAPE_PIECES_HPP
#define VORLAN_LINE_SHAPE_PIECES_HPP

#include "blocks/block_pieces.hpp"

namespace vorlan::detail {

// The Voigt profile's values at one point, or with V a vector at one per lane.
template <class V>
struct VoigtValuesOf {
  V value, d_x, d_sigma, d_gamma;
};
using VoigtValues = VoigtValuesOf<double>;

// The Voigt profile (and its derivatives where asked for) at n <=
// blocks::kFullTermsChunk points.
using VoigtPiece = void (*)(blocks::FullTermsPiece terms_of, const double* x, const double* sigma,
                            const double* gamma, int n, bool derivatives, VoigtValues* values);

// A line shape whose steps around w pay to run in lanes has a piece here.
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
