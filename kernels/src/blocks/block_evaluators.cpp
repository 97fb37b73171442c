// W_REGIONS_BLOCK and W_RATIONAL_BLOCK: the widest vector unit's lane code,
// over as many threads as pay for themselves and the machine lets this
// process use (worker_count.hpp); and the full kernel's terms piece for the
// line shapes.  Each result depends on its own element alone, so any split
// gives the same bits; workers run under the caller's floating-point
// environment so that they round as it would.
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

template <void (*kElement)(double, double, double&, double&)>
void scalar_piece(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  for (std::int64_t k = 0; k < n; ++k) {
    kElement(xr[k], xi[k], ur[k], ui[k]);
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
    case BlockWidth::kScalar:
      return {scalar_piece<W_REGIONS_ELEMENT>, scalar_piece<W_RATIONAL_ELEMENT>, full_terms_scalar};
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
  if (caller != nullptr && caller->have_env) std::fesetenv(&caller->env);
  if (caller != nullptr && caller->rounding >= 0) std::fesetround(caller->rounding);
  task(context, begin, end);
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

// The plan's piece for a kind of point, over its threads.
void run_piece(Piece WidthCode::*kind, std::int64_t per_thread, const BlockPlan& plan,
               const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  if (n <= 0) return;
  const PieceArrays arrays{code_for(blocks::usable_width(plan.width)).*kind, xr, xi, ur, ui};
  blocks::run_ranges(piece_range, &arrays, blocks::threads_for_block(n, per_thread, plan.threads),
                     n);
}

}  // namespace

namespace blocks {

// The calling thread takes the last share, and any whose thread cannot start.
void run_ranges(RangeTask task, const void* context, int threads, std::int64_t n) {
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
      count_worker_started();
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

int threads_for_block(std::int64_t n, std::int64_t per_thread, int requested) {
  if (requested > 0) {
    return static_cast<int>(std::max<std::int64_t>(1, std::min<std::int64_t>(requested, n)));
  }
  const std::int64_t shares = n / per_thread;
  if (shares < 2) {
    return 1;
  }
  // Asked afresh at each large call: the session may have changed it.
  return static_cast<int>(std::min(worker_limit(), shares));
}

BlockWidth usable_width(BlockWidth width) {
  return BLOCK_WIDTH_AVAILABLE(width) ? width : BLOCK_WIDTH_WIDEST();
}

FullTermsPiece full_terms_piece(BlockWidth width) {
  return code_for(usable_width(width)).full_terms;
}

}  // namespace blocks

bool BLOCK_WIDTH_AVAILABLE(BlockWidth width) {
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

BlockWidth BLOCK_WIDTH_WIDEST() {
  static const BlockWidth widest = [] {
    for (BlockWidth w : {BlockWidth::kAvx512, BlockWidth::kAvx2}) {
      if (BLOCK_WIDTH_AVAILABLE(w)) return w;
    }
    return BlockWidth::kBaseline;
  }();
  return widest;
}

void W_REGIONS_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                             double* ui, std::int64_t n) {
  run_piece(&WidthCode::regions, kRegionsPerThread, plan, xr, xi, ur, ui, n);
}

void W_RATIONAL_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                              double* ui, std::int64_t n) {
  run_piece(&WidthCode::rational, kRationalPerThread, plan, xr, xi, ur, ui, n);
}

void W_REGIONS_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  W_REGIONS_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, xr, xi, ur, ui, n);
}

void W_RATIONAL_BLOCK(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  W_RATIONAL_BLOCK_PLANNED({BLOCK_WIDTH_WIDEST(), 0}, xr, xi, ur, ui, n);
}

}  // namespace vorlan
