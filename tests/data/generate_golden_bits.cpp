// Writes golden_bits.csv: the bits of w(z) from the one-point kernels at points
// where only IEEE basic operations (+ - * / sqrt, and the region kernel's own
// double-double integer power) decide the result, so that every platform must
// reproduce them exactly:
//  - regions: W_REGIONS_ELEMENT in the upper half-plane (y > 0) outside the
//    power-series disc, i.e. the Taylor ring and the continued fraction, and
//    beyond ARG_LIMIT for y >= 0 (W_BEYOND_RANGE divides only);
//  - rational: W_RATIONAL_ELEMENT for y >= 0 (y = -0 included), the formula
//    with its extended-range quotient, NaN beyond |z| ~ 1.09e44 (the positive
//    quiet NaN, as every NaN the element routines return);
//  - full, full_derivative: w and w' of W_FULL_ELEMENT for y != 0 (its
//    continued fraction, and its trapezoidal rule with the kernel's own
//    exponentials; below the real axis its exp(-z^2) from the kernel's own exp,
//    sin and cos), beyond ARG_LIMIT for y >= 0 and on the imaginary axis
//    below the real one (+Inf).
// The power-series disc, the real axis of the region kernel and the lower
// half-plane of the region and rational kernels call exp, sin or cos, whose
// last bit is the platform's: none of those points is in the table.
//
// Regenerate (from the source tree, with the build tree in build/):
//   cmake --build build --target generate_golden_bits
//   build/tests/kernels/generate_golden_bits tests/data/golden_bits.csv
//   tests/data/htp_golden_bits.csv (one command line: the second table is the
//   Hartmann-Tran profile's, see write_htp).
//
// The points come from a fixed-seed splitmix64 stream and explicit lists, and
// are formed with + - * / sqrt, nextafter and exact scalings by powers of two
// only, so every platform chooses the same points.  Columns: kernel, x, y, u,
// v as bit patterns (16 hex digits), the same four as %.17g, and where the
// point lies (region, Taylor order kappa, continued-fraction depth nu) for the
// reader.
// The generator stops without writing if the points miss a kappa in 7..40 or
// a nu in 3..17.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../kernels/bits_text.hpp"
#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"

namespace {

constexpr double kScaleX = 6.300000190734863;  // the region kernel's 6.3f and 4.4f
constexpr double kScaleY = 4.400000095367432;
constexpr double kSeriesBound = 0.085264;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

// splitmix64: a fixed, documented stream on every platform.
class Stream {
 public:
  explicit Stream(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    state_ += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }  // [0, 1)
  double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  // m * 2^e, m in [1, 2), e uniform in [lo, hi): uniform in the logarithm.
  double binade(int lo, int hi) { return std::ldexp(1.0 + uniform(), lo + below(hi - lo)); }
  double sign() { return (next() & 1) != 0 ? -1.0 : 1.0; }

 private:
  std::uint64_t state_;
};

// Where the region kernel puts a point, by its own formulas.
struct Place {
  std::string region;  // series, taylor, fraction, beyond
  int kappa;
  int nu;
};

double ring_q(double x, double y) {
  const double sx = std::fabs(x) / kScaleX;
  const double sy = std::fabs(y) / kScaleY;
  return sx * sx + sy * sy;
}

Place place_of(double x, double y) {
  if (std::fabs(x) > vorlan::ARG_LIMIT || std::fabs(y) > vorlan::ARG_LIMIT) {
    return {"beyond", 0, 0};
  }
  const double q = ring_q(x, y);
  if (q < kSeriesBound) return {"series", 0, 0};
  if (q > 1.0) {
    return {"fraction", 0,
            static_cast<int>(std::trunc(1442.0 / (26.0 * std::sqrt(q) + 77.0) + 3.0))};
  }
  const double r = (1.0 - std::fabs(y) / kScaleY) * std::sqrt(1.0 - q);
  return {"taylor", static_cast<int>(std::round(7.0 + 34.0 * r)),
          static_cast<int>(std::round(16.0 + 26.0 * r))};
}

// Points whose result only basic operations decide (see the top of the file).
bool regions_qualifies(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return false;
  const Place p = place_of(x, y);
  if (p.region == "beyond") return !(y < 0.0);
  return y > 0.0 && p.region != "series";
}

bool rational_qualifies(double x, double y) {
  return !std::isnan(x) && !std::isnan(y) && !(y < 0.0);
}

bool full_qualifies(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return false;
  if (std::fabs(x) > vorlan::ARG_LIMIT || std::fabs(y) > vorlan::ARG_LIMIT) {
    return !(y < 0.0) || x == 0.0;
  }
  return y != 0.0;
}

class Table {
 public:
  // False (and nothing added) for a point that does not qualify or is there already.
  bool regions(double x, double y) {
    if (!regions_qualifies(x, y) || !fresh("regions", x, y)) return false;
    double u;
    double v;
    vorlan::W_REGIONS_ELEMENT(x, y, u, v);
    const Place p = place_of(x, y);
    std::string where = p.region;
    if (p.region == "taylor") {
      where += " kappa=" + std::to_string(p.kappa) + " nu=" + std::to_string(p.nu);
      ++kappa_count_[p.kappa];
    } else if (p.region == "fraction") {
      where += " nu=" + std::to_string(p.nu);
      ++nu_count_[p.nu];
    }
    add("regions", x, y, u, v, where);
    return true;
  }

