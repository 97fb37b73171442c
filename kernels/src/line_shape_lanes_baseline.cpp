// The line shapes' lane code for the baseline vector unit (2 doubles).
#define VORLAN_BLOCK_LANES 2
#define VORLAN_LANE_ENTRY(name) name##_baseline
#include "line_shape_lanes.hpp"
