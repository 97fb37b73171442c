%vorlanPlasmaZ  Plasma dispersion function Z and its derivative.
%   Z = vorlanPlasmaZ(ZETA) evaluates the plasma dispersion function
%
%      Z(zeta) = i*sqrt(pi) * w(zeta)
%
%   element by element over the array ZETA, with w the Faddeeva function
%   w(z) = exp(-z^2)*erfc(-i*z), computed here at full double precision.
%
%   [Z, DZ] = vorlanPlasmaZ(ZETA) also returns the derivative
%
%      Z'(zeta) = -2*(1 + zeta*Z(zeta)),
%
%   computed without the cancellation of that formula for large |zeta|.
%   DZ is computed only when it is asked for.
%
%   w and its derivative follow from them:
%      w  = Z  / (1i*sqrt(pi));
%      dw = dZ / (1i*sqrt(pi));      % w'(z) = -2*z*w(z) + 2i/sqrt(pi)
%
%   Input
%      ZETA is a full numeric array, real or complex, of class double,
%      single, any integer class or logical, taken as double; a real ZETA
%      has imaginary parts +0.
%
%   Outputs
%      Complex double arrays of the size of ZETA, all dimensions kept.
%      Octave shows a result whose imaginary parts are all zero as real.
%
%   Edge values
%      In the lower half-plane Z follows from the reflection
%      w(z) = 2*exp(-z^2) - w(-z): parts that overflow come back as Inf of
%      the right sign, and where exp(-z^2) underflows the asymptotic value
%      remains.  Far out (|Re zeta| or |Im zeta| beyond 5e153) Z = -1/zeta to
%      double precision, and an infinite part gives 0, except on the
%      imaginary axis below the real one, where Z has overflowed to Inf*i
%      (and Z' to -Inf).  Where exp(-zeta^2) does not vanish but its phase
%      2*|Re zeta|*|Im zeta| exceeds pi*2^50, or off that axis beyond 5e153,
%      both outputs are NaN + NaN*i, as they are for a NaN part.
%
%   Accuracy
%      Relative to |Z| and |Z'| in the upper half-plane and on the real
%      axis; in the lower half-plane relative to the size of the terms of
%      the reflection: see README.
%
%   Errors (identifier: message)
%      vorlan:nargin       One input required in vorlanPlasmaZ.
%      vorlan:nargout      At most two outputs in vorlanPlasmaZ.
%      vorlan:notNumeric   Input array is not numeric
%      vorlan:sparse       Input array is sparse
%      vorlan:tooLarge     Input array is too large  (more than 2^31-1 elements)
%      vorlan:outOfMemory  Out of memory
%   The call is checked in that order before any result is created.
%
%   Example
%      Z = vorlanPlasmaZ([0, 1, 1+1i])
%      Z =
%              0 + 1.7725i  -1.0762 + 0.6520i  -0.3691 + 0.5401i
%
%      [Z, dZ] = vorlanPlasmaZ(2i);
%      w = Z / (1i*sqrt(pi))          % w(2i) = exp(4)*erfc(2)
%      w = 0.2554
%
%   See also: vorlanVoigt, vorlanRegion, vorlan
