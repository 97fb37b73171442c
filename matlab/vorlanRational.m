%vorlanRational  Faddeeva function w(z), rational approximation.
%   W = vorlanRational(Z) evaluates the Faddeeva function
%
%      w(z) = exp(-z^2) * erfc(-i*z)
%
%   element by element over the array Z by a single rational formula: a
%   faster, less accurate alternative to vorlanRegion.  w is the plasma
%   dispersion function up to a factor, Z(z) = i*sqrt(pi)*w(z).  Its real
%   part along a line Im z = const gives the Voigt line profile, the
%   convolution of a Gaussian of standard deviation sigma with a Lorentzian
%   of half-width gamma:
%
%      V(x) = real(w((x + i*gamma) / (sigma*sqrt(2)))) / (sigma*sqrt(2*pi))
%
%   Input
%      Z is a full numeric array, real or complex, of class double, single,
%      any integer class or logical; values of other classes are converted
%      to double before evaluation.  Sparse arrays, char, cell, struct and
%      function handles are refused.
%
%   Output
%      W is complex double with the rows and columns of Z.  An array with
%      more than two dimensions comes back two-dimensional: rows by the
%      product of the other dimensions (a 2x3x4 input gives a 2x12 result).
%      Octave shows a result whose imaginary parts are all zero as real.
%
%   Method and accuracy
%      In the upper half-plane (Im z >= 0) w is approximated by P(t)/Q(t),
%      t = y - i*x, with P of degree 6 and Q of degree 7; the relative error
%      is below 1.7e-5 (largest, 1.66e-5, on the real axis near x = 2.47).
%      The quotient is formed with an extended exponent range, so large
%      arguments keep their asymptotic value: vorlanRational(1e30) is
%      4.4817e-67 + 5.6419e-31i.  Beyond |z| of about 1.09e44 the formula
%      leaves the double range and the result is NaN + NaN*i.
%      In the lower half-plane the reflection w(z) = 2*exp(-z^2) - w(-z) is
%      used; its absolute error is about 2e-5*|w(-z)|, which is large
%      compared with w(z) wherever w(z) is much smaller than w(-z).
%
%   Errors (identifier: message)
%      vorlan:nargin       One input required in vorlan.
%      vorlan:notNumeric   Input array is not numeric
%      vorlan:sparse       Input array is sparse
%      vorlan:tooLarge     Input array is too large  (rows*columns > 2^31-1)
%      vorlan:outOfMemory  Out of memory
%   The input is checked in that order before any result is created.
%
%   Example
%      w = vorlanRational([0, 1, 1+1i, 2i])
%      w =
%         1.0000 +      0i   0.3679 + 0.6072i   0.3047 + 0.2082i   0.2554 +      0i
%
%      format long
%      w = vorlanRational(2+1i)
%      w =  0.140239546494152 + 0.222213414903616i
%      w = vorlanRegion(2+1i)
%      w =  0.140239581366278 + 0.222213440179899i
%
%   See also: vorlanRegion, vorlan
