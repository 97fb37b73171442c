% [lines, converged] = fit_spectrum (x, y, start)
%
% A least-squares fit of a spectrum of Voigt lines (voigt_spectrum) to the
% values y at the points x, by the optim package's nonlin_curvefit
% (Levenberg-Marquardt), from the line table start ([centre, area, sigma,
% gamma] per row).  Every parameter of every line is fitted; widths and areas
% stay positive.  converged is nonlin_curvefit's flag (positive when it
% converged).  The Jacobian comes from vorlanVoigt's analytic derivatives.
function [lines, converged] = fit_spectrum (x, y, start)
  warning ("off", "Octave:shadowed-function", "local");  % the statistics package's notices
  pkg load optim;
  count = rows (start);
  model = @(p, x) voigt_spectrum (x, reshape (p, count, 4));
  tiny = realmin ();
  settings = optimset ("lbound", [-Inf(count, 1); tiny(ones (3 * count, 1))], "MaxIter", 100,
                       "dfdp", @(p, x, varargin) jacobian (x, reshape (p, count, 4)));
  [p, ~, converged] = nonlin_curvefit (model, start(:), x, y(:), settings);
  lines = reshape (p, count, 4);
endfunction

% d y / d [centres; areas; sigmas; gammas], one column per parameter.
function J = jacobian (x, lines)
  [v, dvdx, dvdsigma, dvdgamma] = vorlanVoigt (x(:) - lines(:, 1).', lines(:, 3).', lines(:, 4).');
  area = lines(:, 2).';
  J = [-area .* dvdx, v, area .* dvdsigma, area .* dvdgamma];
endfunction
