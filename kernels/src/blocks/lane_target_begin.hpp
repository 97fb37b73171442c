// Opens a lane translation unit's region for one vector unit, up to
// lane_target_end.hpp: VORLAN_LANE_TARGET (optional), a target string, is
// applied by pragma to its functions alone, so that the baseline flags build
// every width in one compiler invocation, as the hosts' mex commands do.
// Everything in the region has internal linkage and every other header comes
// before it: the linker must never pick a wider unit's copy for a narrower
// one.  No include guard: one region per translation unit.
#if !defined(VORLAN_BLOCK_LANES) || !defined(VORLAN_LANE_ENTRY)
#error "VORLAN_BLOCK_LANES and VORLAN_LANE_ENTRY must be defined by the including translation unit"
#endif

// The vector units' own square roots (lane_vector.hpp).
#if !defined(VORLAN_PORTABLE_LANES) && (defined(__GNUC__) || defined(__clang__))
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#elif defined(__aarch64__)
#include <arm_neon.h>
#endif
#endif

#ifdef VORLAN_LANE_TARGET
// The target string is expanded first, then the whole pragma is stringised.
#ifndef VORLAN_PRAGMA
#define VORLAN_PRAGMA_TEXT(text) _Pragma(#text)
#define VORLAN_PRAGMA(text) VORLAN_PRAGMA_TEXT(text)
#endif
#if defined(__clang__)
VORLAN_PRAGMA(clang attribute push(__attribute__((target(VORLAN_LANE_TARGET))),
                                   apply_to = function))
#else
VORLAN_PRAGMA(GCC push_options)
VORLAN_PRAGMA(GCC target(VORLAN_LANE_TARGET))
#endif
#endif
