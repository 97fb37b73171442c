// Time per element of the w(z) kernels on point sets that each exercise one
// part of the work: the power series, the Taylor ring, the continued
// fraction, the lower half-plane (exp/sin/cos of the reflection), and the
// mixed sets the plug-in benchmark uses.  Each block evaluator runs at every
// vector width the processor has, on one thread, and once with its automatic
// thread count; "scalar" is the plain element-by-element loop.  The line
// shapes: the Voigt profile alone and with its three derivatives on a line's
// core and on a spectrum around it, Z with Z', and the Hartmann-Tran profile
// with and without its eight derivatives on a line grid (one line's eight
// parameters read in place for every point) and with every argument per
// point, on one thread and on the automatic count.
//
//   bench_kernels [--benchmark_filter=Regions/taylor]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "vorlan/htp.hpp"
#include "vorlan/line_shapes.hpp"
#include "vorlan/w_blocks.hpp"
#include "vorlan/w_complete.hpp"

namespace {

using vorlan::BlockPlan;
using vorlan::BlockWidth;

constexpr double kScaleX = 6.300000190734863;
constexpr double kScaleY = 4.400000095367432;
// pi rounded to double (M_PI is POSIX, not standard C++).
constexpr double kPi = 3.141592653589793;

struct PointSet {
  std::string name;
  std::vector<double> x, y;
};

// n points with q = (x/6.3)^2 + (y/4.4)^2 in [q_low, q_high), upper half-plane
// unless `lower`.
PointSet ring(const std::string& name, double q_low, double q_high, bool lower, std::size_t n) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> angle(0.0, kPi);
  std::uniform_real_distribution<double> q(q_low, q_high);
  PointSet s{name, {}, {}};
  for (std::size_t k = 0; k < n; ++k) {
    const double r = std::sqrt(q(rng));
    const double t = angle(rng);
    s.x.push_back(r * std::cos(t) * kScaleX);
    s.y.push_back((lower ? -1.0 : 1.0) * r * std::sin(t) * kScaleY);
  }
  return s;
}

PointSet box(const std::string& name, double x_half, double y_low, double y_high, std::size_t n) {
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> ux(-x_half, x_half);
  std::uniform_real_distribution<double> uy(y_low, y_high);
  PointSet s{name, {}, {}};
  for (std::size_t k = 0; k < n; ++k) {
    s.x.push_back(ux(rng));
    s.y.push_back(uy(rng));
  }
  return s;
}

// Blocks of this many points stay in the caches: the figures are the
// kernels' own, not the memory's.
constexpr std::size_t kBlock = 8192;

std::vector<PointSet> point_sets() {
  return {
      ring("series", 0.0, 0.085264, false, kBlock),
      ring("taylor", 0.085264, 1.0, false, kBlock),
      ring("fraction", 1.0, 4.0, false, kBlock),
      ring("lower_taylor", 0.085264, 1.0, true, kBlock),
      box("upper_box", 10.0, 0.0, 5.0, kBlock),
      box("both_box", 5.0, -5.0, 5.0, kBlock),
  };
}

enum class Kernel { kRegions, kRational };

