// The trapezoidal rule's node loop of the full-precision w, written once for
// a double and for a vector of lanes (V), each lane the same operations as
// the double.  nodes, weights and factors give each node's t, 2 exp(-t^2) and
// (z w)' factor per lane (see TrapezoidTables).
//
// Included where V's operations are compiled: in w_full.cpp for doubles, in
// the lane code after its vector unit is selected (so no include guard
// against a second unit's inclusion is needed: each unit is its own file).
#ifndef VORLAN_W_FULL_NODES_HPP
#define VORLAN_W_FULL_NODES_HPP

#include "w_full_steps.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_full_steps.hpp

template <class V>
inline void trapezoid_sums(const V& x, const V& y, const V* nodes, const V* weights,
                           const V* factors, bool with_zw, TrapezoidSums<V>& s) {
  const V yy = y * y;
  const V r2 = x * x + yy;
  for (int k = 0; k < kNodes; ++k) {
    const V node = nodes[k];
    const V tt = node * node;
    const V below = x - node;
    const V above = x + node;
    const V e = weights[k] / ((below * below + yy) * (above * above + yy));
    s.a += e * (r2 + tt);
    s.b += e * (r2 - tt);
    const V et = e * tt;
    s.q += et;
    s.p += et * (below * above - yy);
    if (with_zw) {
      const V c = et * factors[k];
      s.ga += c * (r2 + tt);
      s.gb += c * (r2 - tt);
    }
  }
}

}  // namespace
}  // namespace vorlan::detail

#endif
