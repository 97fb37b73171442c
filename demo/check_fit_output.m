% The fit demonstration run headless, as the test suite runs it: both fits
% must converge to the same parameters, recover the true ones within three
% standard errors, with errors of the size the noise gives, the analytic
% Jacobian must save model evaluations, and the picture must be real.  A
% wrong derivative from vorlanVoigt shows as a fit that stops elsewhere or
% takes more steps than the finite differences.  Without the optim package
% the check is skipped (ctest reports it as such).
function check_fit_output (plugin_dir, output_dir)
  if (skip_fit_check (fullfile (output_dir, "voigt_fit.png")))
    return;
  endif

  result = fit_voigt_lines (plugin_dir, output_dir);

  assert (all (result.converged > 0), "a fit did not converge: %d %d", result.converged);
  deviation = abs (result.fitted - result.truth) ./ result.error;
  assert (all (deviation(:) <= 3), "a parameter is %.1f standard errors off", max (deviation(:)));
  % Standard errors from a sound covariance: positive, and not so large that
  % the recovery above says nothing (the noise is 1/180 of the highest peak).
  assert (all (result.error(:) > 0 & result.error(:) < 0.5 * abs (result.truth(:))));
  % The same minimum whichever Jacobian led there.
  moved = abs (result.fitted_numeric - result.fitted) ./ result.error;
  assert (max (moved(:)) < 0.01, "the fits differ by %.3g standard errors", max (moved(:)));
  % The covariance from vorlanVoigt's derivatives as from finite differences.
  spread = abs (result.error_numeric ./ result.error - 1);
  assert (max (spread(:)) < 1e-3, "standard errors differ by %.3g", max (spread(:)));
  assert (result.analytic.iterations <= result.numeric.iterations + 2);
  assert (result.analytic.model + result.analytic.jacobian < result.numeric.model / 4);

  check_picture (result.png, 500, 900);
  printf ("\nfit demonstration checked\n");
endfunction
