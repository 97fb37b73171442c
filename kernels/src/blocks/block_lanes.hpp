// The block evaluators' lane code, compiled once per vector unit.  The
// including file defines VORLAN_BLOCK_LANES (doubles per vector),
// VORLAN_LANE_ENTRY(name) (its entry points' names) and optionally
// VORLAN_LANE_TARGET (lane_target_begin.hpp).  The arithmetic is the
// one-point kernels' templates instantiated for the vector, every lane their
// operations in their order; the family files (region_, rational_,
// full_lanes.hpp) only sort, gather, run and scatter, and send points outside
// the ordinary ranges to the element routines whole.
#ifndef VORLAN_BLOCK_LANES_HPP
#define VORLAN_BLOCK_LANES_HPP

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <type_traits>

#include "../rounding.hpp"
#include "../uniform_nan.hpp"
#include "../w_constants.hpp"
#include "../w_full_terms.hpp"
#include "block_pieces.hpp"
#include "vorlan/w_complete.hpp"
#include "vorlan/w_rational.hpp"
#include "vorlan/w_regions.hpp"

// Compiled for this unit, up to lane_target_end.hpp.
#include "lane_target_begin.hpp"
// The kernels' steps.
#include "../exact_arithmetic.hpp"
#include "../integer_power.hpp"
#include "../lane_elementary.hpp"
#include "../w_full_steps.hpp"
#include "../w_rational_steps.hpp"
#include "../w_regions_steps.hpp"
#include "lane_ops.hpp"
#include "lane_vector.hpp"

// A batch's loop as a function of its own: inlined into the chunk's code,
// its vectors lose registers to the rest and spill.
#if defined(__GNUC__) || defined(__clang__)
#define VORLAN_BATCH_LOOP __attribute__((noinline))
#elif defined(_MSC_VER)
#define VORLAN_BATCH_LOOP __declspec(noinline)
#else
#define VORLAN_BATCH_LOOP
#endif

// The kernel families' lanes.
#include "full_lanes.hpp"
#include "rational_lanes.hpp"
#include "region_lanes.hpp"

// The end of the unit's code.
#include "lane_target_end.hpp"

// The entry points, compiled for the baseline unit (block_evaluators.cpp
// checks the processor before calling them).
namespace vorlan::blocks {

void VORLAN_LANE_ENTRY(regions)(const double* xr, const double* xi, double* ur, double* ui,
                                std::int64_t n) {
  regions_lanes(xr, xi, ur, ui, n);
}

void VORLAN_LANE_ENTRY(rational)(const double* xr, const double* xi, double* ur, double* ui,
                                 std::int64_t n) {
  rational_lanes(xr, xi, ur, ui, n);
}

void VORLAN_LANE_ENTRY(full_terms)(const double* x, const double* y, int n, bool with_zw,
                                   detail::FullTerms* terms) {
  full_terms_lanes(x, y, n, with_zw, terms);
}

}  // namespace vorlan::blocks

#endif
