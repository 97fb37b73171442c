// Rational approximation w(z) ~ P(Z) / Q(Z), Z = y - ix.  P and Q by
// Horner's rule on (re, im) pairs; a real coefficient adds +0 to the imaginary
// part, so w(0) = 1 + 0i for every signed zero.  The quotient (P conj Q) / |Q|^2
// has 53-bit significands and an exponent range in which |Q|^2 stays finite
// and nonzero, rounded to double once on storing: emulated with (significand,
// exponent) pairs, or on the x87 unit with its precision control at 53 bits.
#include "vorlan/w_rational.hpp"

#include <cmath>

#include "w_rational_steps.hpp"

namespace vorlan {
namespace {

// A value m * 2^e with |m| in [0.5, 1): a 53-bit significand with an exponent
// range far beyond double's.  Zeros, infinities and NaNs keep e = 0 and carry
// their IEEE value in m, so they propagate as in hardware arithmetic.
struct Wide {
  double m;
  int e;
};

// m * 2^e, normalised.
Wide wide(double m, int e = 0) {
  if (m == 0.0 || !std::isfinite(m)) {
    return {m, 0};
  }
  int k = 0;
  const double n = std::frexp(m, &k);
  return {n, e + k};
}

// Products and quotients of significands in [0.5, 1) stay in the normal double
// range, so each is rounded exactly once, as in the wide format; special
// values come out with e = 0 as above.
Wide mul(const Wide& a, const Wide& b) { return wide(a.m * b.m, a.e + b.e); }

Wide div(const Wide& a, const Wide& b) { return wide(a.m / b.m, a.e - b.e); }

// The smaller term is aligned to the larger one's exponent.  When the shift
// sends it below double's range it is far below half an ulp of the larger
// significand, so the rounded sum is the larger term either way.
Wide add(const Wide& a, const Wide& b) {
  if (!std::isfinite(a.m) || !std::isfinite(b.m) || (a.m == 0.0 && b.m == 0.0)) {
    return {a.m + b.m, 0};
  }
  if (a.m == 0.0) {
    return b;
  }
  if (b.m == 0.0) {
    return a;
  }
  if (a.e >= b.e) {
    return wide(a.m + std::ldexp(b.m, b.e - a.e), a.e);
  }
  return wide(std::ldexp(a.m, a.e - b.e) + b.m, b.e);
}

Wide sub(const Wide& a, const Wide& b) { return add(a, Wide{-b.m, b.e}); }

// Rounds to double once: exact for normal results, onto the subnormal grid
// (a second rounding) below them, infinite above them.
double narrow(const Wide& w) { return std::ldexp(w.m, w.e); }

}  // namespace

RationalTerms W_RATIONAL_TERMS(double x, double y) {
  detail::RationalPolynomials<double, 1> r{{y}, {-x}, {}, {}, {}, {}};
  detail::evaluate_polynomials(r);
  return {r.pr[0], r.pi[0], r.qr[0], r.qi[0]};
}

void W_RATIONAL_QUOTIENT_WIDE(const RationalTerms& t, double& u, double& v) {
  const Wide pr = wide(t.pr);
  const Wide pi = wide(t.pi);
  const Wide qr = wide(t.qr);
  const Wide qi = wide(t.qi);
  const Wide d = add(mul(qr, qr), mul(qi, qi));
  u = narrow(div(add(mul(pr, qr), mul(pi, qi)), d));
  v = narrow(div(sub(mul(pi, qr), mul(pr, qi)), d));
}

bool W_RATIONAL_PLAIN_EXACT(const RationalTerms& t) {
  return detail::plain_exact(t.pr, t.pi, t.qr, t.qi);
}

void W_RATIONAL_QUOTIENT_PLAIN(const RationalTerms& t, double& u, double& v) {
  detail::plain_quotient(t.pr, t.pi, t.qr, t.qi, u, v);
}

void W_RATIONAL_QUOTIENT(const RationalTerms& t, double& u, double& v) {
  if (W_RATIONAL_PLAIN_EXACT(t)) {
    W_RATIONAL_QUOTIENT_PLAIN(t, u, v);
  } else {
    W_RATIONAL_QUOTIENT_WIDE(t, u, v);
  }
}

void W_RATIONAL(const double& x, const double& y, double& u, double& v) {
  W_RATIONAL_QUOTIENT(W_RATIONAL_TERMS(x, y), u, v);
}

#ifdef VORLAN_HAVE_X87

namespace {
constexpr unsigned short kPrecisionMask = 0x0300;
constexpr unsigned short kPrecision53 = 0x0200;
}  // namespace

X87DoublePrecision::X87DoublePrecision() : saved_(0) {
  __asm__ __volatile__("fnstcw %0" : "=m"(saved_) : : "memory");
  unsigned short cw = static_cast<unsigned short>((saved_ & ~kPrecisionMask) | kPrecision53);
  __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory");
}

X87DoublePrecision::~X87DoublePrecision() {
  __asm__ __volatile__("fldcw %0" : : "m"(saved_) : "memory");
}

void W_RATIONAL_QUOTIENT_X87(const RationalTerms& t, double& u, double& v) {
  const long double pr = t.pr;
  const long double pi = t.pi;
  const long double qr = t.qr;
  const long double qi = t.qi;
  const long double d = qr * qr + qi * qi;
  u = static_cast<double>((pr * qr + pi * qi) / d);
  v = static_cast<double>((pi * qr - pr * qi) / d);
}

#endif

}  // namespace vorlan
