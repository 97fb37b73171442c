// The lane code for AVX2, 4 doubles a vector; run only where the processor has it.
#include "block_pieces.hpp"

#ifdef VORLAN_BLOCKS_AVX2
#define VORLAN_BLOCK_LANES 4
#define VORLAN_LANE_TARGET "avx2"
#define VORLAN_LANE_ENTRY(name) name##_avx2
#include "block_lanes.hpp"
#endif
