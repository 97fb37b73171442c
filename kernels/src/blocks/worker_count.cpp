#include "worker_count.hpp"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(__linux__)
#include <sched.h>
#endif

namespace vorlan::blocks {
namespace {

// Far above any machine's CPU count; keeps the arithmetic below in range.
constexpr std::int64_t kMaxCount = std::int64_t{1} << 20;

std::atomic<std::uint64_t> started_workers{0};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads a decimal number starting at text[at], saturating at kMaxCount;
// returns false when no digit is there.
bool read_number(const std::string& text, std::size_t& at, std::int64_t& value) {
  const std::size_t first = at;
  value = 0;
  while (at < text.size() && is_digit(text[at])) {
    value = std::min(kMaxCount, value * 10 + (text[at] - '0'));
    ++at;
  }
  return at > first;
}

void skip_spaces(const std::string& text, std::size_t& at) {
  while (at < text.size() && is_space(text[at])) ++at;
}

// A small text file whole, or an empty string when it cannot be read.
std::string read_small_file(const std::string& path) {
  std::string text;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return text;
  char chunk[512];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && text.size() < 65536) {
    text.append(chunk, got);
  }
  std::fclose(file);
  return text;
}

// The least of two limits where 0 stands for none.
std::int64_t tighter(std::int64_t a, std::int64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  return std::min(a, b);
}

std::int64_t processor_count() {
  static const std::int64_t count = std::max(1U, std::thread::hardware_concurrency());
  return count;
}

}  // namespace

std::int64_t parse_thread_count(const char* value) {
  if (value == nullptr) return 0;
  const std::string text(value);
  std::size_t at = 0;
  skip_spaces(text, at);
  std::int64_t count = 0;
  if (!read_number(text, at, count)) return 0;
  skip_spaces(text, at);
  if (at < text.size() && text[at] != ',') return 0;
  return count;
}

std::int64_t parse_cpu_max(const std::string& text) {
  std::size_t at = 0;
  skip_spaces(text, at);
  if (text.compare(at, 3, "max") == 0) return 0;
  std::int64_t quota = 0;
  std::int64_t period = 0;
  if (!read_number(text, at, quota)) return 0;
  skip_spaces(text, at);
  if (!read_number(text, at, period) || quota == 0 || period == 0) return 0;
  return std::max<std::int64_t>(1, (quota + period - 1) / period);
}

std::string unified_cgroup(const std::string& proc_cgroup) {
  // The unified (v2) hierarchy's line reads "0::/path/of/the/group".
  const std::string lines = read_small_file(proc_cgroup);
  std::string group;
  for (std::size_t begin = 0; begin < lines.size();) {
    std::size_t end = lines.find('\n', begin);
    if (end == std::string::npos) end = lines.size();
    if (lines.compare(begin, 3, "0::") == 0) {
      group = lines.substr(begin + 3, end - begin - 3);
      break;
    }
    begin = end + 1;
  }
  // A group outside this namespace's view ("/../x") has no files under the root.
  if (group.empty() || group[0] != '/' || group.find("/..") != std::string::npos) return "";
  while (group.size() > 1 && group.back() == '/') group.pop_back();
  return group;
}

std::int64_t cgroup_quota_cpus(const std::string& hierarchy_root, std::string group) {
  if (group.empty()) return 0;
  // A quota on any ancestor holds for its descendants too.
  std::int64_t limit = 0;
  while (true) {
    const std::string folder = group == "/" ? hierarchy_root : hierarchy_root + group;
    limit = tighter(limit, parse_cpu_max(read_small_file(folder + "/cpu.max")));
    if (group == "/") break;
    group.erase(std::max<std::size_t>(1, group.rfind('/')));
  }
  return limit;
}

std::int64_t affinity_cpus() {
#if defined(_WIN32)
  DWORD_PTR process_mask = 0;
  DWORD_PTR system_mask = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) == 0) return 0;
  std::int64_t count = 0;
  for (; process_mask != 0; process_mask &= process_mask - 1) ++count;
  return count;
#elif defined(__linux__)
  // The calling thread's mask: the one its workers inherit.
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
  // More CPUs than a cpu_set_t holds: ask with room for them.
  for (int cpus = 2 * CPU_SETSIZE; cpus <= (1 << 17); cpus *= 2) {
    cpu_set_t* wide = CPU_ALLOC(cpus);
    if (wide == nullptr) return 0;
    const std::size_t bytes = CPU_ALLOC_SIZE(cpus);
    CPU_ZERO_S(bytes, wide);
    const bool ok = sched_getaffinity(0, bytes, wide) == 0;
    const std::int64_t count = ok ? CPU_COUNT_S(bytes, wide) : 0;
    CPU_FREE(wide);
    if (ok) return count;
  }
  return 0;
#else
  return 0;
#endif
}

std::int64_t worker_limit(const std::string& root, std::int64_t allowed_cpus) {
  std::int64_t limit = allowed_cpus == 0 ? processor_count() : allowed_cpus;
#if defined(__linux__)
  // The process's own group is looked up once (reading /proc costs tens of
  // microseconds, and a process seldom moves), its quotas at every call.
  static const std::string own_group = unified_cgroup("/proc/self/cgroup");
  std::string base = root;
  while (!base.empty() && base.back() == '/') base.pop_back();
  const std::string group = base.empty() ? own_group : unified_cgroup(base + "/proc/self/cgroup");
  limit = tighter(limit, cgroup_quota_cpus(base + "/sys/fs/cgroup", group));
#else
  static_cast<void>(root);
#endif
  std::int64_t asked = parse_thread_count(std::getenv("VORLAN_NUM_THREADS"));
  if (asked == 0) asked = parse_thread_count(std::getenv("OMP_NUM_THREADS"));
  return std::max<std::int64_t>(1, tighter(limit, asked));
}

std::int64_t worker_limit() { return worker_limit("/", affinity_cpus()); }

std::uint64_t workers_started() { return started_workers.load(std::memory_order_relaxed); }

void count_worker_started() { started_workers.fetch_add(1, std::memory_order_relaxed); }

}  // namespace vorlan::blocks
