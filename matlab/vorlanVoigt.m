%vorlanVoigt  Voigt line profile and its partial derivatives.
%   V = vorlanVoigt(X, SIGMA, GAMMA) evaluates the Voigt profile
%
%      V(x; sigma, gamma) = integral of G(t; sigma) * L(x - t; gamma) dt,
%
%   the convolution of a Gaussian G of standard deviation sigma with a
%   Lorentzian L of half width at half maximum gamma, normalised to unit
%   area.  For sigma > 0,
%
%      V = real(w((x + i*gamma) / (sigma*sqrt(2)))) / (sigma*sqrt(2*pi))
%
%   with w the Faddeeva function, computed here at full double precision.
%
%   [V, DVDX, DVDSIGMA, DVDGAMMA] = vorlanVoigt(X, SIGMA, GAMMA) also returns
%   the partial derivatives dV/dx, dV/dsigma and dV/dgamma, for example as
%   the Jacobian of a least-squares fit.  Each output is computed only when
%   it is asked for: V alone costs least.
%
%   Inputs
%      X, SIGMA and GAMMA are real, full numeric arrays of class double,
%      single, any integer class or logical, taken as double.  They combine
%      element by element as the arithmetic operators combine them: equal
%      sizes, scalars, or sizes whose every dimension is equal or 1 (a
%      column of x against a row of gamma gives a matrix).
%
%   Outputs
%      Real double arrays of the combined size, all dimensions kept.
%
%   Edge values
%      sigma = 0 gives the Lorentzian gamma/(pi*(x^2 + gamma^2)) and
%      gamma = 0 the Gaussian exp(-x^2/(2*sigma^2))/(sigma*sqrt(2*pi)), each
%      with its derivatives.  sigma = gamma = 0 gives 0 where x ~= 0 and Inf
%      at x = 0.  |x| = Inf gives 0.  A negative or NaN sigma or gamma, or a
%      NaN x, gives NaN in that element only (no error, so that a fitting
%      routine may step there).
%
%   Accuracy
%      V, and each derivative relative to its own size or to its peak over
%      x near its sign changes: see README.
%
%   Errors (identifier: message)
%      vorlan:nargin         Three inputs required in vorlanVoigt.
%      vorlan:nargout        At most four outputs in vorlanVoigt.
%      vorlan:notNumeric     Input array is not numeric
%      vorlan:sparse         Input array is sparse
%      vorlan:complex        Input array is complex
%      vorlan:nonconformant  Input arrays are nonconformant
%      vorlan:tooLarge       Input array is too large  (more than 2^31-1 elements)
%      vorlan:outOfMemory    Out of memory
%   The call is checked in that order (each input in turn for class,
%   sparse storage and complex values) before any result is created.
%
%   Example
%      V = vorlanVoigt(-2:2, 1, 0.5)
%      V =
%         0.082424   0.200180   0.278955   0.200180   0.082424
%
%      [V, dVdx] = vorlanVoigt(0, [0.5; 1], [0 0.5 1])
%      V =
%         0.7979   0.4174   0.2683
%         0.3989   0.2790   0.2087
%      dVdx =
%         0   0   0
%         0   0   0
%
%   See also: vorlanPlasmaZ, vorlanRegion
