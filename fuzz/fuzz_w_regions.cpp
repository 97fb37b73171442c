// W_REGIONS and the region-based element and block routines over arbitrary
// bit patterns of x and y.  The input is read as up to 64 points (x, y),
// 16 bytes each.  Properties checked at every point:
//  - the flag is 0 or -1, and -1 only beyond ARG_LIMIT or below the real axis;
//  - with flag 0, and with flag -1 below the real axis, both outputs are
//    written: two calls with different preset values give the same bits;
//    beyond ARG_LIMIT neither output is touched;
//  - every finite point of the closed upper half-plane within ARG_LIMIT gives
//    flag 0 and a finite value, and the element routine gives a finite value
//    there at any magnitude;
//  - mirror symmetry w(-x + iy) = conj w(x + iy): the same real part and the
//    opposite imaginary part, bit for bit up to the sign of a zero;
//  - the block routine at every vector width gives the element routine's bits.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_checks.hpp"
#include "vorlan/w_blocks.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_regions.hpp"

namespace {

using vorlan::ARG_LIMIT;
using vorlan::fuzz::bits;
using vorlan::fuzz::fail;
using vorlan::fuzz::from_bits;
using vorlan::fuzz::same_up_to_zero_sign;
using vorlan::fuzz::uniform_nan_if_any;

// Quiet NaNs with payloads no computation produces from ordinary input.
const double kPresetA = from_bits(0x7ff8'dead'beef'0001ULL);
const double kPresetB = from_bits(0xfff4'5a5a'a5a5'0002ULL);

struct KernelResult {
  double u, v;
  std::int32_t flag;
};

KernelResult run_kernel(double x, double y, double preset) {
  KernelResult r{preset, preset, 12345};
  vorlan::W_REGIONS(x, y, r.u, r.v, r.flag);
  return r;
}

void check_kernel(double x, double y) {
  const KernelResult a = run_kernel(x, y, kPresetA);
  const KernelResult b = run_kernel(x, y, kPresetB);
  if (a.flag != 0 && a.flag != -1) fail("flag is neither 0 nor -1", x, y, a.u, a.v);
  if (a.flag != b.flag) fail("flag depends on the preset outputs", x, y, a.u, b.u);

  const bool beyond = std::fabs(x) > ARG_LIMIT || std::fabs(y) > ARG_LIMIT;
  if (beyond) {
    if (a.flag != -1) fail("flag 0 beyond ARG_LIMIT", x, y, a.u, a.v);
    if (bits(a.u) != bits(kPresetA) || bits(a.v) != bits(kPresetA)) {
      fail("outputs written beyond ARG_LIMIT", x, y, a.u, a.v);
    }
    return;
  }
  if (a.flag == -1 && !(y < 0.0)) fail("flag -1 in the upper half-plane", x, y, a.u, a.v);
  if (bits(a.u) != bits(b.u) || bits(a.v) != bits(b.v)) {
    fail("an output left unwritten", x, y, a.u, b.u);
  }

  const bool finite_upper = std::isfinite(x) && std::isfinite(y) && y >= 0.0;
  if (finite_upper && (a.flag != 0 || !std::isfinite(a.u) || !std::isfinite(a.v))) {
    fail("no finite value in the upper half-plane", x, y, a.u, a.v);
  }
  if (y >= 0.0 && !std::isnan(x)) {
    const KernelResult m = run_kernel(-x, y, kPresetA);
    if (m.flag != a.flag || !same_up_to_zero_sign(m.u, a.u) || !same_up_to_zero_sign(m.v, -a.v)) {
      fail("kernel not mirror-symmetric", x, y, m.u, m.v);
    }
  }
}

void check_element(double x, double y) {
  double u = kPresetA;
  double v = kPresetA;
  vorlan::W_REGIONS_ELEMENT(x, y, u, v);
  double u2 = kPresetB;
  double v2 = kPresetB;
  vorlan::W_REGIONS_ELEMENT(x, y, u2, v2);
  if (bits(u) != bits(u2) || bits(v) != bits(v2)) fail("element output unwritten", x, y, u, u2);
  if (!uniform_nan_if_any(u, x, y) || !uniform_nan_if_any(v, x, y)) {
    fail("element routine gives a NaN other than the uniform one", x, y, u, v);
  }
  if (std::isfinite(x) && std::isfinite(y) && y >= 0.0 && !(std::isfinite(u) && std::isfinite(v))) {
    fail("element value not finite in the upper half-plane", x, y, u, v);
  }
  if (y >= 0.0 && !std::isnan(x)) {
    double um = 0.0;
    double vm = 0.0;
    vorlan::W_REGIONS_ELEMENT(-x, y, um, vm);
    if (!same_up_to_zero_sign(um, u) || !same_up_to_zero_sign(vm, -v)) {
      fail("element routine not mirror-symmetric", x, y, um, vm);
    }
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
    check_kernel(xr[k], xi[k]);
    check_element(xr[k], xi[k]);
  }
  vorlan::fuzz::check_block_widths(vorlan::W_REGIONS_BLOCK_PLANNED, vorlan::W_REGIONS_ELEMENT, xr,
                                   xi, static_cast<std::int64_t>(points), "W_REGIONS_BLOCK");
  return 0;
}
