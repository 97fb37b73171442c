// The block evaluators' worker count follows what the machine lets the
// process use: its affinity mask, its cgroup's CPU quota and the thread
// variables, each read at the call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "vorlan/w_complete.hpp"
#include "worker_count.hpp"

namespace {

namespace fs = std::filesystem;
using vorlan::blocks::worker_limit;

TEST(WorkerCount, ThreadVariableValues) {
  const struct {
    const char* value;
    std::int64_t count;
  } cases[] = {
      {"4", 4},
      {" 3 ", 3},
      {"4,2", 4},
      {"1", 1},
      {"0", 0},
      {"-2", 0},
      {"two", 0},
      {"", 0},
      {"2x", 0},
      {"1.5", 0},
      {"99999999999999999999", 1 << 20},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vorlan::blocks::parse_thread_count(c.value), c.count) << '"' << c.value << '"';
  }
  EXPECT_EQ(vorlan::blocks::parse_thread_count(nullptr), 0);
}

TEST(WorkerCount, CpuMaxValues) {
  const struct {
    const char* text;
    std::int64_t cpus;
  } cases[] = {
      {"max 100000\n", 0},   {"100000 100000\n", 1}, {"150000 100000\n", 2},
      {"50000 100000\n", 1}, {"400000 100000", 4},   {"1000 1000000\n", 1},
      {"junk\n", 0},         {"200000\n", 0},        {"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vorlan::blocks::parse_cpu_max(c.text), c.cpus) << '"' << c.text << '"';
  }
}

// A cgroup hierarchy in a temporary folder: the tightest quota on the way from
// the process's group up to the root holds.
class CgroupTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vorlan-cgroup-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "jobs" / "job7" / "step");
  }
  void TearDown() override { fs::remove_all(root_); }
  void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
  std::int64_t quota(const std::string& proc_cgroup) {
    write(root_ / "self-cgroup", proc_cgroup);
    const std::string group = vorlan::blocks::unified_cgroup((root_ / "self-cgroup").string());
    return vorlan::blocks::cgroup_quota_cpus(root_.string(), group);
  }
  fs::path root_;
};

TEST_F(CgroupTree, TightestQuotaOnThePathToTheRoot) {
  write(root_ / "jobs" / "cpu.max", "max 100000\n");
  write(root_ / "jobs" / "job7" / "cpu.max", "250000 100000\n");
  write(root_ / "jobs" / "job7" / "step" / "cpu.max", "max 100000\n");
  EXPECT_EQ(quota("0::/jobs/job7/step\n"), 3);
  EXPECT_EQ(quota("12:cpu:/elsewhere\n0::/jobs/job7/step/\n"), 3);
  EXPECT_EQ(quota("0::/jobs\n"), 0);
  write(root_ / "cpu.max", "100000 100000\n");
  EXPECT_EQ(quota("0::/jobs/job7/step\n"), 1);
  // No unified hierarchy line, or a group outside the namespace: no quota.
  EXPECT_EQ(quota("4:cpu,cpuacct:/jobs\n"), 0);
  EXPECT_EQ(quota("0::/../jobs\n"), 0);
}

// Sets (or with nullptr clears) an environment variable.
void set(const char* name, const char* value) {
  if (value == nullptr) {
    unsetenv(name);
  } else {
    setenv(name, value, 1);
  }
}

// Each test starts and ends with neither thread variable set.
class ThreadVariables : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    unsetenv("VORLAN_NUM_THREADS");
    unsetenv("OMP_NUM_THREADS");
  }
};

