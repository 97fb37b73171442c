// w(z) over the whole plane: the kernels' values, and for the points they
// leave open the values double precision determines.  Below the real axis
// w(z) = 2 exp(-z^2) - w(-z).  Beyond ARG_LIMIT the asymptotic series
// w(z) = i/(sqrt(pi) z) (1 + 1/(2z^2) + ...) has its second term below 1e-307
// relative, so its first term is w(z) wherever exp(-z^2) is not in play.
#include "vorlan/w_complete.hpp"

#include <cmath>
#include <limits>

#include "uniform_nan.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

namespace vorlan {
namespace {

constexpr double kOneOverSqrtPi = 0.56418958354775628695;

void set_nan(double& u, double& v) {
  u = detail::kPositiveNaN;
  v = detail::kPositiveNaN;
}

}  // namespace

void W_BEYOND_RANGE(double x, double y, double& u, double& v) {
  if (std::isnan(x) || std::isnan(y)) {
    set_nan(u, v);
    return;
  }
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (y < 0.0 && x == 0.0) {
    // w(iy) = exp(y^2) erfc(-|y|) overflows; -0 as W_REFLECT gives it.
    u = std::numeric_limits<double>::infinity();
    v = -0.0;
    return;
  }
  if (y < 0.0) {
    // |exp(-z^2)| = exp(y^2 - x^2), as a product that cannot overflow.
    const bool factor_vanishes = ax > ay && std::exp(-((ax - ay) * (ax + ay))) == 0.0;
    if (!factor_vanishes) {
      set_nan(u, v);
      return;
    }
  }
  if (std::isinf(ax) || std::isinf(ay)) {
    u = std::copysign(0.0, y);
    v = std::copysign(0.0, x);
    return;
  }
  // i/(sqrt(pi) z) = (y + ix) / (sqrt(pi) |z|^2), divided through by the larger
  // part so that nothing is squared; halved, the denominator cannot overflow.
  const double half_c = 0.5 * kOneOverSqrtPi;
  if (ax >= ay) {
    const double r = y / x;
    const double scale = half_c / (0.5 * x + (0.5 * y) * r);
    u = scale * r;
    v = scale;
  } else {
    const double r = x / y;
    const double scale = half_c / (0.5 * y + (0.5 * x) * r);
    u = scale;
    v = scale * r;
  }
}

void W_REFLECT(double x, double y, double um, double vm, double& u, double& v) {
  if (std::isnan(um) || std::isnan(vm)) {  // no value at -z, none at z
    set_nan(u, v);
    return;
  }
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  // exp(-z^2) = exp(y^2 - x^2) (cos 2|x||y| + i sign(x) sin 2|x||y|) for y < 0.
  const double exponent = -(ax * ax - ay * ay);
  const double phase = (ax + ax) * ay;
  if (std::exp(exponent) == 0.0) {
    u = -um;
    v = -vm;
    return;
  }
  if (phase > TRIG_LIMIT) {
    set_nan(u, v);
    return;
  }
  double er;
  double ei;
  if (exponent <= EXP_LIMIT) {
    const double d = 2.0 * std::exp(exponent);
    er = d * std::cos(phase);
    ei = d * std::sin(phase);
  } else {
    // 2 exp(a) cos b may be finite where exp(a) is not: take exp(a/2) twice.
    const double t = std::exp(0.5 * exponent);
    er = (2.0 * std::cos(phase) * t) * t;
    ei = (2.0 * std::sin(phase) * t) * t;
  }
  u = er - um;
  if (x == 0.0) {
    // w is real here; -0 for both zeros, as the region kernel's own mapping
    // gives it (both count as x <= 0 there: exp(-z^2)'s -0 minus +0).
    v = -0.0;
  } else {
    v = (x > 0.0 ? ei : -ei) - vm;
  }
}

void W_REGIONS_ELEMENT(double x, double y, double& u, double& v) {
  std::int32_t flag = 0;
  W_REGIONS(x, y, u, v, flag);
  if (flag != 0) {
    if (std::fabs(x) > ARG_LIMIT || std::fabs(y) > ARG_LIMIT) {
      W_BEYOND_RANGE(x, y, u, v);
    } else {
      // (u, v) = w(|x| + i|y|); w(-z) = w(-x + i|y|) is its conjugate for x > 0.
      W_REFLECT(x, y, u, x > 0.0 ? -v : v, u, v);
    }
  }
  detail::uniform_nan_parts(x, y, u, v);
}

void W_RATIONAL_ELEMENT(double x, double y, double& u, double& v) {
  if (y < 0.0) {
    double um = 0.0;
    double vm = 0.0;
    W_RATIONAL(-x, -y, um, vm);
    W_REFLECT(x, y, um, vm, u, v);
  } else {
    W_RATIONAL(x, y, u, v);  // NaN beyond |z| ~ 1.09e44
  }
  detail::uniform_nan_parts(x, y, u, v);
}

}  // namespace vorlan
