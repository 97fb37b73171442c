// The line shapes' values and their lane code's pieces, one set per vector
// unit the build has code for (line_shape_lanes.hpp).
#ifndef VORLAN_LINE_SHAPE_PIECES_HPP
#define VORLAN_LINE_SHAPE_PIECES_HPP

#include <cstdint>

#include "blocks/block_pieces.hpp"
#include "vorlan/htp.hpp"

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

// A complex number's parts, or with V a vector one per lane (arithmetic in
// htp_steps.hpp).
template <class V>
struct CxOf {
  V re, im;
};
using Cx = CxOf<double>;

// How a Hartmann-Tran line is formed at a point: not at all (NaN), F = 0, the
// Lorentzian, one point of w, or two points, apart or close (the fraction's
// recurrence or Taylor at their midpoint).
enum class HtpKind { kUndefined, kVanishes, kLorentz, kOneW, kApart, kFraction, kTaylor };

// What a line's parameters (every argument but nu) give, whatever nu; in
// lanes, one line per lane.
template <class V>
struct HtpLineOf {
  HtpKind form;                   // kUndefined, kLorentz, kOneW, or kApart: two points
  V gamma_d, eta, half_width;     // half_width = 1 / (2c)
  V c, s_size;                    // c and |s|
  CxOf<V> c0, c0s, c0t, c2, c2t;  // c0s = C0 - 3/2 C2
  CxOf<V> b_c, s, half;           // c C2t, s = 1 / (2 c C2t), i s
};
using HtpLine = HtpLineOf<double>;

// The line at one nu.
template <class V>
struct HtpPointOf {
  HtpKind kind;
  CxOf<V> lorentz;            // Gamma0 + i (nu0 - nu + Delta0)
  CxOf<V> q, z1;              // q and Z1
  CxOf<V> zeta1, zeta2, mid;  // zeta1 = mid - i s, zeta2 = mid + i s
};
using HtpPoint = HtpPointOf<double>;

// A line's arguments, k as HtpArgument (nu unread).
using HtpArguments = double[kHtpArguments];

// The Hartmann-Tran profile at n <= blocks::kFullTermsChunk / 2 points, the
// line lines[line_of[j]] at nu0 - nu = detuning[j]: the points of lines of two
// points whose kernel points are apart, in the upper half-plane and in the
// kernel's range, or close in the fraction's region with a Doppler width, in
// lanes, marked done; the others are left.
using HtpPiece = void (*)(blocks::FullTermsPiece terms_of, const HtpArguments* lines,
                          const std::int16_t* line_of, const double* detuning, int n,
                          bool derivatives, HtpValue* values, bool* done);

// A line shape whose steps around w pay to run in lanes has a piece here (a
// null one: none at this width).
struct ShapePieces {
  VoigtPiece voigt;
  HtpPiece htp;
};

// The line-shape pieces of a width, as blocks::full_terms_piece chooses it.
const ShapePieces& shape_pieces(BlockWidth width);

extern const ShapePieces shape_pieces_baseline;
#ifdef VORLAN_BLOCKS_AVX2
extern const ShapePieces shape_pieces_avx2;
#endif
#ifdef VORLAN_BLOCKS_AVX512
extern const ShapePieces shape_pieces_avx512;
#endif

}  // namespace vorlan::detail

#endif
