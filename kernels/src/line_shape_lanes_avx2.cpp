// The line shapes' lane code for AVX2 (4 doubles), run where the processor has it.
#include "blocks/block_pieces.hpp"

#ifdef VORLAN_BLOCKS_AVX2
#define VORLAN_BLOCK_LANES 4
#define VORLAN_LANE_TARGET "avx2"
#define VORLAN_LANE_ENTRY(name) name##_avx2
#include "line_shape_lanes.hpp"
#endif
