// The gateway and the block evaluators called from several threads at once,
// each thread with a host of its own: every call must give the bits it gives
// when the calls run one at a time.  Built in the ordinary tree and, with
// ThreadSanitizer, in a tree of its own, where a data race between calls (or
// inside a block evaluator's own worker threads) stops the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "recording_host.hpp"
#include "vorlan/deliverables.hpp"
#include "vorlan/gateway.hpp"
#include "vorlan/w_complete.hpp"

namespace {

using vorlan::Deliverable;
using vorlan::ElementClass;
using vorlan::testing::FakeArray;
using vorlan::testing::HostError;
using vorlan::testing::make_array;
using vorlan::testing::make_double;
using vorlan::testing::RecordingHost;

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }
double Inf() { return std::numeric_limits<double>::infinity(); }

// Points from every region of both kernels and both half-planes, with the
// fringe values among them.
std::vector<double> mixed_points(std::size_t n, std::uint32_t seed, bool imaginary) {
  static const double kFringe[] = {0.0,  -0.0, 5e-324, 1.0,   -30.0, 26.62, 5e153,  6e153,
                                   1e10, -1e6, 1e30,   -1e44, NaN(), Inf(), -Inf(), 0.1};
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(-4, 12);
  std::vector<double> out(n);
  for (std::size_t k = 0; k < n; ++k) {
    if (k % 97 == 0) {
      out[k] = kFringe[(k / 97 + (imaginary ? 5 : 0)) % (sizeof kFringe / sizeof kFringe[0])];
    } else {
      out[k] = mantissa(rng) * std::ldexp(1.0, scale(rng));
    }
  }
  return out;
}

// Scratch that cannot be had.  (The recording host's own failing scratch
// records its count in a shared variable, which threads would race on.)
class NoScratch {
 public:
  explicit NoScratch(std::int32_t) {}
  bool ok() const { return false; }
  double* buffer(int) { return nullptr; }
  void release() {}
};

struct Job {
  const char* name;
  const Deliverable* deliverable;
  FakeArray input;
  bool failing_scratch = false;  // the call meets scratch that cannot be had
  bool full_call = false;        // through MEXFUNCTION's checks, not W_ARRAY alone
};

struct Outcome {
  bool raised = false;
  std::string error_id;
  std::uint64_t rows = 0, columns = 0;
  std::vector<double> real, imag;
};

Outcome run(const Job& job) {
  RecordingHost host;
  RecordingHost::Output plhs[1] = {nullptr};
  const RecordingHost::Input prhs[1] = {&job.input};
  Outcome out;
  try {
    if (job.full_call) {
      vorlan::MEXFUNCTION(host, *job.deliverable, 1, plhs, 1, prhs);
    } else {
      const auto count = static_cast<std::int32_t>(job.input.rows * job.input.columns);
      if (job.failing_scratch) {
        vorlan::W_ARRAY<RecordingHost, NoScratch>(host, *job.deliverable, plhs, prhs[0], count);
      } else {
        vorlan::W_ARRAY(host, *job.deliverable, plhs, prhs[0], count);
      }
    }
  } catch (const HostError&) {
    out.raised = true;
    out.error_id = host.errors.empty() ? "?" : host.errors.back().id;
  }
  if (plhs[0] != nullptr) {
    out.rows = plhs[0]->rows;
    out.columns = plhs[0]->columns;
    out.real = plhs[0]->real_storage;
    out.imag = plhs[0]->imag_storage;
  }
  return out;
}

bool same_bits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

