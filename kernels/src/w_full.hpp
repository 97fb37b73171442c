// The full-precision w(z) kernel's first-quadrant routine and its exact
// products, shared by the one-point w and the line shapes built on it.
#ifndef VORLAN_W_FULL_HPP
#define VORLAN_W_FULL_HPP

namespace vorlan::detail {

// w(z), w'(z) and (z w(z))' = w(z) + z w'(z) at one point.
struct FullTerms {
  double wr, wi;  // w
  double dr, di;  // w'
  double gr, gi;  // (z w)', only where asked for
};

// The terms at z = x + iy with 0 <= x, y <= ARG_LIMIT.
void w_full_quadrant(double x, double y, bool with_zw_derivative, FullTerms& t);

// w, w' and (z w)' beyond ARG_LIMIT from w there (see W_BEYOND_RANGE): the
// leading terms w' = -w / z and (z w)' = w' / z of the asymptotic series.
void w_full_beyond(double x, double y, FullTerms& t);

// a * b = p + e exactly, by Dekker's splitting (no fused multiply-add); a and
// b below 1e295 in magnitude, the product not underflowing.
inline void two_product(double a, double b, double& p, double& e) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  const double ca = kSplit * a;
  const double a_hi = ca - (ca - a);
  const double a_lo = a - a_hi;
  const double cb = kSplit * b;
  const double b_hi = cb - (cb - b);
  const double b_lo = b - b_hi;
  p = a * b;
  e = ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo;
}

// a + b = s + e exactly (Knuth's two-sum).
inline void two_sum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

}  // namespace vorlan::detail

#endif
