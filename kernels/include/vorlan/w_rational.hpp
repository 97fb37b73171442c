// Rational approximation of the Faddeeva function: w(z) ~ P(Z) / Q(Z) with
// Z = y - ix, P of degree 6 and Q monic of degree 7.  Straight-line Horner
// steps in double precision; the final complex quotient is formed with a
// 53-bit significand and an extended exponent range, so that it stays finite
// where |Q|^2 leaves the double range, and is rounded to double on storing.
#ifndef VORLAN_W_RATIONAL_HPP
#define VORLAN_W_RATIONAL_HPP

namespace vorlan {

// The formula's value at x + iy, for every input (in the lower half-plane it
// is the formula's value, not w(z)).  Portable: the extended-range quotient
// is emulated in double arithmetic.
void W_RATIONAL(const double& x, const double& y, double& u, double& v);

// The rational approximation's numerator P and denominator Q at x + iy, as
// double pairs: the part of the formula shared by every quotient path.
struct RationalTerms {
  double pr, pi, qr, qi;
};
RationalTerms W_RATIONAL_TERMS(double x, double y);

// The quotient P/Q with 53-bit rounding and extended exponent range, emulated
// exactly in double arithmetic: plain double arithmetic where that is exact
// (W_RATIONAL_PLAIN_EXACT), (significand, exponent) pairs elsewhere.
void W_RATIONAL_QUOTIENT(const RationalTerms& t, double& u, double& v);
bool W_RATIONAL_PLAIN_EXACT(const RationalTerms& t);
void W_RATIONAL_QUOTIENT_PLAIN(const RationalTerms& t, double& u, double& v);
void W_RATIONAL_QUOTIENT_WIDE(const RationalTerms& t, double& u, double& v);

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VORLAN_HAVE_X87 1
// The same quotient on the x87 unit.  Gives the portable results only while an
// X87DoublePrecision guard is alive on the calling thread.
void W_RATIONAL_QUOTIENT_X87(const RationalTerms& t, double& u, double& v);

// Sets the x87 precision control to a 53-bit significand for its lifetime and
// restores the caller's control word afterwards.
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
