// Rational approximation of the Faddeeva function: w(z) ~ P(Z) / Q(Z) with
// Z = y - ix, P of degree 6 and Q monic of degree 7 (method in w_rational.cpp).
#ifndef VORLAN_W_RATIONAL_HPP
#define VORLAN_W_RATIONAL_HPP

namespace vorlan {

// The formula's value at x + iy, for every input (below the real axis it is
// not w(z)).  Portable: the extended-range quotient is emulated.
void W_RATIONAL(const double& x, const double& y, double& u, double& v);

// P and Q at x + iy, shared by every quotient path.
struct RationalTerms {
  double pr, pi, qr, qi;
};
RationalTerms W_RATIONAL_TERMS(double x, double y);

// The quotient P/Q, 53-bit rounded with an extended exponent range: plain
// double arithmetic where that is exact (W_RATIONAL_PLAIN_EXACT), (significand,
// exponent) pairs elsewhere (W_RATIONAL_QUOTIENT_WIDE, always).
void W_RATIONAL_QUOTIENT(const RationalTerms& t, double& u, double& v);
bool W_RATIONAL_PLAIN_EXACT(const RationalTerms& t);
void W_RATIONAL_QUOTIENT_PLAIN(const RationalTerms& t, double& u, double& v);
void W_RATIONAL_QUOTIENT_WIDE(const RationalTerms& t, double& u, double& v);

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VORLAN_HAVE_X87 1
// The same quotient on the x87 unit: the portable bits only while an
// X87DoublePrecision guard is alive on the calling thread.
void W_RATIONAL_QUOTIENT_X87(const RationalTerms& t, double& u, double& v);

// The x87 precision control at 53 bits for its lifetime.
class X87DoublePrecision {
 public:
  X87DoublePrecision();
  ~X87DoublePrecision();
  X87DoublePrecision(const X87DoublePrecision&) = delete;
  X87DoublePrecision& operator=(const X87DoublePrecision&) = delete;

 private:
  unsigned short saved_;
};
#endif

}  // namespace vorlan

#endif
