// The lane code for the unit every processor of the architecture has (SSE2,
// Advanced SIMD, or plain C++ lanes): 2 doubles a vector.
#define VORLAN_BLOCK_LANES 2
#define VORLAN_LANE_ENTRY(name) name##_baseline
#include "block_lanes.hpp"
