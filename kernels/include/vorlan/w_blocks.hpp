// How W_REGIONS_BLOCK and W_RATIONAL_BLOCK spread their work: over the
// widest vector unit's lanes, and over cores for large blocks.  Every choice
// gives the element routines' bits; they are exposed for tests and benchmarks.
#ifndef VORLAN_W_BLOCKS_HPP
#define VORLAN_W_BLOCKS_HPP

#include <cstdint>

namespace vorlan {

// The vector unit, by its width in doubles.  kScalar is the plain element
// loop; kBaseline the unit every processor of the architecture has (SSE2,
// Advanced SIMD, or plain C++ lanes without the compiler's vector extensions).
enum class BlockWidth : int { kScalar = 1, kBaseline = 2, kAvx2 = 4, kAvx512 = 8 };

// Whether this build has the code for a width and the processor can run it.
bool BLOCK_WIDTH_AVAILABLE(BlockWidth width);
// The widest available width: what the block evaluators use.
BlockWidth BLOCK_WIDTH_WIDEST();

// A pinned way of evaluating a block.  threads = 0 lets the evaluator choose;
// otherwise exactly that many threads share the block, the caller among them.
// An unavailable width falls back to the widest available one.
struct BlockPlan {
  BlockWidth width;
  int threads;
};

void W_REGIONS_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                             double* ui, std::int64_t n);
void W_RATIONAL_BLOCK_PLANNED(const BlockPlan& plan, const double* xr, const double* xi, double* ur,
                              double* ui, std::int64_t n);

}  // namespace vorlan

#endif
