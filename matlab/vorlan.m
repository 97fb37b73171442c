%vorlan  Faddeeva function w(z) of a complex array, region-based evaluation.
%   W = vorlan(Z) evaluates the Faddeeva function
%
%      w(z) = exp(-z^2) * erfc(-i*z)
%
%   element by element over the array Z.  w is the plasma dispersion
%   function up to a factor, Z(z) = i*sqrt(pi)*w(z).  Its real part along a
%   line Im z = const gives the Voigt line profile, the convolution of a
%   Gaussian of standard deviation sigma with a Lorentzian of half-width
%   gamma:
%
%      V(x) = real(w((x + i*gamma) / (sigma*sqrt(2)))) / (sigma*sqrt(2*pi))
%
%   Input
%      Z is a full complex array of class double or single (or, in MATLAB,
%      a complex integer class); values of other classes are converted to
%      double before evaluation.  A real array is refused (pass complex(X),
%      or use vorlanRegion for real arguments), and so are sparse arrays,
%      char, cell, struct and function handles.  The method and the values
%      are those of vorlanRegion.
%
%   Output
%      W is complex double with the rows and columns of Z.  An array with
%      more than two dimensions comes back two-dimensional: rows by the
%      product of the other dimensions (a 2x3x4 input gives a 2x12 result).
%      Octave shows a result whose imaginary parts are all zero as real.
%
%   Method and accuracy
%      The value at |x| + i|y| comes from one of three regions, with
%      q = (|x|/6.3)^2 + (|y|/4.4)^2 (6.3 and 4.4 in single precision):
%        q < 0.085264        power series, relative error below 3.6e-7;
%        0.085264 <= q <= 1  Taylor expansion fed by a continued fraction,
%                            relative error below 3e-15;
%        q > 1               Laplace continued fraction, relative error
%                            below 3e-15.
%      The symmetries of w give the value at z.  In the lower half-plane
%      the reflection w(z) = 2*exp(-z^2) - w(-z) is used; its absolute error
%      is of the order of the error of w(-z).  Where exp(-z^2) overflows the
%      parts come back as Inf of the right sign, for example
%      vorlan(0.1-30i) is Inf - Inf*i and vorlan(-30i) is Inf;
%      where it underflows the asymptotic value remains, for example
%      vorlan(1e10-1e6i) is -5.6419e-15 + 5.6419e-11i.
%      Beyond |x| > 5e153 or |y| > 5e153, w(z) = i/(sqrt(pi)*z) to double
%      precision and that value is returned (vorlan(complex(6e153))
%      is 9.4032e-155i); an infinite part gives 0, except on the imaginary
%      axis below the real one, where w has overflowed: vorlan(-6e153i) and
%      vorlan(complex(0, -Inf)) are Inf.
%
%   Errors (identifier: message)
%      vorlan:nargin       One input required.
%      vorlan:notComplex   Input array is not complex
%      vorlan:notNumeric   Input array is not numeric
%      vorlan:sparse       Input array is sparse
%      vorlan:tooLarge     Input array is too large  (rows*columns > 2^31-1)
%      vorlan:outOfMemory  Out of memory
%   The input is checked in that order before any result is created.
%
%   Example
%      w = vorlan([1+1i, -1+2i, 3-0.5i])
%      w =
%         0.304744 + 0.208219i   0.218493 - 0.092998i  -0.037440 + 0.193028i
%
%      w = vorlan(complex([0, 1]))
%      w =
%         1.0000 +      0i   0.3679 + 0.6072i
%
%   See also: vorlanRegion, vorlanRational, complex
