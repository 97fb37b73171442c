%vorlanHTP  Hartmann-Tran line profile and its derivatives by the line parameters.
%   F = vorlanHTP(NU, NU0, GAMMAD, GAMMA0, GAMMA2, DELTA0, DELTA2, NUVC, ETA)
%   evaluates the complex Hartmann-Tran profile (HTP) of a line at NU: the
%   partially correlated, quadratic speed-dependent hard-collision profile.
%   real(F) is the absorption profile, of unit area over nu; imag(F) the
%   dispersion profile.
%
%   Definition
%      With c = sqrt(log(2))/GammaD, C0 = Gamma0 + i*Delta0,
%      C2 = Gamma2 + i*Delta2, C0t = (1-eta)*(C0 - 3*C2/2) + nuVC and
%      C2t = (1-eta)*C2, and w the Faddeeva function:
%      if C2t = 0,  Z = c*(i*(nu0 - nu) + C0t),
%                   A = sqrt(pi)*c*w(i*Z),
%                   B = sqrt(pi)*c*((1 - Z^2)*w(i*Z) + Z/sqrt(pi));
%      otherwise,   X = (i*(nu0 - nu) + C0t)/C2t,  sqrt(Y) = 1/(2*c*C2t),
%                   Z1 = sqrt(X + Y) - sqrt(Y),  Z2 = sqrt(X + Y) + sqrt(Y)
%                   (principal square roots),
%                   A = sqrt(pi)*c*(w(i*Z1) - w(i*Z2)),
%                   B = (-1 + sqrt(pi)/(2*sqrt(Y))*((1 - Z1^2)*w(i*Z1)
%                        - (1 - Z2^2)*w(i*Z2)))/C2t;
%      and then
%
%         F = A / (pi*(1 - (nuVC - eta*(C0 - 3*C2/2))*A + eta*C2*B)).
%
%      w is computed here at full double precision.
%
%   [F, DF] = vorlanHTP(...) also returns a 1x1 struct of the complex partial
%   derivatives of F, one field of F's size for each line parameter, in this
%   order: nu0, GammaD, Gamma0, Gamma2, Delta0, Delta2, nuVC, eta.  The
%   derivative by nu is -DF.nu0.  DF is computed only when it is asked for:
%   F alone costs least.
%
%   Parameters and units
%      All but ETA are in one unit of wavenumber (e.g. cm^-1) or of frequency,
%      and F is in its inverse; ETA has no unit.  HITRAN's HTP parameters,
%      scaled to the pressure and temperature of interest, map one to one:
%         GAMMAD  the Doppler half width at half maximum,
%                 nu0/c_light*sqrt(2*log(2)*k_B*T/m)
%         GAMMA0  gamma0, the speed-averaged collisional half width
%         GAMMA2  gamma2, its speed dependence
%         DELTA0  delta0, the speed-averaged pressure shift
%         DELTA2  delta2, its speed dependence
%         NUVC    nuVC, the frequency of velocity-changing collisions
%         ETA     eta, the correlation between velocity- and
%                 phase-changing collisions
%      First-order line mixing with coefficient Y is real(F) + Y*imag(F).
%
%   Limiting profiles (by zeros of the other parameters)
%      speed-dependent Voigt                   NUVC = ETA = 0
%      Rautian (hard collisions)               GAMMA2 = DELTA2 = ETA = 0
%      speed-dependent Rautian (speed-dependent
%        Nelkin-Ghatak, hard collisions)       ETA = 0
%      Voigt                                   GAMMA2 = DELTA2 = NUVC = ETA = 0:
%         real(F) = vorlanVoigt(nu - nu0 - Delta0, GammaD/sqrt(2*log(2)), Gamma0)
%      Lorentz                                 GAMMAD = 0 as well
%      Gauss (Doppler)                         GAMMA0 = GAMMA2 = DELTA0 =
%                                              DELTA2 = NUVC = ETA = 0
%      GAMMAD = 0 in general gives the Doppler-free limit.
%
%   Inputs
%      Nine real, full numeric arrays of class double, single, any integer
%      class or logical, taken as double.  They combine element by element as
%      the arithmetic operators combine them: equal sizes, scalars, or sizes
%      whose every dimension is equal or 1.  Scalars cost no extra memory: a
%      line grid with scalar parameters needs none beyond F.
%
%   Outputs
%      F: complex double array of the combined size, all dimensions kept.
%      DF: 1x1 struct of complex double arrays of that size.
%
%   Edge values
%      A NaN argument, a negative GammaD, Gamma0, Gamma2 or nuVC, or eta
%      outside [0, 1] gives NaN + NaN*i in that element only (no error, so
%      that a fitting routine may step there).  |nu - nu0| = Inf gives 0.
%
%   Errors (identifier: message)
%      vorlan:nargin         Nine inputs required in vorlanHTP.
%      vorlan:nargout        At most two outputs in vorlanHTP.
%      vorlan:notNumeric     Input array is not numeric
%      vorlan:sparse         Input array is sparse
%      vorlan:complex        Input array is complex
%      vorlan:nonconformant  Input arrays are nonconformant
%      vorlan:tooLarge       Input array is too large  (more than 2^31-1 elements)
%      vorlan:outOfMemory    Out of memory
%   The call is checked in that order (each input in turn for class,
%   sparse storage and complex values) before any result is created.
%
%   Examples
%      % A line at 1000 cm^-1 on a grid, absorption and dispersion:
%      nu = linspace(999.9, 1000.1, 2001);
%      F = vorlanHTP(nu, 1000, 0.01, 0.02, 0.002, -0.001, 0, 0.005, 0.1);
%      plot(nu, real(F), nu, imag(F))
%
%      % The Jacobian of a fit of (nu0, Gamma0, nuVC) to a measured
%      % absorption profile:
%      [F, dF] = vorlanHTP(nu(:), 1000, 0.01, 0.02, 0.002, -0.001, 0, 0.005, 0.1);
%      J = real([dF.nu0, dF.Gamma0, dF.nuVC]);
%
%   See also: vorlanVoigt, vorlanPlasmaZ