  bool rational(double x, double y) {
    if (!rational_qualifies(x, y) || !fresh("rational", x, y)) return false;
    double u;
    double v;
    vorlan::W_RATIONAL_ELEMENT(x, y, u, v);
    add("rational", x, y, u, v, "rational");
    return true;
  }

  bool full(double x, double y) {
    if (!full_qualifies(x, y) || !fresh("full", x, y)) return false;
    double u;
    double v;
    double du;
    double dv;
    vorlan::W_FULL_ELEMENT(x, y, u, v, du, dv);
    add("full", x, y, u, v, "full");
    add("full_derivative", x, y, du, dv, "full");
    return true;
  }

  // Both x and -x.
  void regions_pair(double x, double y) {
    regions(x, y);
    regions(-x, y);
  }

  int kappa_count(int kappa) const { return count(kappa_count_, kappa); }
  int nu_count(int nu) const { return count(nu_count_, nu); }
  std::size_t size() const { return rows_.size(); }

  bool write(const char* path) const {
    std::FILE* out = std::fopen(path, "w");
    if (out == nullptr) return false;
    std::fputs("kernel,x,y,u,v,x_value,y_value,u_value,v_value,where\n", out);
    for (const std::string& row : rows_) std::fputs(row.c_str(), out);
    return std::fclose(out) == 0;
  }

 private:
  static int count(const std::map<int, int>& counts, int key) {
    const auto it = counts.find(key);
    return it == counts.end() ? 0 : it->second;
  }

  bool fresh(const char* kernel, double x, double y) {
    return seen_.insert({kernel, vorlan_test::hex_bits(x) + vorlan_test::hex_bits(y)}).second;
  }

  void add(const char* kernel, double x, double y, double u, double v, const std::string& where) {
    char values[128];
    std::snprintf(values, sizeof values, "%.17g,%.17g,%.17g,%.17g", x, y, u, v);
    using vorlan_test::hex_bits;
    rows_.push_back(std::string(kernel) + "," + hex_bits(x) + "," + hex_bits(y) + "," +
                    hex_bits(u) + "," + hex_bits(v) + "," + values + "," + where + "\n");
  }