#if defined(__linux__)
// The whole count over a test-made root: /proc/self/cgroup names the group,
// cpu.max files under /sys/fs/cgroup (in /job and /job/step) hold quotas, and
// the affinity count and the thread variable come in beside them.  The least
// of all holds.
TEST_F(ThreadVariables, CountCombinesAffinityQuotaAndVariable) {
  const struct {
    const char* what;
    std::int64_t affinity;  // 0: unknown
    const char* proc_cgroup;
    const char* job_max;   // nullptr: no file
    const char* step_max;  // nullptr: no file
    const char* vorlan_threads;
    std::int64_t count;  // 0: the processor count
  } cases[] = {
      {"no quota", 8, "0::/job", "max 100000", nullptr, nullptr, 8},
      {"two CPUs", 8, "0::/job", "200000 100000", nullptr, nullptr, 2},
      {"1.5 CPUs rounded up", 8, "0::/job", "150000 100000", nullptr, nullptr, 2},
      {"quota above the mask", 3, "0::/job", "400000 100000", nullptr, nullptr, 3},
      {"parent tighter", 8, "0::/job/step", "200000 100000", "max 100000", nullptr, 2},
      {"child tighter", 8, "0::/job/step", "400000 100000", "100000 100000", nullptr, 1},
      {"mask unknown", 0, "0::/job", "100000 100000", nullptr, nullptr, 1},
      {"mask unknown, no quota", 0, "0::/job", nullptr, nullptr, nullptr, 0},
      {"variable below the quota", 8, "0::/job", "300000 100000", nullptr, "2", 2},
      {"variable above the quota", 8, "0::/job", "300000 100000", nullptr, "6", 3},
      {"v1 hierarchy only", 8, "4:cpu,cpuacct:/job", "100000 100000", nullptr, nullptr, 8},
      {"no /proc/self/cgroup", 8, nullptr, "100000 100000", nullptr, nullptr, 8},
  };
  const fs::path root =
      fs::temp_directory_path() / ("vorlan-root-" + std::to_string(std::random_device{}()));
  const fs::path job = root / "sys" / "fs" / "cgroup" / "job";
  for (const auto& c : cases) {
    fs::remove_all(root);
    fs::create_directories(root / "proc" / "self");
    fs::create_directories(job / "step");
    if (c.proc_cgroup != nullptr) std::ofstream(root / "proc" / "self" / "cgroup") << c.proc_cgroup;
    if (c.job_max != nullptr) std::ofstream(job / "cpu.max") << c.job_max;
    if (c.step_max != nullptr) std::ofstream(job / "step" / "cpu.max") << c.step_max;
    set("VORLAN_NUM_THREADS", c.vorlan_threads);
    const std::int64_t expected =
        c.count > 0 ? c.count : std::max(1U, std::thread::hardware_concurrency());
    EXPECT_EQ(worker_limit(root.string(), c.affinity), expected) << c.what;
  }
  fs::remove_all(root);
}
#endif

// Workers started by one large evaluation at the default thread count.
std::uint64_t workers_for_large_block() {
  const std::int64_t n = 1 << 19;
  std::vector<double> x(n, 1.5), y(n, 0.5), u(n), v(n);
  const std::uint64_t before = vorlan::blocks::workers_started();
  vorlan::W_REGIONS_BLOCK(x.data(), y.data(), u.data(), v.data(), n);
  return vorlan::blocks::workers_started() - before;
}

TEST_F(ThreadVariables, VorlanVariableFirstThenOpenMpCapped) {
  const std::int64_t machine = worker_limit();  // neither variable set
  ASSERT_GE(machine, 1);
  const struct {
    const char* vorlan_threads;
    const char* omp_threads;
    std::int64_t limit;  // before the machine's own cap
  } cases[] = {
      {"1", nullptr, 1},
      {nullptr, "1", 1},
      {"1", "8", 1},
      {"8", "1", 8},
      {"junk", "1", 1},
      {"0", "1", 1},
      {nullptr, "1,4", 1},
      {"100000", nullptr, 100000},
      {nullptr, nullptr, machine},
  };
  for (const auto& c : cases) {
    set("VORLAN_NUM_THREADS", c.vorlan_threads);
    set("OMP_NUM_THREADS", c.omp_threads);
    const std::int64_t expected = std::min(machine, c.limit);
    EXPECT_EQ(worker_limit(), expected) << (c.vorlan_threads ? c.vorlan_threads : "unset") << " / "
                                        << (c.omp_threads ? c.omp_threads : "unset");
    // A large call starts one worker fewer than its threads (the caller is one).
    EXPECT_EQ(workers_for_large_block(), static_cast<std::uint64_t>(expected - 1));
  }
}

// Run by ctest under `taskset -c 0` with VORLAN_EXPECT_ONE_CPU set: one
// allowed CPU means no worker at all, with neither variable set or with both
// asking for more.
TEST_F(ThreadVariables, OneAllowedCpuStartsNoWorker) {
  if (std::getenv("VORLAN_EXPECT_ONE_CPU") == nullptr) {
    GTEST_SKIP() << "run under taskset -c 0 with VORLAN_EXPECT_ONE_CPU=1";
  }
  EXPECT_EQ(vorlan::blocks::affinity_cpus(), 1);
  for (const char* asked : {static_cast<const char*>(nullptr), "4"}) {
    set("VORLAN_NUM_THREADS", asked);
    set("OMP_NUM_THREADS", asked);
    EXPECT_EQ(worker_limit(), 1);
    EXPECT_EQ(workers_for_large_block(), 0U);
  }
}

}  // namespace
