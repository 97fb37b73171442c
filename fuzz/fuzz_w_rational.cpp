// W_RATIONAL and the rational element and block routines over arbitrary bit
// patterns of x and y, read as up to 64 points (x, y) of 16 bytes each.
// Properties checked at every point:
//  - both outputs are written: two calls with different preset values give
//    the same bits;
//  - every finite point of the closed upper half-plane with |z| < 1e43 gives
//    a finite value (the formula's terms stay within the double range there);
//  - mirror symmetry w(-x + iy) = conj w(x + iy) for y >= 0, bit for bit up
//    to the sign of a zero;
//  - the emulated extended-range quotient and the x87 quotient under a 53-bit
//    precision guard give the same bits;
//  - the element routine is the formula itself for y >= 0;
//  - the block routine at every vector width gives the element routine's bits.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_checks.hpp"
#include "vorlan/w_blocks.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"

namespace {

using vorlan::fuzz::bits;
using vorlan::fuzz::fail;
using vorlan::fuzz::from_bits;
using vorlan::fuzz::same_up_to_zero_sign;
using vorlan::fuzz::same_value;
using vorlan::fuzz::uniform_nan_if_any;

const double kPresetA = from_bits(0x7ff8'dead'beef'0001ULL);
const double kPresetB = from_bits(0xfff4'5a5a'a5a5'0002ULL);

void check_point(double x, double y) {
  double u = kPresetA;
  double v = kPresetA;
  vorlan::W_RATIONAL(x, y, u, v);
  double u2 = kPresetB;
  double v2 = kPresetB;
  vorlan::W_RATIONAL(x, y, u2, v2);
  if (bits(u) != bits(u2) || bits(v) != bits(v2)) fail("an output left unwritten", x, y, u, u2);

  if (std::isfinite(x) && std::isfinite(y) && y >= 0.0 && std::hypot(x, y) < 1e43 &&
      !(std::isfinite(u) && std::isfinite(v))) {
    fail("no finite value in the upper half-plane", x, y, u, v);
  }
  if (y >= 0.0 && !std::isnan(x)) {
    double um = 0.0;
    double vm = 0.0;
    vorlan::W_RATIONAL(-x, y, um, vm);
    if (!same_up_to_zero_sign(um, u) || !same_up_to_zero_sign(vm, -v)) {
      fail("formula not mirror-symmetric", x, y, um, vm);
    }
  }

#ifdef VORLAN_HAVE_X87
  const vorlan::RationalTerms terms = vorlan::W_RATIONAL_TERMS(x, y);
  double ux = 0.0;
  double vx = 0.0;
  {
    vorlan::X87DoublePrecision guard;
    vorlan::W_RATIONAL_QUOTIENT_X87(terms, ux, vx);
  }
  if (!same_value(ux, u) || !same_value(vx, v)) {
    fail("x87 quotient differs from the emulated one", x, y, ux, vx);
  }
#endif

  double ue = kPresetA;
  double ve = kPresetA;
  vorlan::W_RATIONAL_ELEMENT(x, y, ue, ve);
  double ue2 = kPresetB;
  double ve2 = kPresetB;
  vorlan::W_RATIONAL_ELEMENT(x, y, ue2, ve2);
  if (bits(ue) != bits(ue2) || bits(ve) != bits(ve2)) {
    fail("element output unwritten", x, y, ue, ue2);
  }
  if (!(y < 0.0) && (!same_value(ue, u) || !same_value(ve, v))) {
    fail("element routine differs from the formula above the real axis", x, y, ue, ve);
  }
  if (!uniform_nan_if_any(ue, x, y) || !uniform_nan_if_any(ve, x, y)) {
    fail("element routine gives a NaN other than the uniform one", x, y, ue, ve);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kMaxPoints = 64;
  const std::size_t points = size < 16 ? 1 : (size / 16 < kMaxPoints ? size / 16 : kMaxPoints);
  double xr[kMaxPoints];
  double xi[kMaxPoints];
  for (std::size_t k = 0; k < points; ++k) {
    xr[k] = vorlan::fuzz::double_at(data, size, 2 * k);
    xi[k] = vorlan::fuzz::double_at(data, size, 2 * k + 1);
    check_point(xr[k], xi[k]);
  }
  vorlan::fuzz::check_block_widths(vorlan::W_RATIONAL_BLOCK_PLANNED, vorlan::W_RATIONAL_ELEMENT, xr,
                                   xi, static_cast<std::int64_t>(points), "W_RATIONAL_BLOCK");
  return 0;
}
