% vorlan - Faddeeva function w(z) = exp(-z^2)*erfc(-iz)
% Version 1.0.0 08-Dec-2026
%
% Functions (compiled plug-ins; each .m file holds the help text)
%   vorlanRegion   - w(z) by region-based evaluation, real or complex input.
%   vorlan         - w(z) by region-based evaluation, complex input only.
%   vorlanRational - w(z) by a rational approximation, real or complex input.
%   vorlanVoigt    - Voigt line profile and its partial derivatives.
%   vorlanPlasmaZ  - Plasma dispersion function Z and its derivative.
%   vorlanHTP      - Hartmann-Tran line profile and its derivatives.
%
% Building
%   build_vorlan   - Compile the plug-ins with the host's mex command.