std::vector<Job> make_jobs() {
  // Large enough that the region blocks split over worker threads, and one
  // rational block that does too.
  constexpr std::size_t kRegionCount = 3 * 8192 + 5;
  constexpr std::size_t kRationalCount = 2 * 65536 + 3;
  std::vector<Job> jobs;
  const auto complex_input = [](std::size_t n, std::uint32_t seed) {
    return make_double(1, n, mixed_points(n, seed, false), mixed_points(n, seed + 1, true));
  };
  jobs.push_back({"vorlanRegion complex", &vorlan::kVorlanRegion, complex_input(kRegionCount, 1)});
  jobs.push_back({"vorlan complex", &vorlan::kVorlan, complex_input(kRegionCount, 3)});
  jobs.push_back(
      {"vorlanRational complex", &vorlan::kVorlanRational, complex_input(kRationalCount, 5)});
  jobs.push_back({"vorlanRegion real", &vorlan::kVorlanRegion,
                  make_double(kRegionCount, 1, mixed_points(kRegionCount, 7, false))});

  std::vector<float> singles(4099);
  std::vector<std::int16_t> shorts(5001);
  for (std::size_t k = 0; k < singles.size(); ++k) singles[k] = static_cast<float>(k) * 0.01F - 20;
  for (std::size_t k = 0; k < shorts.size(); ++k) shorts[k] = static_cast<std::int16_t>(k * 13);
  jobs.push_back({"vorlanRational single", &vorlan::kVorlanRational,
                  make_array<float>(ElementClass::kSingle, 1, singles.size(), singles, singles)});
  jobs.push_back({"vorlanRegion int16", &vorlan::kVorlanRegion,
                  make_array<std::int16_t>(ElementClass::kInt16, 1, shorts.size(), shorts)});

  // Refusals, side by side with the evaluations.
  Job sparse{"vorlanRegion sparse", &vorlan::kVorlanRegion, make_double(1, 1, {1.0})};
  sparse.input.sparse = true;
  sparse.full_call = true;
  jobs.push_back(sparse);
  Job huge{"vorlan too large", &vorlan::kVorlan, make_double(0, 0, {}, {})};
  huge.input.rows = 65536;
  huge.input.columns = 65536;
  huge.input.complex = true;
  huge.full_call = true;
  jobs.push_back(huge);
  Job starved{"vorlanRational out of memory", &vorlan::kVorlanRational,
              make_double(1, 3, {1, 2, 3})};
  starved.failing_scratch = true;
  jobs.push_back(starved);
  return jobs;
}

TEST(Concurrency, CallsFromManyThreadsGiveTheSerialResults) {
  const std::vector<Job> jobs = make_jobs();
  std::vector<Outcome> serial;
  for (const Job& job : jobs) serial.push_back(run(job));

  // The serial results themselves: element routine values, and the refusals.
  for (std::size_t j = 0; j < jobs.size(); ++j) {
    SCOPED_TRACE(jobs[j].name);
    if (serial[j].raised) continue;
    ASSERT_EQ(serial[j].real.size(), jobs[j].input.rows * jobs[j].input.columns);
  }
  EXPECT_EQ(serial[6].error_id, "vorlan:sparse");
  EXPECT_EQ(serial[7].error_id, "vorlan:tooLarge");
  EXPECT_EQ(serial[8].error_id, "vorlan:outOfMemory");
  {
    const FakeArray& in = jobs[0].input;
    double u = 0.0;
    double v = 0.0;
    for (std::size_t k = 0; k < in.real_storage.size(); k += 101) {
      vorlan::W_REGIONS_ELEMENT(in.real_storage[k], in.imag_storage[k], u, v);
      const double got[2] = {serial[0].real[k], serial[0].imag[k]};
      const double want[2] = {u, v};
      ASSERT_TRUE(std::memcmp(got, want, sizeof got) == 0 || (std::isnan(u) && std::isnan(got[0])))
          << "element " << k;
    }
  }

  // Each thread runs every job, starting at a different one, all threads
  // released together; three rounds.
  const unsigned threads = std::max(4U, 2 * std::thread::hardware_concurrency());
  for (int round = 0; round < 3; ++round) {
    std::vector<std::vector<Outcome>> results(threads);
    std::atomic<unsigned> ready{0};
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
      pool.emplace_back([&, t] {
        ready.fetch_add(1);
        while (ready.load() < threads) std::this_thread::yield();
        results[t].resize(jobs.size());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
          const std::size_t j = (i + t) % jobs.size();
          results[t][j] = run(jobs[j]);
        }
      });
    }
    for (std::thread& th : pool) th.join();

    for (unsigned t = 0; t < threads; ++t) {
      for (std::size_t j = 0; j < jobs.size(); ++j) {
        SCOPED_TRACE(std::string(jobs[j].name) + ", thread " + std::to_string(t) + ", round " +
                     std::to_string(round));
        const Outcome& got = results[t][j];
        EXPECT_EQ(got.raised, serial[j].raised);
        EXPECT_EQ(got.error_id, serial[j].error_id);
        EXPECT_EQ(got.rows, serial[j].rows);
        EXPECT_EQ(got.columns, serial[j].columns);
        EXPECT_TRUE(same_bits(got.real, serial[j].real));
        EXPECT_TRUE(same_bits(got.imag, serial[j].imag));
      }
    }
  }
}

}  // namespace