void run_block(benchmark::State& state, Kernel kernel, const PointSet* set, BlockPlan plan) {
  const std::size_t n = set->x.size();
  std::vector<double> ur(n), ui(n);
  for (auto _ : state) {
    if (kernel == Kernel::kRegions) {
      vorlan::W_REGIONS_BLOCK_PLANNED(plan, set->x.data(), set->y.data(), ur.data(), ui.data(), n);
    } else {
      vorlan::W_RATIONAL_BLOCK_PLANNED(plan, set->x.data(), set->y.data(), ur.data(), ui.data(), n);
    }
    benchmark::DoNotOptimize(ur.data());
    benchmark::DoNotOptimize(ui.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

const char* width_name(BlockWidth w) {
  switch (w) {
    case BlockWidth::kScalar: return "scalar";
    case BlockWidth::kBaseline: return "baseline";
    case BlockWidth::kAvx2: return "avx2";
    case BlockWidth::kAvx512: return "avx512";
  }
  return "?";
}

void register_all() {
  static const std::vector<PointSet> sets = point_sets();
  for (Kernel kernel : {Kernel::kRegions, Kernel::kRational}) {
    const std::string kernel_name = kernel == Kernel::kRegions ? "Regions" : "Rational";
    for (const PointSet& set : sets) {
      for (BlockWidth w :
           {BlockWidth::kScalar, BlockWidth::kBaseline, BlockWidth::kAvx2, BlockWidth::kAvx512}) {
        if (!vorlan::BLOCK_WIDTH_AVAILABLE(w)) continue;
        benchmark::RegisterBenchmark((kernel_name + "/" + set.name + "/" + width_name(w)).c_str(),
                                     run_block, kernel, &set, BlockPlan{w, 1});
      }
      benchmark::RegisterBenchmark((kernel_name + "/" + set.name + "/widest_all_cores").c_str(),
                                   run_block, kernel, &set,
                                   BlockPlan{vorlan::BLOCK_WIDTH_WIDEST(), 0});
    }
  }
}

// A Voigt line: sigma 1, gamma 0.3, x over +-x_half.
struct VoigtSet {
  std::string name;
  std::vector<double> x, sigma, gamma;
};

VoigtSet voigt_set(const std::string& name, double x_half, std::size_t n) {
  const PointSet points = box(name, x_half, 0.0, 1.0, n);
  return {name, points.x, std::vector<double>(n, 1.0), std::vector<double>(n, 0.3)};
}

void run_voigt(benchmark::State& state, const VoigtSet* set, bool derivatives, int threads) {
  const std::size_t n = set->x.size();
  std::vector<double> v(n), dx(n), ds(n), dg(n);
  const vorlan::VoigtOutputs out{v.data(), derivatives ? dx.data() : nullptr,
                                 derivatives ? ds.data() : nullptr,
                                 derivatives ? dg.data() : nullptr};
  for (auto _ : state) {
    vorlan::VOIGT_BLOCK_PLANNED({vorlan::BLOCK_WIDTH_WIDEST(), threads}, set->x.data(),
                                set->sigma.data(), set->gamma.data(), out,
                                static_cast<std::int64_t>(n));
    benchmark::DoNotOptimize(v.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void run_plasma(benchmark::State& state, const PointSet* set, int threads) {
  const std::size_t n = set->x.size();
  std::vector<double> zr(n), zi(n), dr(n), di(n);
  for (auto _ : state) {
    vorlan::PLASMA_Z_BLOCK_PLANNED({vorlan::BLOCK_WIDTH_WIDEST(), threads}, set->x.data(),
                                   set->y.data(), {zr.data(), zi.data(), dr.data(), di.data()},
                                   static_cast<std::int64_t>(n));
    benchmark::DoNotOptimize(zr.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void register_line_shapes() {
  static const std::vector<VoigtSet> lines = {voigt_set("core", 5.0, kBlock),
                                              voigt_set("spectrum", 50.0, kBlock)};
  static const std::vector<PointSet> zetas = {box("upper_box", 10.0, 0.0, 5.0, kBlock),
                                              box("both_box", 5.0, -5.0, 5.0, kBlock)};
  for (int threads : {1, 0}) {
    const std::string suffix = threads == 1 ? "/one_thread" : "/all_cores";
    for (const VoigtSet& set : lines) {
      benchmark::RegisterBenchmark(("Voigt/" + set.name + "/value" + suffix).c_str(), run_voigt,
                                   &set, false, threads);
      benchmark::RegisterBenchmark(("Voigt/" + set.name + "/all_four" + suffix).c_str(), run_voigt,
                                   &set, true, threads);
    }
    for (const PointSet& set : zetas) {
      benchmark::RegisterBenchmark(("PlasmaZ/" + set.name + "/with_derivative" + suffix).c_str(),
                                   run_plasma, &set, threads);
    }
  }
}

// Hartmann-Tran arguments: nu over +-50 Doppler widths around the line, the
// line's parameters either one value for every point (step 0) or one per point;
// or a pressure-broadened line (Gamma0 = 100 GammaD, as in the atmosphere) over
// +-50 of its widths in order, whose two points are close.
struct HtpSet {
  std::string name;
  std::vector<double> arguments[vorlan::kHtpArguments];
  std::int64_t step, n;
};

enum class HtpLineKind { kGrid, kPerPoint, kBroadGrid };

HtpSet htp_set(const std::string& name, HtpLineKind kind, std::size_t n) {
  // nu0, GammaD, Gamma0, Gamma2, Delta0, Delta2, nuVC, eta: the line of the
  // grid, the half range of the per-point values around it, and the broad line.
  static const double kLine[vorlan::kHtpDerivatives] = {0.0, 1.0, 1.0, 0.1, 0.2, 0.02, 0.3, 0.2};
  static const double kSpread[vorlan::kHtpDerivatives] = {0.5, 0.5, 1.0, 0.08, 0.2, 0.02, 0.3, 0.2};
  static const double kBroad[vorlan::kHtpDerivatives] = {0.0,  1.0, 100.0, 10.0,
                                                         20.0, 2.0, 30.0,  0.2};
  const bool per_point = kind == HtpLineKind::kPerPoint;
  const bool broad = kind == HtpLineKind::kBroadGrid;
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  HtpSet s{name, {}, per_point ? 1 : 0, static_cast<std::int64_t>(n)};
  const double reach = 50.0 * (broad ? kBroad[1] + kBroad[2] : 1.0);
  std::vector<double>& nu = s.arguments[vorlan::kHtpNu];
  for (std::size_t k = 0; k < n; ++k) nu.push_back(reach * unit(rng));
  // the broad line in order, as a spectrum is: its points' forms (Taylor's
  // series near the centre, the fraction in the wings) come in runs
  if (broad) std::sort(nu.begin(), nu.end());
  for (int j = 0; j < vorlan::kHtpDerivatives; ++j) {
    std::vector<double>& a = s.arguments[j + 1];
    if (!per_point) a.push_back(broad ? kBroad[j] : kLine[j]);
    for (std::size_t k = 0; per_point && k < n; ++k) a.push_back(kLine[j] + kSpread[j] * unit(rng));
  }
  return s;
}

void run_htp(benchmark::State& state, const HtpSet* set, bool derivatives, int threads) {
  const std::size_t n = static_cast<std::size_t>(set->n);
  vorlan::HtpInputs in{};
  for (int j = 0; j < vorlan::kHtpArguments; ++j) {
    in.data[j] = set->arguments[j].data();
    in.step[j] = j == vorlan::kHtpNu ? 1 : set->step;
  }
  // Value and derivatives as the plug-in writes them: interleaved complex arrays.
  std::vector<double> parts(2 * n * (derivatives ? 1 + vorlan::kHtpDerivatives : 1));
  vorlan::HtpOutputs out{};
  out.value = {parts.data(), parts.data() + 1, 2};
  for (int j = 0; derivatives && j < vorlan::kHtpDerivatives; ++j) {
    double* d = parts.data() + 2 * n * static_cast<std::size_t>(j + 1);
    out.derivative[j] = {d, d + 1, 2};
  }
  for (auto _ : state) {
    vorlan::HTP_BLOCK_PLANNED({vorlan::BLOCK_WIDTH_WIDEST(), threads}, in, out, set->n);
    benchmark::DoNotOptimize(parts.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void register_htp() {
  static const std::vector<HtpSet> sets = {htp_set("line_grid", HtpLineKind::kGrid, kBlock),
                                           htp_set("per_point", HtpLineKind::kPerPoint, kBlock),
                                           htp_set("broad_line", HtpLineKind::kBroadGrid, kBlock)};
  for (int threads : {1, 0}) {
    const std::string suffix = threads == 1 ? "/one_thread" : "/all_cores";
    for (const HtpSet& set : sets) {
      benchmark::RegisterBenchmark(("HTP/" + set.name + "/value" + suffix).c_str(), run_htp, &set,
                                   false, threads);
      benchmark::RegisterBenchmark(("HTP/" + set.name + "/with_derivatives" + suffix).c_str(),
                                   run_htp, &set, true, threads);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  register_line_shapes();
  register_htp();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
