// Closes the region lane_target_begin.hpp opened.
#ifdef VORLAN_LANE_TARGET
#if defined(__clang__)
VORLAN_PRAGMA(clang attribute pop)
#else
VORLAN_PRAGMA(GCC pop_options)
#endif
#endif
