% result = fit_htp_multispectrum (plugin_dir, output_dir)
%
% Fits four synthetic spectra of one line at four pressures at once, as line
% lists are made: one set of line parameters for all spectra, the collisional
% ones proportional to the pressure p (Gamma0 = g0 p, Gamma2 = g2 p,
% Delta0 = d0 p, Delta2 = d2 p, nuVC = kappa p), eta, the Doppler width and the
% line centre shared, one area per spectrum.  The data are Hartmann-Tran
% profiles from vorlanHTP with Gaussian noise of 1e-4 of each spectrum's peak
% (fixed seed).  First a Voigt model (vorlanVoigt with its derivatives) is
% fitted, which leaves the W-shaped residual of speed dependence and
% narrowing; from its result the Hartmann-Tran model is fitted by
% nonlin_curvefit with the Jacobian from vorlanHTP's derivatives, then again
% with the optim package's central differences.  Prints the parameters, true
% and fitted, with their standard errors, the residuals' size per spectrum for
% both models and the cost of both Hartmann-Tran fits, and writes htp_fit.png
% (data, both fits, both residuals per pressure) to output_dir.
%
% Units: wavenumbers in 1e-3 cm-1 from the line's nominal position,
% collisional parameters in 1e-3 cm-1 per atm, areas in 1e-3 cm-1 times the
% absorbance's unit.
%
% result holds names (the 12 parameters' names), truth, fitted and error
% (analytic Jacobian), fitted_numeric and error_numeric (finite differences),
% converged (both codes), analytic and numeric (calls, time, iterations),
% voigt (its fitted parameters and errors), rms_voigt and rms_htp (the
% residuals' root mean square per spectrum in units of its noise), the
% pressures and the picture's path.
function result = fit_htp_multispectrum (plugin_dir, output_dir)
  if (nargin < 2)
    error ("usage: fit_htp_multispectrum (plugin_dir, output_dir)");
  endif
  start_fit_demo (plugin_dir, output_dir);

  [data, truth] = synthetic_spectra ();
  printf ("One line at %d pressures (p = %s atm), %d points, Gaussian noise of 1e-4 of each peak;\n", ...
          numel (data.pressures), sprintf ("%g ", data.pressures)(1:end - 1), numel (data.nu));
  printf ("fitted at once by nonlin_curvefit, weighted by each spectrum's noise.\n\n");
  % Each point weighs by its spectrum's signal-to-noise ratio.
  settings = optimset ("weights", 1 ./ data.noise, "TolFun", 1e-12);

  voigt_settings = optimset (settings, "lbound", [0; -Inf; 0; -Inf; zeros(4, 1)]);
  voigt = timed_curvefit (@voigt_model, @voigt_jacobian, voigt_start (data), data, data.y, ...
                          voigt_settings, 1);
  htp_settings = optimset (settings, "lbound", [0; 0; -Inf; -Inf; 0; 0; 0; -Inf; zeros(4, 1)], ...
                           "ubound", [Inf(5, 1); 1; Inf(6, 1)]);
  start = htp_start (voigt.p);
  analytic = timed_curvefit (@htp_model, @htp_jacobian, start, data, data.y, htp_settings, 3);
  numeric = timed_curvefit (@htp_model, [], start, data, data.y, htp_settings, 3);

  result = struct ("names", {parameter_names()}, "truth", truth, "pressures", data.pressures);
  result.fitted = analytic.p;
  result.error = analytic.error;
  result.fitted_numeric = numeric.p;
  result.error_numeric = numeric.error;
  result.converged = [voigt.cvg, analytic.cvg, numeric.cvg];
  result.analytic = rmfield (analytic, {"p", "error"});
  result.numeric = rmfield (numeric, {"p", "error"});
  result.voigt = struct ("p", voigt.p, "error", voigt.error);
  result.rms_voigt = residual_rms (data, voigt_model (voigt.p, data));
  result.rms_htp = residual_rms (data, htp_model (analytic.p, data));

  print_parameter_table (result);
  print_residual_table (result);
  print_cost_table (analytic, numeric);

  warning ("off", "Octave:gnuplot-graphics", "local");
  graphics_toolkit ("gnuplot");
  result.png = fullfile (output_dir, "htp_fit.png");
  plot_htp_fit (data, voigt.p, analytic.p, result.png);
  printf ("\nPicture: %s\n", result.png);
endfunction

% The fitted parameters in their order in p.
function names = parameter_names ()
  names = {"g0", "g2", "d0", "d2", "kappa", "eta", "GammaD", "nu0", ...
           "area 1", "area 2", "area 3", "area 4"};
endfunction

% A CO line of the 2-0 band near 4260 cm-1 in nitrogen at room temperature
% (Doppler half width 5e-3 cm-1), with speed dependence and narrowing of the
% usual size: the best Voigt fit misses the profile by some 1e-3 of its
% peak.  Each spectrum spans 12 half widths either side.
function [data, truth] = synthetic_spectra ()
  pressures = [0.1, 0.25, 0.5, 1];
  truth = [60; 6.5; -4; 0.8; 15; 0.2; 5; 0.3; 100 * pressures'];
  points = 401;
  data.pressures = pressures;
  data.spectrum = kron ((1:numel (pressures))', ones (points, 1));
  data.p = pressures(data.spectrum)';
  half_span = 12 * (truth(7) + truth(1) * pressures);
  data.nu = cell2mat (arrayfun (@(s) linspace (-s, s, points)', half_span', "UniformOutput", false));
  clean = htp_model (truth, data);
  peaks = accumarray (data.spectrum, clean, [], @max);
  data.noise = 1e-4 * peaks(data.spectrum);
  randn ("state", 2026129);
  data.y = clean + data.noise .* randn (size (clean));
endfunction

% What a user would start the Voigt fit from: g0 roughly the highest
% pressure's half width, the Doppler width from the temperature, no shift,
% the areas summed from the data.
function p = voigt_start (data)
  areas = accumarray (data.spectrum, data.y .* gradient (data.nu));
  p = [50; 0; 5; 0; areas];
endfunction

% The Hartmann-Tran fit starts where the Voigt fit ends, with the speed
% dependence a tenth of the width, narrowing of that size and eta 0.1.
function p = htp_start (voigt)
  p = [voigt(1); 0.1 * voigt(1); voigt(2); 0; 0.1 * voigt(1); 0.1; voigt(3:end)];
endfunction

% The Voigt model: area times V(nu - nu0 - d0 p; sigma, g0 p) with sigma the
% Gaussian's standard deviation, GammaD / sqrt (2 ln 2).  Parameters g0, d0,
% GammaD, nu0, the areas.
function y = voigt_model (q, data)
  y = q(4 + data.spectrum) .* voigt_profile (q, data);
endfunction

function varargout = voigt_profile (q, data)
  [varargout{1:nargout}] = vorlanVoigt (data.nu - q(4) - q(2) * data.p, q(3) / sqrt (2 * log (2)), ...
                                        q(1) * data.p);
endfunction

function J = voigt_jacobian (q, data)
  [v, dx, dsigma, dgamma] = voigt_profile (q, data);
  area = q(4 + data.spectrum);
  dgammad = dsigma / sqrt (2 * log (2));
  J = [area .* data.p .* dgamma, -area .* data.p .* dx, area .* dgammad, ...
       -area .* dx, v .* (data.spectrum == 1:4)];
endfunction

% The Hartmann-Tran model: area times Re F, one call of vorlanHTP for all
% spectra (the collisional parameters as columns over the points).
function y = htp_model (q, data)
  y = q(8 + data.spectrum) .* real (htp_profile (q, data));
endfunction

function varargout = htp_profile (q, data)
  p = data.p;
  [varargout{1:nargout}] = vorlanHTP (data.nu, q(8), q(7), q(1) * p, q(2) * p, q(3) * p, ...
                                      q(4) * p, q(5) * p, q(6));
endfunction

% The chain rule through vorlanHTP's derivatives: d/dg0 = p d/dGamma0 and so
% on for the collisional parameters, the shared ones directly, Re F for the
% areas.
function J = htp_jacobian (q, data)
  [F, dF] = htp_profile (q, data);
  area = q(8 + data.spectrum);
  collisional = area .* data.p;
  J = [collisional .* real(dF.Gamma0), collisional .* real(dF.Gamma2), ...
       collisional .* real(dF.Delta0), collisional .* real(dF.Delta2), ...
       collisional .* real(dF.nuVC), area .* real(dF.eta), area .* real(dF.GammaD), ...
       area .* real(dF.nu0), real(F) .* (data.spectrum == 1:4)];
endfunction

% The residuals' root mean square per spectrum in units of its noise: 1 for
% a model that leaves only the noise.
function rms = residual_rms (data, model)
  rms = sqrt (accumarray (data.spectrum, ((data.y - model) ./ data.noise) .^ 2, [], @mean))';
endfunction

function print_parameter_table (result)
  per_atm = "1e-3 cm-1/atm";
  units = {per_atm, per_atm, per_atm, per_atm, per_atm, "", "1e-3 cm-1", "1e-3 cm-1", "", "", "", ""};
  printf ("Hartmann-Tran parameters (vorlanHTP's Jacobian), standard errors from the fit's covariance:\n\n");
  printf ("  %-8s %-14s %9s %11s %11s %12s\n", "", "unit", "true", "fitted", "std. error", ...
          "|diff|/error");
  within = abs (result.fitted - result.truth) ./ result.error;
  for k = 1:numel (result.names)
    printf ("  %-8s %-14s %9.4g %11.5g %11.3g %12.2f\n", result.names{k}, units{k}, ...
            result.truth(k), result.fitted(k), result.error(k), within(k));
  endfor
  printf ("\n  within 1 error: %d of %d, within 2: %d, within 3: %d (expected about 68%%, 95%%, 99.7%%)\n", ...
          nnz (within <= 1), numel (within), nnz (within <= 2), nnz (within <= 3));
  voigt = result.voigt.p;
  printf ("  the Voigt fit's g0 %.4g, d0 %.4g, GammaD %.4g (true %g, %g, %g)\n", voigt(1), voigt(2), ...
          voigt(3), result.truth([1, 3, 7]));
endfunction

function print_residual_table (result)
  printf ("\nResiduals' root mean square per spectrum, in units of its noise (1: only noise left):\n\n");
  printf ("  %-14s%s\n", "p (atm)", sprintf ("%9g", result.pressures));
  printf ("  %-14s%s\n", "Voigt", sprintf ("%9.2f", result.rms_voigt));
  printf ("  %-14s%s\n", "Hartmann-Tran", sprintf ("%9.2f", result.rms_htp));
endfunction

function print_cost_table (analytic, numeric)
  printf ("\nCost of the Hartmann-Tran fit (same start, same settings; time: median of 3 runs):\n\n");
  printf ("  %-32s %10s %10s %12s %10s\n", "Jacobian", "iterations", "model", "Jacobian", "time");
  printf ("  %-32s %10s %10s %12s %10s\n", "", "", "calls", "calls", "ms");
  fits = {"vorlanHTP's derivatives", analytic; "central differences (optim's)", numeric};
  for r = 1:rows (fits)
    fit = fits{r, 2};
    printf ("  %-32s %10d %10d %12d %10.1f\n", fits{r, 1}, fit.iterations, fit.model, ...
            fit.jacobian, 1e3 * fit.time);
  endfor
  printf ("\n  finite differences take %.1f times the calls of vorlanHTP and %.1f times the time\n", ...
          numeric.model / (analytic.model + analytic.jacobian), numeric.time / analytic.time);
endfunction

% One column per pressure: data and both fits above, the Voigt fit's
% residual below them and the Hartmann-Tran fit's at the bottom, both in
% units of the noise; the middle 40% of each spectrum, where the two models
% differ.
function plot_htp_fit (data, voigt, htp, file)
  fig = figure ("visible", "off");
  count = numel (data.pressures);
  gap = 0.035;
  width = (0.93 - (count - 1) * gap) / count;
  voigt_residual = (data.y - voigt_model (voigt, data)) ./ data.noise;
  htp_residual = (data.y - htp_model (htp, data)) ./ data.noise;
  worst = ceil (max (abs (voigt_residual)));
  for k = 1:count
    in = data.spectrum == k;
    nu = data.nu(in);
    shown = 0.4 * max (nu) * [-1, 1];
    left = 0.055 + (k - 1) * (width + gap);
    top = axes ("position", [left, 0.55, width, 0.38]);
    hold (top, "on");
    plot (top, nu, data.y(in), ".", "color", [0.55 0.55 0.55], "markersize", 4);
    plot (top, nu, voigt_model (voigt, data)(in), "-", "color", [0.85 0.33 0.10], "linewidth", 1.5);
    plot (top, nu, htp_model (htp, data)(in), "k-", "linewidth", 1);
    title (top, sprintf ("p = %g atm", data.pressures(k)));
    xlim (top, shown);
    set (top, "xticklabel", {});
    box (top, "on");
    if (k == 1)
      ylabel (top, "absorbance");
      legend (top, {"data", "Voigt fit", "Hartmann-Tran fit"}, "location", "northwest");
      legend (top, "boxoff");
    endif
    panels = {voigt_residual(in), [0.85 0.33 0.10], 0.30, "Voigt residual / noise", [-worst, worst];
            htp_residual(in), [0.2 0.2 0.2], 0.07, "HTP residual / noise", [-4, 4]};
    for r = 1:rows (panels)
      ax = axes ("position", [left, panels{r, 3}, width, 0.2]);
      plot (ax, nu, panels{r, 1}, ".", "color", panels{r, 2}, "markersize", 4);
      xlim (ax, shown);
      ylim (ax, panels{r, 5});
      box (ax, "on");
      if (k == 1)
        ylabel (ax, panels{r, 4});
      endif
      if (r == 1)
        set (ax, "xticklabel", {});
      else
        xlabel (ax, "nu - nu_{ref} (10^{-3} cm^{-1})");
      endif
    endfor
  endfor
  save_png (fig, file, [14, 7.5]);
  close (fig);
endfunction
