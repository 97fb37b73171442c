// The per-call scratch of a plug-in: buffers of count doubles each in one
// block (for W_ARRAY four, xr, xi, ur, ui: 32 bytes per element), and
// optionally a small tail of other data after them.
//
// Fresh memory costs a page fault per page on first touch, and for large
// arrays those faults cost more than the whole evaluation.  On Linux a large
// block is therefore mapped on a 2 MiB boundary and offered transparent huge
// pages, which cut the faults by a factor of 512; its size is 32 bytes per
// element rounded up to whole huge pages (a tail of small pages would cost a
// fault each, as much as the rest of the block), and it is unmapped when the
// call ends.
// Elsewhere, and for small counts, it comes from the C++ heap.
#ifndef VORLAN_SCRATCH_HPP
#define VORLAN_SCRATCH_HPP

#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vorlan {

// Faults in the pages of [data, data + bytes) for writing in one call, where
// the platform offers it: a large copy into fresh memory then runs at memory
// speed instead of trapping once per page.  The whole huge pages inside the
// range are offered transparent huge pages first, as the scratch blocks below
// are: one fault per 2 MiB instead of 512 (on a virtual machine, where a
// small page's first touch has cost 10-15 us, that is 30 times less for a
// large result).  The advice stays with the host's memory after the array is
// freed; the range is one the caller fills whole.  Memory that the allocator
// hands back from an earlier array is resident already, and walking its pages
// again costs a tenth of the copy: where the first and the last whole page
// are resident, nothing is done.  The contents are left as they are.
inline void prefault_for_write(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  constexpr std::uintptr_t kPage = 4096;
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (address + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t end = (address + bytes) & ~(kPage - 1);
  if (end <= begin) return;
  char* const first = static_cast<char*>(data) + (begin - address);
  char* const last = first + (end - begin - kPage);
  unsigned char first_resident = 0;
  unsigned char last_resident = 0;
  if (mincore(first, kPage, &first_resident) == 0 && mincore(last, kPage, &last_resident) == 0 &&
      (first_resident & last_resident & 1U) != 0) {
    return;
  }
  const std::uintptr_t huge_begin = (address + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t huge_end = (address + bytes) & ~(kHugePage - 1);
  if (huge_end > huge_begin) {
    // advice only: fine if refused
    madvise(static_cast<char*>(data) + (huge_begin - address), huge_end - huge_begin,
            MADV_HUGEPAGE);
  }
  madvise(first, end - begin, MADV_POPULATE_WRITE);
#else
  static_cast<void>(data);
  static_cast<void>(bytes);
#endif
}

class HeapScratch {
 public:
  explicit HeapScratch(std::int32_t count, int buffers = 4, std::size_t tail_bytes = 0)
      : count_(count > 0 ? count : 0),
        buffers_(buffers > 0 ? static_cast<std::size_t>(buffers) : 0),
        doubles_(buffers_ * count_ + (tail_bytes + sizeof(double) - 1) / sizeof(double)) {
    if (doubles_ == 0) {
      return;
    }
#if defined(__linux__)
    const std::size_t bytes = sizeof(double) * doubles_;
    if (bytes >= kHugePage) {
      block_ = map_aligned(bytes);
      mapped_ = block_ != nullptr;
      return;
    }
#endif
    block_ = new (std::nothrow) double[doubles_];
  }
  ~HeapScratch() { release(); }
  HeapScratch(const HeapScratch&) = delete;
  HeapScratch& operator=(const HeapScratch&) = delete;

  bool ok() const { return doubles_ == 0 || block_ != nullptr; }
  double* buffer(int k) { return block_ + static_cast<std::size_t>(k) * count_; }
  // The tail_bytes after the buffers, aligned as a double.
  void* tail() { return block_ + buffers_ * count_; }
  void release() {
#if defined(__linux__)
    if (mapped_) {
      munmap(block_, mapped_length(sizeof(double) * doubles_));
      block_ = nullptr;
      mapped_ = false;
      return;
    }
#endif
    delete[] block_;
    block_ = nullptr;
  }

 private:
#if defined(__linux__)
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;

  static std::size_t mapped_length(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
  }

  // Maps bytes on a huge-page boundary: map one huge page more than needed,
  // then give back the unaligned head and the surplus tail.
  static double* map_aligned(std::size_t bytes) {
    const std::size_t length = mapped_length(bytes);
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
      return nullptr;
    }
    char* const base = static_cast<char*>(raw);
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(base);
    const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
    char* const aligned = base + head;
    if (head != 0) {
      munmap(base, head);
    }
    munmap(aligned + length, kHugePage - head);
    madvise(aligned, length, MADV_HUGEPAGE);  // advice only: fine if refused
#ifdef MADV_POPULATE_WRITE
    // Fault the whole block in with one call rather than one trap per page.
    madvise(aligned, length, MADV_POPULATE_WRITE);
#endif
    return reinterpret_cast<double*>(aligned);
  }
#endif

  std::size_t count_;
  std::size_t buffers_;
  std::size_t doubles_;  // the whole block, buffers and tail
  double* block_ = nullptr;
#if defined(__linux__)
  bool mapped_ = false;  // block_ is a mapping of its own, not from the heap
#endif
};

}  // namespace vorlan

#endif