  std::vector<std::string> rows_;
  std::set<std::pair<std::string, std::string>> seen_;
  std::map<int, int> kappa_count_;
  std::map<int, int> nu_count_;
};

// The largest positive x with q(x, y) <= bound, by bisection over the ordered
// bit patterns of positive doubles (q grows with x).
double largest_x_within(double y, double bound) {
  std::uint64_t lo = 0;                                  // q(+0, y) <= bound
  std::uint64_t hi = vorlan_test::bits_of(2 * kScaleX);  // q > bound
  while (hi - lo > 1) {
    const std::uint64_t mid = lo + (hi - lo) / 2;
    if (ring_q(vorlan_test::double_of(mid), y) <= bound) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return vorlan_test::double_of(lo);
}

// The Taylor ring, kappa by kappa: r = (1 - Y) sqrt(1 - q) drawn within the
// rounding interval of each kappa, q drawn where such an r fits, and Y and X
// solved from them.  Small kappa means a short step h = 1.88 r, large kappa a
// long one.
void taylor_ring(Table& table, Stream& stream) {
  const double r_max = std::sqrt(1.0 - kSeriesBound);
  for (int kappa = 7; kappa <= 40; ++kappa) {
    const double r_lo = std::fmax((kappa - 7.5) / 34.0, 0.0);
    const double r_hi = std::fmin((kappa - 6.5) / 34.0, r_max);
    int found = 0;
    for (int attempt = 0; attempt < 200000 && found < 12; ++attempt) {
      const double r = stream.between(r_lo, r_hi);
      const double q = stream.between(kSeriesBound, 1.0 - r * r);
      const double big_y = 1.0 - r / std::sqrt(1.0 - q);
      if (!(big_y > 0.0) || big_y * big_y >= q) continue;
      const double x = stream.sign() * std::sqrt(q - big_y * big_y) * kScaleX;
      const double y = big_y * kScaleY;
      const Place p = place_of(x, y);
      if (p.region == "taylor" && p.kappa == kappa && table.regions(x, y)) ++found;
    }
  }
}

// Both sides of the ring's edges along rows of fixed y: q just at or below 1
// (kappa 7, a tiny step h) and just above it (nu 17 needs sqrt(q) to round to
// 1, i.e. q = 1 + 2^-52), and the first points past the power-series disc.
void ring_edges(Table& table) {
  for (int i = 1; i <= 10; ++i) {
    const double y = kScaleY * (i / 11.0);
    double x = largest_x_within(y, 1.0);
    for (int step = 0; step < 3; ++step) x = std::nextafter(x, 0.0);
    int deepest = 0;
    for (int step = 0; step < 40; ++step, x = std::nextafter(x, kInf)) {
      const Place p = place_of(x, y);
      if (step < 5 || (p.region == "fraction" && p.nu == 17 && deepest++ < 2)) table.regions(x, y);
    }
    if (y / kScaleY < std::sqrt(kSeriesBound)) {
      double inner = std::nextafter(largest_x_within(y, std::nextafter(kSeriesBound, 0.0)), kInf);
      for (int step = 0; step < 3; ++step, inner = std::nextafter(inner, kInf)) {
        table.regions(-inner, y);
      }
    }
  }
  // Near Y = 1 on and beside the imaginary axis: y = 4.4f is q = 1 with r = 0,
  // the Taylor branch with h = 0; just below it r and h are tiny.
  double y = kScaleY;
  for (int i = 0; i < 6; ++i, y = std::nextafter(y, 0.0)) {
    for (double x : {0.0, 1e-300, 1e-9}) table.regions_pair(x, y);
  }
  for (int k = 4; k <= 52; k += 4) {
    table.regions_pair(0.0, kScaleY * (1.0 - std::ldexp(1.0, -k)));
    table.regions_pair(0.0, kScaleY * (1.0 + std::ldexp(1.0, -k)));
  }
  y = kScaleY;
  for (int i = 0; i < 4; ++i) {
    y = std::nextafter(y, kInf);
    table.regions_pair(0.0, y);
  }
}

// sqrt(q) in the interval where the depth nu = trunc(1442 / (26 sqrt(q) + 77) + 3)
// is reached, in a random direction of the upper half-plane.
void fraction_depths(Table& table, Stream& stream) {
  for (int nu = 3; nu <= 16; ++nu) {
    const double s_lo = (1442.0 / (nu - 2) - 77.0) / 26.0;
    const double s_hi = nu == 3 ? 0.0 : (1442.0 / (nu - 3) - 77.0) / 26.0;
    int found = 0;
    for (int attempt = 0; attempt < 100000 && found < (nu == 3 ? 30 : 14); ++attempt) {
      const double s = nu == 3 ? stream.binade(6, 508) : stream.between(s_lo, s_hi);
      const double c = stream.between(-1.0, 1.0);
      const double x = s * c * kScaleX;
      const double y = s * std::sqrt(1.0 - c * c) * kScaleY;
      const Place p = place_of(x, y);
      if (p.region == "fraction" && p.nu == nu && table.regions(x, y)) ++found;
    }
  }
}

// The imaginary axis (x = +0 and -0), tiny and subnormal y beside the real
// axis, far-out points up to ARG_LIMIT with their underflowing real parts, and
// points beyond it.
void regions_axes_and_far_out(Table& table, Stream& stream) {
  for (double y : {1.2848, 1.3, 1.5, 2.0, 3.0, 4.0, 4.5, 5.0, 8.0, 20.0, 1e3, 1e10, 1e50, 1e100,
                   1e150, 5e153}) {
    table.regions(0.0, y);
    table.regions(-0.0, y);
  }
  for (double x : {1.86, 2.5, 4.0, 6.2, kScaleX, 7.0, 30.0, 1e3, 1e10, 1e100, 1e150, 5e153}) {
    for (double y : {5e-324, 1e-315, 2.2250738585072014e-308, 1e-300, 1e-20, 1e-3}) {
      table.regions_pair(x, y);
    }
  }
  for (double x : {5e153, 1e153}) {
    for (double y : {1e-10, 1.0, 1e100, 5e153}) {
      table.regions_pair(x, y);
      table.regions_pair(y, x);
    }
  }
  for (int i = 0; i < 40; ++i) {
    table.regions(stream.sign() * stream.binade(-60, 511), stream.binade(-1022, 511));
  }
  const double beyond[] = {std::nextafter(vorlan::ARG_LIMIT, kInf), 1e160, 1e300, kMax, kInf};
  const double others[] = {0.0, -0.0, 5e-324, 1.0, 5e153, 1e300, kInf};
  for (double far : beyond) {
    for (double other : others) {
      table.regions(far, other);
      table.regions(-far, other);
      table.regions(other, far);
    }
  }
  for (int i = 0; i < 30; ++i) {
    const double far = stream.binade(511, 1024);
    const double other = stream.binade(-1022, 1024);
    if (stream.below(2) == 0) {
      table.regions(stream.sign() * far, other);
    } else {
      table.regions(stream.sign() * other, far);
    }
  }
}

// The rational formula over many decades of |z| in random directions, with
// extra weight on 1e22..1e44 (only the extended-range quotient stays finite
// there) and across the NaN edge near 1.09e44; independent |x| and |y| from
// 2^-1022 up, and subnormal ones in a list; the real axis with y = +0 and -0;
// the imaginary axis.
void rational_points(Table& table, Stream& stream) {
  for (int i = 0; i < 200; ++i) {
    const double s = stream.binade(-80, 150);
    const double c = stream.between(-1.0, 1.0);
    table.rational(s * c, s * std::sqrt(1.0 - c * c));
  }
  for (int i = 0; i < 100; ++i) {
    const double s = stream.binade(73, 146);  // 2^73 ~ 1e22, 2^146 ~ 8.9e43
    const double c = stream.between(-1.0, 1.0);
    table.rational(s * c, s * std::sqrt(1.0 - c * c));
  }
  for (int i = 0; i < 20; ++i) {
    const double s = 1.0e44 + 0.2e44 * (i / 20.0);
    for (double c : {0.0, 0.6, 1.0}) table.rational(s * c, s * std::sqrt(1.0 - c * c));
  }
  for (int i = 0; i < 100; ++i) {
    table.rational(stream.sign() * stream.binade(-1022, 150), stream.binade(-1022, 150));
  }
  for (double x :
       {1e-320, 1e-300, 1e-100, 1e-10, 0.5,  1.0,  2.47, 5.0,     100.0,  1e5,  1e10,  1e20,
        1e22,   1e30,   1e38,   1e40,  1e42, 1e43, 1e44, 1.09e44, 1.1e44, 1e50, 1e300, kInf}) {
    for (double y : {0.0, -0.0}) {
      table.rational(x, y);
      table.rational(-x, y);
    }
    table.rational(0.0, x);
    table.rational(-0.0, x);
  }
  for (double y : {5e-324, 1e-315, 1e-300, 1e-20, 1.0, 1e20}) {
    for (double x : {1e-320, 1e-300, 1.0, 1e10, 1e30, 1e40, 1e43}) {
      table.rational(x, y);
      table.rational(-x, y);
    }
  }
}

// The full-precision w's continued fraction over every depth (|z| from 4 to
// ARG_LIMIT in random directions), both sides of where it takes over, its
// trapezoidal rule (random points, y from 1e-300 up, both sides of each grid
// switch and of where the moments come out), and points beyond ARG_LIMIT.
void full_points(Table& table, Stream& stream) {
  for (int i = 0; i < 400; ++i) {
    const double s = stream.binade(2, 512);
    const double c = stream.between(-1.0, 1.0);
    table.full(s * c, s * std::sqrt(1.0 - c * c));
  }
  for (double y : {5e-324, 1e-300, 1e-10, 0.5, 3.99}) {
    table.full(7.5, y);
    table.full(-std::nextafter(7.5, kInf), y);
  }
  for (double x : {0.0, -0.0, 1e-300, 3.0, -7.4}) {
    table.full(x, 4.0);
    table.full(x, std::nextafter(4.0, kInf));
  }
  for (double far : {std::nextafter(vorlan::ARG_LIMIT, kInf), 1e300, kInf}) {
    for (double other : {0.0, 1.0, 1e200}) {
      table.full(far, other);
      table.full(-other, far);
    }
  }
  for (int i = 0; i < 300; ++i) {
    const double x = stream.between(-7.5, 7.5);
    table.full(x, i % 3 == 0 ? stream.binade(-996, 2) : stream.between(0.0, 4.0));
  }
  for (double node = 0.125; node < 7.5; node += 0.5) {
    table.full(node, 0.25);
    table.full(-std::nextafter(node, 0.0), 1e-3);
  }
  for (double y : {1e-300, 0.5, 2.0}) {
    table.full(std::sqrt(16.0 - y * y), y);
    table.full(std::nextafter(std::sqrt(16.0 - y * y), kInf), y);
  }
}

}  // namespace

// The full-precision w below the real axis: random points of its moderate
// range, y close to -x where x^2 and y^2 cancel in exp(-z^2), up to and
// across the phase limit TRIG_LIMIT and past the overflow of 2 exp(-z^2) and
// 4 z exp(-z^2), the imaginary axis within ARG_LIMIT and beyond.
void full_lower_half_points(Table& table, Stream& stream) {
  for (int i = 0; i < 150; ++i) {
    table.full(stream.between(-30.0, 30.0), -stream.between(0.0, 27.0));
  }
  for (int i = 0; i < 60; ++i) {
    const double x = stream.sign() * stream.binade(0, 26);
    const double a = stream.between(-700.0, 700.0);
    if (x * x + a > 0.0) table.full(x, -std::sqrt(x * x + a));
  }
  double edge = std::sqrt(vorlan::TRIG_LIMIT / 2.0);
  for (int i = 0; i < 3; ++i) edge = std::nextafter(edge, 0.0);
  for (int i = 0; i < 6; ++i, edge = std::nextafter(edge, kInf)) {
    table.full(edge, -edge);
    table.full(-edge, -std::nextafter(edge, 0.0));
  }
  for (double y : {1e-300, 0.5, 1.0, 3.0, 10.0, 26.0, 26.5, 26.6, 26.63, 27.0, 37.5, 38.0, 1e10,
                   5e153, 1e300, kInf}) {
    table.full(0.0, -y);
    table.full(-0.0, -y);
    table.full(1e-300, -y);
    table.full(-0.1, -y);
  }
}

// Writes htp_golden_bits.csv: F and its eight derivatives from HTP_ELEMENT,
// every argument and result as 16 hex digits, over lines of every form (the
// Voigt, Rautian, speed-dependent and Hartmann-Tran profiles, broad and
// narrow, Doppler-free, with C2t vanishing or tiny, eta = 1, Gamma2 > 2/3
// Gamma0) at detunings from the centre to 1e6 widths.  Every line has Gamma0
// or nuVC above 0, so no point of w lies on the real axis, where the full
// kernel takes the platform's exp.
bool write_htp(const char* path) {
  struct Line {
    double gamma_d, gamma0, gamma2, delta0, delta2, nu_vc, eta;
  };
  const Line lines[] = {
      {1.0, 1.0, 0.0, 0.2, 0.0, 0.0, 0.0},         // Voigt
      {1.0, 1e-3, 0.0, 0.0, 0.0, 0.3, 0.0},        // Rautian, Doppler-limited
      {1.0, 1.0, 0.1, 0.2, 0.02, 0.0, 0.0},        // speed-dependent Voigt
      {1.0, 1.0, 0.1, 0.2, 0.02, 0.3, 0.2},        // Hartmann-Tran
      {1.0, 3e3, 1e3, -500.0, 100.0, 40.0, 0.1},   // pressure-broadened
      {0.0, 0.7, 0.3, 0.1, -0.05, 0.2, 0.4},       // Doppler-free
      {0.0, 0.4, 0.0, 0.1, 0.0, 0.7, 0.3},         // Lorentz
      {1.0, 0.5, 1e-9, 0.1, 1e-10, 0.2, 0.3},      // C2t tiny
      {1.0, 0.5, 0.2, 0.1, 0.05, 0.2, 1.0},        // eta = 1
      {1.0, 10.0, 9.0, 0.0, 0.0, 0.0, 0.0},        // Gamma2 > 2/3 Gamma0
      {1e-4, 2e-2, 5e-3, 1e-3, -1e-3, 1e-3, 0.05}  // narrow line far from 0
  };
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) return false;
  std::fprintf(out, "nu,nu0,GammaD,Gamma0,Gamma2,Delta0,Delta2,nuVC,eta,re_f,im_f");
  const char* names[] = {"nu0", "GammaD", "Gamma0", "Gamma2", "Delta0", "Delta2", "nuVC", "eta"};
  for (const char* name : names) std::fprintf(out, ",re_d_%s,im_d_%s", name, name);
  std::fprintf(out, "\n");
  int rows = 0;
  for (const Line& l : lines) {
    const double nu0 = l.gamma_d == 1e-4 ? 6000.0 : 0.0;
    const double width = l.gamma_d + l.gamma0;
    for (double widths : {0.0, 0.3, -1.0, 2.5, -7.0, 30.0, -400.0, 1e4, -1e6}) {
      const double a[vorlan::kHtpArguments] = {nu0 + widths * width,
                                               nu0,
                                               l.gamma_d,
                                               l.gamma0,
                                               l.gamma2,
                                               l.delta0,
                                               l.delta2,
                                               l.nu_vc,
                                               l.eta};
      vorlan::HtpValue v{};
      vorlan::HTP_ELEMENT(a, true, v);
      for (double x : a) std::fprintf(out, "%s,", vorlan_test::hex_bits(x).c_str());
      std::fprintf(out, "%s,%s", vorlan_test::hex_bits(v.re).c_str(),
                   vorlan_test::hex_bits(v.im).c_str());
      for (int k = 0; k < vorlan::kHtpDerivatives; ++k) {
        std::fprintf(out, ",%s,%s", vorlan_test::hex_bits(v.d_re[k]).c_str(),
                     vorlan_test::hex_bits(v.d_im[k]).c_str());
      }
      std::fprintf(out, "\n");
      ++rows;
    }
  }
  std::fprintf(stderr, "%d rows written to %s\n", rows, path);
  return std::fclose(out) == 0;
}

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.csv [HTP_OUTPUT.csv]\n", argv[0]);
    return 2;
  }
  if (argc == 3 && !write_htp(argv[2])) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  Table table;
  Stream stream(0x676f6c64656e0001ULL);
  taylor_ring(table, stream);
  ring_edges(table);
  fraction_depths(table, stream);
  regions_axes_and_far_out(table, stream);
  rational_points(table, stream);
  full_points(table, stream);
  full_lower_half_points(table, stream);

  bool complete = true;
  for (int kappa = 7; kappa <= 40; ++kappa) {
    if (table.kappa_count(kappa) == 0) {
      std::fprintf(stderr, "no Taylor point with kappa = %d\n", kappa);
      complete = false;
    }
  }
  for (int nu = 3; nu <= 17; ++nu) {
    if (table.nu_count(nu) == 0) {
      std::fprintf(stderr, "no continued-fraction point with nu = %d\n", nu);
      complete = false;
    }
  }
  if (!complete) return 1;
  if (!table.write(argv[1])) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::fprintf(stderr, "%zu rows written to %s\n", table.size(), argv[1]);
  return 0;
}
