// How many threads a large block may use: what the machine lets this process
// use, not what it has (threads beyond its affinity mask or cgroup quota only
// queue for the CPUs it has), and no more than the user asked for.  Read
// afresh at every call large enough for threads, since a session can change
// any of it; no result bit depends on it.
#ifndef VORLAN_BLOCKS_WORKER_COUNT_HPP
#define VORLAN_BLOCKS_WORKER_COUNT_HPP

#include <cstdint>
#include <string>

namespace vorlan::blocks {

// At least 1: min(affinity CPUs, cgroup v2 quota rounded up,
// VORLAN_NUM_THREADS if it holds a positive integer, else OMP_NUM_THREADS).
std::int64_t worker_limit();
// The same with /proc and /sys/fs/cgroup under root and allowed_cpus in the
// affinity mask (0: the processor count), for tests on a hierarchy of their own.
std::int64_t worker_limit(const std::string& root, std::int64_t allowed_cpus);

// The pieces, 0 meaning "no limit from this source":
// CPUs in the process's affinity mask (process affinity on Windows).
std::int64_t affinity_cpus();
// The process's group in the unified cgroup hierarchy, as named in
// proc_cgroup (e.g. /proc/self/cgroup), or "" where it has none.
std::string unified_cgroup(const std::string& proc_cgroup);
// The tightest cpu.max from that group up to the hierarchy's root.
std::int64_t cgroup_quota_cpus(const std::string& hierarchy_root, std::string group);
// The contents of one cpu.max file, "$MAX $PERIOD" or "max $PERIOD", in CPUs rounded up.
std::int64_t parse_cpu_max(const std::string& text);
// A thread-count variable's value: a positive decimal integer, or the first
// entry of an OpenMP list such as "4,2"; anything else is ignored.
std::int64_t parse_thread_count(const char* value);

// Worker threads started so far by the block evaluators (for tests).
std::uint64_t workers_started();
void count_worker_started();

}  // namespace vorlan::blocks

#endif
