// The rational approximation in lanes, kGroup vectors of consecutive points
// at a time, with the one-point kernel's templates (w_rational_steps.hpp).
// Lanes below the real axis (evaluated at -z, then reflected) or outside the
// plain quotient's exact range are finished per lane.
#ifndef VORLAN_RATIONAL_LANES_HPP
#define VORLAN_RATIONAL_LANES_HPP

namespace vorlan::blocks {
namespace {

// Independent vectors side by side, hiding each other's latency.
constexpr int kGroup = 2;
constexpr int kBatch = kGroup * kLanes;

inline void rational_chunk(const double* xr, const double* xi, double* ur, double* ui) {
  detail::RationalPolynomials<Vec, kGroup> r;
  Vec x[kGroup];
  Vec y[kGroup];
  Mask lower[kGroup];
  for (int g = 0; g < kGroup; ++g) {
    // read before ur, ui (which may be xr, xi) are written; Z = y - ix at z or -z
    x[g] = load(xr + static_cast<std::ptrdiff_t>(g) * kLanes);
    y[g] = load(xi + static_cast<std::ptrdiff_t>(g) * kLanes);
    lower[g] = y[g] < 0.0;
    r.zr[g] = select(lower[g], negate(y[g]), y[g]);
    r.zi[g] = negate(select(lower[g], negate(x[g]), x[g]));
  }
  detail::evaluate_polynomials(r);
  Vec u[kGroup];
  Vec v[kGroup];
  for (int g = 0; g < kGroup; ++g) {  // the divisions side by side
    detail::plain_quotient(r.pr[g], r.pi[g], r.qr[g], r.qi[g], u[g], v[g]);
  }
  for (int g = 0; g < kGroup; ++g) {
    const int o = g * kLanes;
    store(ur + o, u[g]);
    store(ui + o, v[g]);
    const Mask plain = detail::plain_exact(r.pr[g], r.pi[g], r.qr[g], r.qi[g]);
    const Mask fix = lower[g] | ~plain;
    if (!any(fix)) continue;
    for (int i = 0; i < kLanes; ++i) {
      if (fix[i] == 0) continue;
      double um = u[g][i];
      double vm = v[g][i];
      if (plain[i] == 0) {
        const RationalTerms t{r.pr[g][i], r.pi[g][i], r.qr[g][i], r.qi[g][i]};
        W_RATIONAL_QUOTIENT_WIDE(t, um, vm);
      }
      if (lower[g][i] != 0) {
        W_REFLECT(x[g][i], y[g][i], um, vm, um, vm);
      }
      detail::uniform_nan_parts(x[g][i], y[g][i], um, vm);
      ur[o + i] = um;
      ui[o + i] = vm;
    }
  }
}

void rational_lanes(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  std::int64_t k = 0;
  for (; k + kBatch <= n; k += kBatch) {
    rational_chunk(xr + k, xi + k, ur + k, ui + k);
  }
  for (; k < n; ++k) {
    W_RATIONAL_ELEMENT(xr[k], xi[k], ur[k], ui[k]);
  }
}

}  // namespace
}  // namespace vorlan::blocks

#endif
