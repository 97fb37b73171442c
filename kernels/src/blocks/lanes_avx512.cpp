// The lane code for AVX-512F, 8 doubles a vector; run only where the processor has it.
#include "block_pieces.hpp"

#ifdef VORLAN_BLOCKS_AVX512
#define VORLAN_BLOCK_LANES 8
#define VORLAN_LANE_TARGET "avx512f"
#define VORLAN_LANE_ENTRY(name) name##_avx512
#include "block_lanes.hpp"
#endif
