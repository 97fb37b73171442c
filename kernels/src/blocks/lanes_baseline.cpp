// The lane code for the baseline vector unit, which every processor of the
// architecture has: SSE2 on x86-64, Advanced SIMD on 64-bit ARM, plain
// standard C++ where the compiler has no generic vectors.  2 doubles a vector.
#define VORLAN_BLOCK_LANES 2
#define VORLAN_LANE_ENTRY(name) name##_baseline
#include "block_lanes.hpp"
