// The lane code's vector of VORLAN_BLOCK_LANES doubles and its lane mask:
// with GCC and Clang their generic vector types, which become the target
// unit's instructions; elsewhere (MSVC, or VORLAN_PORTABLE_LANES) plain
// arrays with the same element-wise operators.  Either way every lane does
// the IEEE operation on its own element, as the scalar code does.
#ifndef VORLAN_LANE_VECTOR_HPP
#define VORLAN_LANE_VECTOR_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>

#if !defined(VORLAN_PORTABLE_LANES) && (defined(__GNUC__) || defined(__clang__))
#define VORLAN_GENERIC_VECTORS 1
#endif

namespace vorlan::blocks {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): one copy per vector unit

constexpr int kLanes = VORLAN_BLOCK_LANES;

#ifdef VORLAN_GENERIC_VECTORS

typedef double Vec __attribute__((vector_size(8 * kLanes)));
// All ones or all zeros per lane, as the vector comparisons give them.
typedef long long Mask __attribute__((vector_size(8 * kLanes)));

inline Vec select(const Mask& m, const Vec& a, const Vec& b) {
  return (Vec)(((Mask)a & m) | ((Mask)b & ~m));
}

inline Mask bits_of(const Vec& v) { return (Mask)v; }
inline Vec from_bits(const Mask& m) { return (Vec)m; }

#else

// Lanes of T, with the element-wise operators below; a scalar operand is
// broadcast.
template <class T>
struct Lanes {
  T lane[kLanes];
  Lanes() = default;
  Lanes(T s) {  // NOLINT(google-explicit-constructor): as the vector extensions do
    for (int i = 0; i < kLanes; ++i) lane[i] = s;
  }
  T operator[](int i) const { return lane[i]; }
  T& operator[](int i) { return lane[i]; }
};
using Vec = Lanes<double>;
using Mask = Lanes<std::int64_t>;

// Comparisons give a lane of all ones or zeros.
inline std::int64_t to_lane(bool b) { return b ? -1 : 0; }
inline double to_lane(double d) { return d; }
inline std::int64_t to_lane(std::int64_t b) { return b; }

template <class R, class T, class Op>
inline R lanewise(const Lanes<T>& a, const Lanes<T>& b, Op op) {
  R r;
  for (int i = 0; i < kLanes; ++i) r.lane[i] = to_lane(op(a.lane[i], b.lane[i]));
  return r;
}

// a op b lane by lane; comparisons, and bit operations on the masks and on
// the lanes' bits, as the exponentials use them.
// NOLINTBEGIN(bugprone-macro-parentheses): function is a type
#define VORLAN_LANEWISE(R, T, op, function) \
  inline R operator op(const T& a, const T& b) { return lanewise<R>(a, b, function{}); }
// NOLINTEND(bugprone-macro-parentheses)
VORLAN_LANEWISE(Vec, Vec, +, std::plus<>)
VORLAN_LANEWISE(Vec, Vec, -, std::minus<>)
VORLAN_LANEWISE(Vec, Vec, *, std::multiplies<>)
VORLAN_LANEWISE(Vec, Vec, /, std::divides<>)
VORLAN_LANEWISE(Mask, Vec, <, std::less<>)
VORLAN_LANEWISE(Mask, Vec, >, std::greater<>)
VORLAN_LANEWISE(Mask, Vec, >=, std::greater_equal<>)
VORLAN_LANEWISE(Mask, Vec, <=, std::less_equal<>)
VORLAN_LANEWISE(Mask, Vec, ==, std::equal_to<>)
VORLAN_LANEWISE(Mask, Vec, !=, std::not_equal_to<>)
VORLAN_LANEWISE(Mask, Mask, &, std::bit_and<>)
VORLAN_LANEWISE(Mask, Mask, |, std::bit_or<>)
VORLAN_LANEWISE(Mask, Mask, +, std::plus<>)
VORLAN_LANEWISE(Mask, Mask, -, std::minus<>)
#undef VORLAN_LANEWISE
inline Vec operator-(const Vec& a) {
  return lanewise<Vec>(a, a, [](double p, double) { return -p; });
}
inline Vec& operator+=(Vec& a, const Vec& b) { return a = a + b; }
inline Mask operator~(const Mask& a) { return lanewise<Mask>(a, Mask(-1), std::bit_xor<>()); }
inline Mask operator-(const Mask& a) { return Mask(0) - a; }
inline Mask operator<<(const Mask& a, int s) {
  return lanewise<Mask>(a, Mask(s), [](std::int64_t p, std::int64_t q) { return p << q; });
}
inline Mask operator>>(const Mask& a, int s) {
  return lanewise<Mask>(a, Mask(s), [](std::int64_t p, std::int64_t q) { return p >> q; });
}

inline Vec select(const Mask& m, const Vec& a, const Vec& b) {
  Vec r;
  for (int i = 0; i < kLanes; ++i) r.lane[i] = m.lane[i] != 0 ? a.lane[i] : b.lane[i];
  return r;
}

inline Mask bits_of(const Vec& v) {
  Mask m;
  std::memcpy(&m, &v, sizeof m);
  return m;
}

inline Vec from_bits(const Mask& m) {
  Vec v;
  std::memcpy(&v, &m, sizeof v);
  return v;
}

#endif

inline Vec magnitude(const Vec& v) { return from_bits(bits_of(v) & INT64_MAX); }

inline Vec load(const double* p) {
  Vec v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void store(double* p, const Vec& v) { std::memcpy(p, &v, sizeof v); }

inline Vec splat(double s) {
  Vec v;
  for (int i = 0; i < kLanes; ++i) v[i] = s;
  return v;
}

// The correctly rounded square root of every lane: the vector unit's own
// instruction where there is one (IEEE square roots agree bit for bit), the
// scalar one per lane elsewhere.
inline Vec square_root(const Vec& v) {
#if defined(VORLAN_GENERIC_VECTORS) && (defined(__x86_64__) || defined(__i386__)) && \
    VORLAN_BLOCK_LANES == 8
  return (Vec)_mm512_maskz_sqrt_pd(static_cast<__mmask8>(0xff), (__m512d)v);
#elif defined(VORLAN_GENERIC_VECTORS) && (defined(__x86_64__) || defined(__i386__)) && \
    VORLAN_BLOCK_LANES == 4
  return (Vec)_mm256_sqrt_pd((__m256d)v);
#elif defined(VORLAN_GENERIC_VECTORS) && (defined(__x86_64__) || defined(__i386__)) && \
    VORLAN_BLOCK_LANES == 2
  return (Vec)_mm_sqrt_pd((__m128d)v);
#elif defined(VORLAN_GENERIC_VECTORS) && defined(__aarch64__) && VORLAN_BLOCK_LANES == 2
  return (Vec)vsqrtq_f64((float64x2_t)v);
#else
  Vec r = v;
  for (int i = 0; i < kLanes; ++i) r[i] = std::sqrt(v[i]);
  return r;
#endif
}

// Flips the sign bit, zeros included.
inline Vec negate(const Vec& v) { return -v; }

inline bool any(const Mask& m) {
  std::int64_t bits = 0;
  for (int i = 0; i < kLanes; ++i) bits |= m[i];
  return bits != 0;
}

}  // namespace
}  // namespace vorlan::blocks

#endif
