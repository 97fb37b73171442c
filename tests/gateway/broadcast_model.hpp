// The broadcast rule on its own, apart from the gateway's code, for checking
// what the element-wise path computes: where each element of the combined
// size comes from in one input.
#ifndef VORLAN_TESTS_BROADCAST_MODEL_HPP
#define VORLAN_TESTS_BROADCAST_MODEL_HPP

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlan::testing {

// Storage index in an input of the element at combined index k: each
// dimension by division, the input's extent 1 pinning it to 0.
inline std::size_t source_index(std::uint64_t k, const std::vector<std::uint64_t>& combined,
                                const std::vector<std::uint64_t>& input) {
  std::size_t index = 0;
  std::size_t stride = 1;
  for (std::size_t d = 0; d < combined.size(); ++d) {
    const std::uint64_t i = k % combined[d];
    k /= combined[d];
    const std::uint64_t extent = d < input.size() ? input[d] : 1;
    if (extent != 1) index += static_cast<std::size_t>(i) * stride;
    stride *= static_cast<std::size_t>(extent);
  }
  return index;
}

}  // namespace vorlan::testing

#endif
