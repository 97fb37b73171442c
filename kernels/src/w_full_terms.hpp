// The full-precision w kernel's terms (w, w', (z w)') at first-quadrant points
// and the routines that take them to the whole plane.
#ifndef VORLAN_W_FULL_TERMS_HPP
#define VORLAN_W_FULL_TERMS_HPP

namespace vorlan::detail {

// w, w' and (z w)' = w + z w' at one point, or with V a vector at one per lane.
template <class V>
struct FullTermsOf {
  V wr, wi;  // w
  V dr, di;  // w'
  V gr, gi;  // (z w)', only where asked for
};
using FullTerms = FullTermsOf<double>;

// The terms at z = x + iy with 0 <= x, y <= ARG_LIMIT.
void w_full_quadrant(double x, double y, bool with_zw_derivative, FullTerms& t);

// Whether w_full_quadrant takes |x| + i|y| (else w_full_beyond).
bool w_full_in_range(double x, double y);

// w(z) and w'(z) at z = x + iy from the terms at |x| + i|y|.
void w_full_map(double x, double y, const FullTerms& t, double& u, double& v, double& du,
                double& dv);

// w, w' and (z w)' beyond ARG_LIMIT: W_BEYOND_RANGE's w, w' = -w / z and
// (z w)' = w' / z, the asymptotic series' leading terms.
void w_full_beyond(double x, double y, FullTerms& t);

}  // namespace vorlan::detail

#endif
