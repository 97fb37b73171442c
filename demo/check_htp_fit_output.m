% The multispectrum Hartmann-Tran fit run headless, as the test suite runs
% it: the Voigt fit must leave a residual far above the noise and the
% Hartmann-Tran fit only the noise; both Hartmann-Tran fits must converge to
% the same parameters, each within three standard errors of the truth, and
% vorlanHTP's derivatives must save model evaluations; the picture must be
% real.  A wrong derivative from vorlanHTP shows as a fit that stops
% elsewhere, standard errors unlike the finite differences' or more calls.
% Without the optim package the check is skipped (ctest reports it as such).
function check_htp_fit_output (plugin_dir, output_dir)
  if (skip_fit_check (fullfile (output_dir, "htp_fit.png")))
    return;
  endif

  result = fit_htp_multispectrum (plugin_dir, output_dir);

  assert (all (result.converged > 0), "a fit did not converge: %d %d %d", result.converged);
  % The Voigt model misses the line shape by many times the noise in every
  % spectrum; the Hartmann-Tran model leaves the noise (1 within the spread
  % of 401 points' mean square).
  assert (all (result.rms_voigt > 5), "the Voigt fit leaves only %.2f of the noise", ...
          min (result.rms_voigt));
  assert (all (abs (result.rms_htp - 1) < 0.1), "the fit leaves %.2f of the noise", ...
          max (result.rms_htp));
  deviation = abs (result.fitted - result.truth) ./ result.error;
  [worst, at] = max (deviation);
  assert (worst <= 3, "%s is %.1f standard errors off", result.names{at}, worst);
  % Errors that say something: every parameter to better than 10%.
  assert (all (result.error > 0 & result.error < 0.1 * abs (result.truth)));
  % The same minimum and the same covariance whichever Jacobian led there.
  moved = abs (result.fitted_numeric - result.fitted) ./ result.error;
  assert (max (moved) < 0.01, "the fits differ by %.3g standard errors", max (moved));
  spread = abs (result.error_numeric ./ result.error - 1);
  assert (max (spread) < 1e-3, "standard errors differ by %.3g", max (spread));
  assert (result.analytic.iterations <= result.numeric.iterations + 2);
  assert (result.analytic.model + result.analytic.jacobian < result.numeric.model / 4);

  check_picture (result.png, 600, 1200);
  printf ("\nHartmann-Tran fit demonstration checked\n");
endfunction
