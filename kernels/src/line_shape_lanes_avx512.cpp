// The line shapes' lane code for AVX-512F (8 doubles), run where the processor has it.
#include "blocks/block_pieces.hpp"

#ifdef VORLAN_BLOCKS_AVX512
#define VORLAN_BLOCK_LANES 8
#define VORLAN_LANE_TARGET "avx512f"
#define VORLAN_LANE_ENTRY(name) name##_avx512
#include "line_shape_lanes.hpp"
#endif
