// The region kernel in lanes, a chunk of consecutive points at a time: the
// plan kLanes points at once; the points sorted by region and pass count, so
// that each batch of a few vectors runs nearly the same number of passes; the
// recurrences on the batch, each lane to its own count; the closing steps per
// point.  All of it the one-point kernel's templates (w_regions_steps.hpp).
#ifndef VORLAN_REGION_LANES_HPP
#define VORLAN_REGION_LANES_HPP

namespace vorlan::blocks {
namespace {

// Largest pass counts the lane loops take; the kernel's stay far below them
// (fraction <= 17, Taylor <= 42, series <= 27).  Anything else goes to the
// element routine.
constexpr int kMaxPasses = 47;
constexpr int kMaxTerms = 31;
// Points set up and sorted together.
constexpr int kChunk = 512;

// The kernel's counts for 0 <= t < 1000 (-1 otherwise), without a library
// call: t - trunc(t) is exact there, and round() rounds halves away from zero.
inline std::int32_t truncated_count(double t) {
  return t >= 0.0 && t < 1000.0 ? static_cast<std::int32_t>(t) : -1;
}

inline std::int32_t nearest_count(double t) {
  std::int32_t c = truncated_count(t);
  if (c >= 0 && t - static_cast<double>(c) >= 0.5) ++c;
  return c;
}

enum RegionKind : std::uint8_t { kSeries = 0, kFraction = 1, kTaylor = 2, kDone = 3 };
// Sort key: kind * kKindStride + pass count.
constexpr int kKindStride = 64;

// A chunk's points after the set-up: z^2 = a + ib at the first-quadrant
// point; series points' term count in passes, 1/(2 terms + 1) in lambda; the
// others' h, h2^kappa in lambda, nu in passes and kappa (-1 where h = 0).
struct RegionChunk {
  alignas(64) double x[kChunk + kLanes];
  alignas(64) double y[kChunk + kLanes];
  alignas(64) double a[kChunk + kLanes];
  alignas(64) double b[kChunk + kLanes];
  alignas(64) double h[kChunk + kLanes];
  alignas(64) double lambda[kChunk + kLanes];
  std::int32_t passes[kChunk + kLanes];
  std::int32_t kappa[kChunk + kLanes];
  std::int16_t order[kChunk];
  std::uint8_t kind[kChunk + kLanes];
};

// The plan for points [o, o + kLanes) of the chunk; points the lane code
// does not take are evaluated whole at once (kind kDone).
inline void set_up_lanes(RegionChunk& c, int o, int count, std::int64_t first_index, double* ur,
                         double* ui) {
  auto evaluate_whole = [&](int p) {
    c.kind[p] = kDone;
    W_REGIONS_ELEMENT(c.x[p], c.y[p], ur[first_index + p], ui[first_index + p]);
  };
  const Vec ax = magnitude(load(c.x + o));
  const Vec ay = magnitude(load(c.y + o));
  const Mask in_range = (ax <= ARG_LIMIT) & (ay <= ARG_LIMIT);  // NaN fails
  Vec sy;
  const Vec q = detail::region_q(ax, ay, sy);
  const Mask series = q < detail::kSeriesBound;
  const Mask fraction = q > 1.0;
  const Vec root_q = square_root(q);
  // The ring's argument is fed 0 outside it, so that no lane takes a square
  // root of a negative number.
  const Vec ring_rest = select(series | fraction, splat(0.0), 1.0 - q);
  const Vec terms = detail::series_terms(sy, root_q);
  const Vec nu_fraction = detail::fraction_passes(root_q);
  const detail::RingPlan<Vec> ring = detail::ring_plan(sy, square_root(ring_rest));
  Vec a;
  Vec b;
  detail::z_squared(ax, ay, a, b);
  store(c.a + o, a);
  store(c.b + o, b);

  std::int32_t kappa[kLanes];
  Vec h = splat(0.0);
  Vec series_first = splat(0.0);
  for (int i = 0; i < kLanes; ++i) {
    kappa[i] = -1;
    const int p = o + i;
    if (i >= count) {
      c.kind[p] = kDone;
      continue;
    }
    if (in_range[i] == 0) {
      evaluate_whole(p);
      continue;
    }
    if (series[i] != 0) {
      const std::int32_t n = nearest_count(terms[i]);
      c.kind[p] = kSeries;
      c.passes[p] = n;
      if (n < 1 || n > kMaxTerms) {
        evaluate_whole(p);
      } else {
        series_first[i] = detail::single_reciprocal(2 * n + 1);
      }
      continue;
    }
    std::int32_t nu;
    if (fraction[i] != 0) {
      c.kind[p] = kFraction;
      nu = truncated_count(nu_fraction[i]);
      c.kappa[p] = -1;
      c.h[p] = 0.0;
    } else {
      c.kind[p] = kTaylor;
      nu = nearest_count(ring.nu[i]);
      const std::int32_t k = nearest_count(ring.kappa[i]);
      h[i] = ring.h[i];
      c.h[p] = ring.h[i];
      c.kappa[p] = ring.h[i] > 0.0 ? k : -1;
      if (k < 0 || k > kMaxPasses) nu = -1;
      kappa[i] = c.kappa[p];
    }
    c.passes[p] = nu;
    if (nu < 0 || nu > kMaxPasses) evaluate_whole(p);
  }
  store(c.lambda + o, select(series, series_first, detail::integer_powers(h + h, kappa)));
}

// The largest and smallest of a count over the batch's points.
inline void count_range(const std::int32_t* field, const std::int16_t* order, int count, int& most,
                        int& least) {
  for (int j = 0; j < count; ++j) {
    const int v = field[order[j]];
    if (v > most) most = v;
    if (v < least) least = v;
  }
}

// close(g, i, p, x, y) for the batch's points, point p = x + iy in lane i of
// vector g (a loop index that unrolls, so the vectors can stay in registers).
template <int kGroups, class Close>
inline void each_point(const RegionChunk& c, const std::int16_t* order, int count,
                       const Close& close) {
  for (int g = 0; g < kGroups; ++g) {
    for (int i = 0; i < kLanes && g * kLanes + i < count; ++i) {
      const int p = order[g * kLanes + i];
      close(g, i, p, c.x[p], c.y[p]);
    }
  }
}

// The continued fraction, with the Taylor sums where kTaylorSums, for the
// batch's count <= kGroups * kLanes points.
template <bool kTaylorSums, int kGroups>
VORLAN_BATCH_LOOP void run_passes(const RegionChunk& c, const std::int16_t* order, int count,
                                  std::int64_t first, double* ur, double* ui) {
  int most_passes = 0, least_passes = kMaxPasses;
  int most_taylor = -1, least_taylor = kMaxPasses;
  count_range(c.passes, order, count, most_passes, least_passes);
  count_range(c.kappa, order, count, most_taylor, least_taylor);
  detail::FractionUnwinding<Vec, kGroups> f;
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    const Vec h = gather(c.h, order, count, o);
    f.x[g] = magnitude(gather(c.x, order, count, o));
    f.y[g] = magnitude(gather(c.y, order, count, o)) + h;
    f.h2[g] = h + h;
    f.depth[g] = gather(c.passes, order, count, o);
    f.lambda[g] = gather(c.lambda, order, count, o);
    f.kappa[g] = gather(c.kappa, order, count, o);
    f.rx[g] = f.ry[g] = f.tsx[g] = f.tsy[g] = splat(0.0);
  }
  constexpr detail::FractionKeeps kKeeps =
      kTaylorSums ? detail::FractionKeeps::kTaylorSums : detail::FractionKeeps::kNothing;
  detail::unwind_fraction<kKeeps>(f, most_passes, least_passes, most_taylor, least_taylor);
  each_point<kGroups>(c, order, count, [&](int g, int i, int p, double x, double y) {
    double wr;
    double wi;
    detail::outer_value(x, y, c.h[p], f.rx[g][i], f.ry[g][i], f.tsx[g][i], f.tsy[g][i], wr, wi);
    if (detail::map_outer_value(x, y, c.a[p], c.b[p], wr, wi)) {
      ur[first + p] = wr;
      ui[first + p] = wi;
    } else {  // what W_REGIONS_ELEMENT does with the flagged value
      W_REFLECT(x, y, wr, x > 0.0 ? -wi : wi, ur[first + p], ui[first + p]);
    }
  });
}

template <int kGroups>
VORLAN_BATCH_LOOP void run_series(const RegionChunk& c, const std::int16_t* order, int count,
                                  std::int64_t first, double* ur, double* ui) {
  int most_terms = 0, least_terms = kMaxTerms;
  count_range(c.passes, order, count, most_terms, least_terms);
  detail::SeriesSums<Vec, kGroups> s;
  for (int g = 0; g < kGroups; ++g) {
    const int o = g * kLanes;
    s.a[g] = gather(c.a, order, count, o);
    s.b[g] = gather(c.b, order, count, o);
    s.terms[g] = gather(c.passes, order, count, o);
    s.s_r[g] = gather(c.lambda, order, count, o);
    s.s_i[g] = splat(0.0);
  }
  detail::sum_series(s, most_terms, least_terms);
  each_point<kGroups>(c, order, count, [&](int g, int i, int p, double x, double y) {
    detail::series_value(x, y, c.a[p], c.b[p], s.s_r[g][i], s.s_i[g][i], ur[first + p],
                         ui[first + p]);
  });
}

// Vectors advanced side by side per kind of point, as measured fastest: the
// lighter recurrences hide more division latency with more vectors in flight;
// the Taylor one, with ten live vectors per group, takes a third group only
// where the unit has 32 registers (AVX-512), and spills beyond two elsewhere.
template <RegionKind kKind>
constexpr int kKindGroups = kKind == kTaylor ? (kLanes == 8 ? 3 : 2) : (kKind == kSeries ? 3 : 4);

// Runs the sorted points order[0, count) of one kind in batches.
template <RegionKind kKind>
void run_kind(const RegionChunk& c, const std::int16_t* order, int count, std::int64_t first,
              double* ur, double* ui) {
  in_batches<kKindGroups<kKind>>(order, count, [&](auto groups, const std::int16_t* o, int n) {
    constexpr int kGroups = decltype(groups)::value;
    if constexpr (kKind == kSeries) {
      run_series<kGroups>(c, o, n, first, ur, ui);
    } else {
      run_passes<kKind == kTaylor, kGroups>(c, o, n, first, ur, ui);
    }
  });
}

// One chunk of count <= kChunk points starting at element first.
void region_chunk(RegionChunk& c, const double* xr, const double* xi, double* ur, double* ui,
                  std::int64_t first, int count) {
  for (int p = 0; p < count; ++p) {
    c.x[p] = xr[first + p];
    c.y[p] = xi[first + p];
  }
  // The last vector's idle lanes see 0, a point every branch takes calmly.
  for (int p = count; p % kLanes != 0; ++p) {
    c.x[p] = 0.0;
    c.y[p] = 0.0;
  }
  for (int o = 0; o < count; o += kLanes) {
    set_up_lanes(c, o, count - o, first, ur, ui);
  }
  // Counting sort by (kind, pass count).
  int start[3 * kKindStride + 1] = {};
  for (int p = 0; p < count; ++p) {
    if (c.kind[p] != kDone) ++start[c.kind[p] * kKindStride + c.passes[p] + 1];
  }
  for (int k = 1; k <= 3 * kKindStride; ++k) start[k] += start[k - 1];
  const int kind_begin[4] = {start[0], start[kKindStride], start[kKindStride + kKindStride],
                             start[kKindStride + kKindStride + kKindStride]};
  for (int p = 0; p < count; ++p) {
    if (c.kind[p] != kDone)
      c.order[start[c.kind[p] * kKindStride + c.passes[p]]++] = static_cast<std::int16_t>(p);
  }
  run_kind<kSeries>(c, c.order + kind_begin[0], kind_begin[1] - kind_begin[0], first, ur, ui);
  run_kind<kFraction>(c, c.order + kind_begin[1], kind_begin[2] - kind_begin[1], first, ur, ui);
  run_kind<kTaylor>(c, c.order + kind_begin[2], kind_begin[3] - kind_begin[2], first, ur, ui);
}

void regions_lanes(const double* xr, const double* xi, double* ur, double* ui, std::int64_t n) {
  RegionChunk chunk;
  for (std::int64_t first = 0; first < n; first += kChunk) {
    const int count = static_cast<int>(n - first < kChunk ? n - first : kChunk);
    region_chunk(chunk, xr, xi, ur, ui, first, count);
  }
}

}  // namespace
}  // namespace vorlan::blocks

#endif
