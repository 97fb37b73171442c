// Opens the region of a lane translation unit compiled for one vector unit:
// VORLAN_LANE_TARGET (optional), an instruction set as a target string, is
// applied by pragma to the functions up to lane_target_end.hpp alone, so one
// compiler invocation with the baseline flags builds every width, as the
// hosts' mex commands build a plug-in.
//
// Every header with code the region does not own is included before it: an
// out-of-line copy compiled for a wider unit must never be picked by the
// linker for a narrower one.  No include guard: each lane translation unit
// opens and closes one region.
#if !defined(VORLAN_BLOCK_LANES) || !defined(VORLAN_LANE_ENTRY)
#error "VORLAN_BLOCK_LANES and VORLAN_LANE_ENTRY must be defined by the including translation unit"
#endif

// The vector units' own square roots (see lane_vector.hpp), declared before
// the target pragma like every other header.
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
