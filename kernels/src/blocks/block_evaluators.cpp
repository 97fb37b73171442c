// W_REGIONS_BLOCK and W_RATIONAL_BLOCK: the lane code of the widest vector
// unit the processor has, over as many threads as pay for themselves and as
// the machine lets this process use (worker_count.hpp); and the choice of the
// full-precision w's terms piece, for the line shapes.
//
// Each result depends on its own element alone, so any split of the block
// gives the same bits; the workers run under the calling thread's
// floating-point environment so that they round exactly as it would.
#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <thread>
#include <vector>

#include "block_pieces.hpp"
#include "vorlan/w_blocks.hpp"
#include "vorlan/w_complete.hpp"
#include "worker_count.hpp"

namespace vorlan {
namespace {

using blocks::Piece;

// Below these counts per thread, starting a thread costs more than it saves:
// a region-kernel element takes some tens of nanoseconds in lanes, a rational
// one about two, and a thread start, measured on a virtual machine where a
// page fault costs microseconds, 100 to 150 microseconds.
constexpr std::int64_t kRegionsPerThread = 16384;
constexpr std::int64_t kRationalPerThread = 131072;
// Thread shares are whole multiples of this many elements, so that no two
// threads write into the same cache line.
constexpr std::int64_t kShareGrain = 16;

void regions_scalar(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  for (std::int64_t k = 0; k < n; ++k) {
    W_REGIONS_ELEMENT(xr[k], xi[k], ur[k], ui[k]);
  }
}

void rational_scalar(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  for (std::int64_t k = 0; k < n; ++k) {
    W_RATIONAL_ELEMENT(xr[k], xi[k], ur[k], ui[k]);
  }
}

bool processor_runs(BlockWidth width) {
  switch (width) {
    case BlockWidth::kScalar:
    case BlockWidth::kBaseline: return true;
#ifdef VORLAN_BLOCKS_AVX2
    case BlockWidth::kAvx2: return __builtin_cpu_supports("avx2");
#endif
#ifdef VORLAN_BLOCKS_AVX512
    case BlockWidth::kAvx512: return __builtin_cpu_supports("avx512f");
#endif
    default: return false;
  }
}

void full_terms_scalar(const double* x, const double* y, int n, bool with_zw,
                       detail::FullTerms* terms) {
  for (int k = 0; k < n; ++k) detail::w_full_quadrant(x[k], y[k], with_zw, terms[k]);
}

struct WidthCode {
  Piece regions;
  Piece rational;
  blocks::FullTermsPiece full_terms;
};

WidthCode code_for(BlockWidth width) {
  switch (width) {
    case BlockWidth::kScalar: return {regions_scalar, rational_scalar, full_terms_scalar};
#ifdef VORLAN_BLOCKS_AVX2
    case BlockWidth::kAvx2:
      return {blocks::regions_avx2, blocks::rational_avx2, blocks::full_terms_avx2};
#endif
#ifdef VORLAN_BLOCKS_AVX512
    case BlockWidth::kAvx512:
      return {blocks::regions_avx512, blocks::rational_avx512, blocks::full_terms_avx512};
#endif
    default:
      return {blocks::regions_baseline, blocks::rational_baseline, blocks::full_terms_baseline};
  }
}

BlockWidth widest_width() {
  static const BlockWidth widest = [] {
    for (BlockWidth w : {BlockWidth::kAvx512, BlockWidth::kAvx2}) {
      if (BLOCK_WIDTH_AVAILABLE(w)) return w;
    }
    return BlockWidth::kBaseline;
  }();
  return widest;
}

int threads_for(std::int64_t n, std::int64_t per_thread, int requested) {
  if (requested > 0) {
    return static_cast<int>(std::max<std::int64_t>(1, std::min<std::int64_t>(requested, n)));
  }
  const std::int64_t shares = n / per_thread;
  if (shares < 2) {
    return 1;
  }
  // Asked afresh at each large call: the session may have changed it.
  return static_cast<int>(std::min(blocks::worker_limit(), shares));
}

// The calling thread's floating-point environment, for its workers.  The
// rounding mode is carried on its own as well: some C runtimes (MinGW-w64's)
// restore only the x87 control word from a saved environment, not the SSE one.
struct CallerEnvironment {
  std::fenv_t env;
  bool have_env;
  int rounding;
};

void run_range(blocks::RangeTask task, const void* context, const CallerEnvironment* caller,
               std::int64_t begin, std::int64_t end) {
  if (caller != nullptr) {
    if (caller->have_env) {
      std::fesetenv(&caller->env);
    }
    if (caller->rounding >= 0) {
      std::fesetround(caller->rounding);
    }
  }
  task(context, begin, end);
}

// Splits [0, n) into `threads` shares; the calling thread takes the last one,
// and any share whose thread cannot be started.
void split_ranges(blocks::RangeTask task, const void* context, int threads, std::int64_t n) {
  if (threads <= 1) {
    task(context, 0, n);
    return;
  }
  CallerEnvironment caller{};
  caller.have_env = std::fegetenv(&caller.env) == 0;
  caller.rounding = std::fegetround();
  const std::int64_t grains = (n + kShareGrain - 1) / kShareGrain;
  auto share_begin = [&](int t) { return std::min(n, grains * t / threads * kShareGrain); };
  std::vector<std::thread> workers;
  std::vector<int> inline_shares;
  try {
    workers.reserve(static_cast<std::size_t>(threads - 1));
    inline_shares.reserve(static_cast<std::size_t>(threads));
  } catch (...) {
    task(context, 0, n);
    return;
  }
  for (int t = 0; t + 1 < threads; ++t) {
    try {
      workers.emplace_back(run_range, task, context, &caller, share_begin(t), share_begin(t + 1));
      blocks::count_worker_started();
    } catch (...) {
      inline_shares.push_back(t);  // capacity reserved: cannot throw
    }
  }
  inline_shares.push_back(threads - 1);
  for (int t : inline_shares) {
    run_range(task, context, nullptr, share_begin(t), share_begin(t + 1));
  }
  for (std::thread& w : workers) {
    w.join();
  }
}

// A lane piece over its arrays, as a range task.
struct PieceArrays {
  Piece piece;
  const double* xr;
  const double* xi;
  double* ur;
  double* ui;
};

void piece_range(const void* context, std::int64_t begin, std::int64_t end) {
  const auto& a = *static_cast<const PieceArrays*>(context);
  a.piece(a.xr + begin, a.xi + begin, a.ur + begin, a.ui + begin, end - begin);
}

void run_split(Piece piece, int threads, const double* xr, const double* xi, double* ur, double* ui,
               std::int64_t n) {
  const PieceArrays arrays{piece, xr, xi, ur, ui};
  split_ranges(piece_range, &arrays, threads, n);
}

BlockWidth usable(BlockWidth width) {
  return BLOCK_WIDTH_AVAILABLE(width) ? width : widest_width();
}

}  // namespace

namespace blocks {

void run_ranges(RangeTask task, const void* context, int threads, std::int64_t n) {
  split_ranges(task, context, threads, n);
}

int threads_for_block(std::int64_t n, std::int64_t per_thread, int requested) {
  return threads_for(n, per_thread, requested);
}

BlockWidth usable_width(BlockWidth width) { return usable(width); }

FullTermsPiece full_terms_piece(BlockWidth width) { return code_for(usable(width)).full_terms; }

}  // namespace blocks

bool BLOCK_WIDTH_AVAILABLE(BlockWidth width) {
  switch (width) {
    case BlockWidth::kScalar:
    case BlockWidth::kBaseline: return true;
    case BlockWidth::kAvx2:
    case BlockWidth::kAvx512: return processor_runs(width);
  }
  return false;
}

BlockWidth BLOCK_WIDTH_WIDEST() { return widest_width(); }

void W_REGIONS_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                             double* ui, std::int64_t n) {
  if (n <= 0) return;
  run_split(code_for(usable(plan.width)).regions, threads_for(n, kRegionsPerThread, plan.threads),
            xr, xi, ur, ui, n);
}

void W_RATIONAL_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                              double* ui, std::int64_t n) {
  if (n <= 0) return;
  run_split(code_for(usable(plan.width)).rational, threads_for(n, kRationalPerThread, plan.threads),
            xr, xi, ur, ui, n);
}

void W_REGIONS_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  W_REGIONS_BLOCK_PLANNED({widest_width(), 0}, xr, xi, ur, ui, n);
}

void W_RATIONAL_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  W_RATIONAL_BLOCK_PLANNED({widest_width(), 0}, xr, xi, ur, ui, n);
}

}  // namespace vorlan
