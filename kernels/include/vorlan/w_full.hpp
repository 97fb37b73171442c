// w(z) at full double precision over the whole complex plane: the kernel the
// line shapes (line_shapes.hpp) are built on.
#ifndef VORLAN_W_FULL_HPP
#define VORLAN_W_FULL_HPP

namespace vorlan {

// w(z) and w'(z) = -2 z w(z) + 2i/sqrt(pi) at z = x + iy, w' formed without
// the cancellation of that formula for large |z|.
void W_FULL_ELEMENT(double x, double y, double& u, double& v, double& du, double& dv);

}  // namespace vorlan

#endif
