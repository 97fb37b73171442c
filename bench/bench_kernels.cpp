// Time per element of the w(z) kernels on point sets that each exercise one
// part of the work: the power series, the Taylor ring, the continued
// fraction, the lower half-plane (exp/sin/cos of the reflection), and the
// mixed sets the plug-in benchmark uses.  Each block evaluator runs at every
// vector width the processor has, on one thread, and once with its automatic
// thread count; "scalar" is the plain element-by-element loop.
//
//   bench_kernels [--benchmark_filter=Regions/taylor]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
