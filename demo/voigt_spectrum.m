% y = voigt_spectrum (x, lines)
%
% A spectrum made of Voigt lines, evaluated at the points x (any shape; y is a
% column).  Each row of lines is one line: [centre, area, sigma, gamma], with
% sigma the standard deviation of its Gaussian and gamma the half width of its
% Lorentzian.  All lines go through the plug-in in one call of numel (x) times
% rows (lines) points, so that a large spectrum reaches the plug-in's worker
% threads.
%
% The line shape is chosen in voigt_profile below, in one place: the spectra
% across workers and the fits (fit_spectrum) all follow it.
function y = voigt_spectrum (x, lines)
  points = numel (x);
  count = rows (lines);
  offsets = repmat (x(:), 1, count) - repmat (lines(:, 1).', points, 1);
  sigmas = repmat (lines(:, 3).', points, 1);
  gammas = repmat (lines(:, 4).', points, 1);
  profiles = voigt_profile (offsets, sigmas, gammas);
  % sum adds along each row in a fixed order, so the bits do not depend on
  % where the spectrum is evaluated (a matrix product could go to a threaded
  % BLAS).
  y = sum (profiles .* repmat (lines(:, 2).', points, 1), 2);
endfunction

% The Voigt profile V(dx; sigma, gamma) elementwise over arrays of one size.
function v = voigt_profile (dx, sigma, gamma)
  v = vorlanVoigt (dx, sigma, gamma);
endfunction
