% result = fit_voigt_lines (plugin_dir, output_dir)
%
% Fits a synthetic spectrum of four overlapping Voigt lines with Gaussian
% noise (fixed seed) by least squares with the optim package's
% nonlin_curvefit, twice: with the Jacobian from vorlanVoigt's derivatives,
% and with the package's own central differences.  Prints the parameters,
% true and fitted, with their standard errors from the fit's covariance,
% then the model evaluations and wall time of both fits, and writes
% voigt_fit.png (data, fit, the lines, residuals) to output_dir.
%
% result holds the true, fitted (analytic Jacobian) and finite-difference
% parameters and standard errors (4 x 4 arrays, one row per line, columns
% amplitude, centre, sigma, gamma), the fits' convergence codes, their
% evaluation counts and times, the noise level and the picture's path.
function result = fit_voigt_lines (plugin_dir, output_dir)
  if (nargin < 2)
    error ("usage: fit_voigt_lines (plugin_dir, output_dir)");
  endif
  start_fit_demo (plugin_dir, output_dir);

  [x, y, truth, noise] = synthetic_spectrum ();
  start = starting_guess ();
  printf ("Four overlapping Voigt lines, %d points, Gaussian noise of standard deviation %g;\n", ...
          numel (x), noise);
  printf ("fitted by nonlin_curvefit (optim %s) from a rough start.\n\n", optim_version ());

  analytic = timed_fit (x, y, start, true);
  numeric = timed_fit (x, y, start, false);
  print_parameter_table (truth, analytic);
  print_cost_table (analytic, numeric);

  result = struct ("truth", truth, "noise", noise);
  result.fitted = unpack (analytic.p);
  result.error = unpack (analytic.error);
  result.fitted_numeric = unpack (numeric.p);
  result.error_numeric = unpack (numeric.error);
  result.converged = [analytic.cvg, numeric.cvg];
  result.analytic = rmfield (analytic, {"p", "error"});
  result.numeric = rmfield (numeric, {"p", "error"});

  warning ("off", "Octave:gnuplot-graphics", "local");
  graphics_toolkit ("gnuplot");
  result.png = fullfile (output_dir, "voigt_fit.png");
  plot_voigt_fit (x, y, analytic.p, result.png);
  printf ("\nPicture: %s\n", result.png);
endfunction

% Four lines in two overlapping pairs, gamma/sigma from 0.25 to 1.8; one row
% per line: amplitude (area), centre, sigma, gamma.
function [x, y, truth, noise] = synthetic_spectrum ()
  truth = [3.0, -3.6, 0.55, 0.30;
           2.0, -2.2, 0.45, 0.60;
           4.0,  1.0, 0.80, 0.20;
           1.5,  2.6, 0.25, 0.45];
  noise = 0.01;
  x = linspace (-8, 8, 641)';
  randn ("state", 2026129);
  y = voigt_lines (pack (truth), x) + noise * randn (size (x));
endfunction

% Centres read off the data to about a tenth, equal widths, areas from the
% peak heights: the start a user would type.
function p = starting_guess ()
  p = pack ([2, -3.5, 0.5, 0.5;
             2, -2.0, 0.5, 0.5;
             2,  1.1, 0.5, 0.5;
             2,  2.5, 0.5, 0.5]);
endfunction

% Parameters as nonlin_curvefit wants them: one column, line after line.
function p = pack (lines)
  p = reshape (lines', [], 1);
endfunction

function lines = unpack (p)
  lines = reshape (p, 4, [])';
endfunction

% The spectrum: the sum of the lines, A_k V(x - c_k; sigma_k, gamma_k).  One
% call of vorlanVoigt gives all of them: x (a column) against the centres
% and widths (rows) broadcast to a matrix, one column per line.
function y = voigt_lines (p, x)
  lines = unpack (p);
  y = vorlanVoigt (x - lines(:, 2)', lines(:, 3)', lines(:, 4)') * lines(:, 1);
endfunction

% The Jacobian from the same call with the three derivatives: dy/dA_k = V_k,
% dy/dc_k = -A_k dV/dx, dy/dsigma_k = A_k dV/dsigma, dy/dgamma_k = A_k dV/dgamma.
function jacobian = voigt_lines_jacobian (p, x)
  lines = unpack (p);
  [v, dx, dsigma, dgamma] = vorlanVoigt (x - lines(:, 2)', lines(:, 3)', lines(:, 4)');
  amplitude = lines(:, 1)';
  columns = cat (3, v, -amplitude .* dx, amplitude .* dsigma, amplitude .* dgamma);
  jacobian = reshape (permute (columns, [1 3 2]), numel (x), []);
endfunction

% The fit with the analytic Jacobian or with finite differences: its
% parameters, standard errors, evaluations and the median time of three runs.
function fit = timed_fit (x, y, start, analytic)
  settings = optimset ("lbound", pack (repmat ([0, -Inf, 0, 0], 4, 1)), "TolFun", 1e-12);
  jacobian = [];
  if (analytic)
    jacobian = @voigt_lines_jacobian;
  endif
  fit = timed_curvefit (@voigt_lines, jacobian, start, x, y, settings, 3);
endfunction

function print_parameter_table (truth, fit)
  names = {"amplitude", "centre", "sigma", "gamma"};
  fitted = unpack (fit.p);
  standard_error = unpack (fit.error);
  printf ("Parameters (analytic Jacobian), standard errors from the fit's covariance:\n\n");
  printf ("  %-4s %-9s %9s %11s %11s %12s\n", "line", "parameter", "true", "fitted", ...
          "std. error", "|diff|/error");
  for line = 1:rows (truth)
    for k = 1:numel (names)
      printf ("  %-4d %-9s %9.4f %11.5f %11.5f %12.2f\n", line, names{k}, truth(line, k), ...
              fitted(line, k), standard_error(line, k),
              abs (fitted(line, k) - truth(line, k)) / standard_error(line, k));
    endfor
  endfor
  within = abs (fitted - truth) ./ standard_error;
  printf ("\n  within 1 error: %d of %d, within 2: %d, within 3: %d (expected about 68%%, 95%%, 99.7%%)\n", ...
          nnz (within <= 1), numel (within), nnz (within <= 2), nnz (within <= 3));
endfunction

function print_cost_table (analytic, numeric)
  printf ("\nCost of the fit (same start, same settings; time: median of 3 runs):\n\n");
  printf ("  %-32s %10s %10s %12s %12s %10s\n", "Jacobian", "iterations", "model", "Jacobian", ...
          "vorlanVoigt", "time");
  printf ("  %-32s %10s %10s %12s %12s %10s\n", "", "", "calls", "calls", "calls", "ms");
  fits = {"vorlanVoigt's derivatives", analytic; "central differences (optim's)", numeric};
  for r = 1:rows (fits)
    fit = fits{r, 2};
    printf ("  %-32s %10d %10d %12d %12d %10.1f\n", fits{r, 1}, fit.iterations, fit.model, ...
            fit.jacobian, fit.model + fit.jacobian, 1e3 * fit.time);
  endfor
  printf ("\n  finite differences take %.1f times the model calls and %.1f times the time\n", ...
          numeric.model / (analytic.model + analytic.jacobian), numeric.time / analytic.time);
endfunction

function v = optim_version ()
  v = "?";
  for p = pkg ("list", "optim")
    v = p{1}.version;
  endfor
endfunction

% Data and fit above, each line beneath them, the residuals below with the
% noise's +-1 standard deviation band.
function plot_voigt_fit (x, y, p, file)
  lines = unpack (p);
  fine = linspace (min (x), max (x), 2001)';
  colours = [0.00 0.45 0.74; 0.85 0.33 0.10; 0.47 0.67 0.19; 0.49 0.18 0.56];

  fig = figure ("visible", "off");
  top = axes ("position", [0.08, 0.36, 0.88, 0.58]);
  hold (top, "on");
  plot (top, x, y, ".", "color", [0.55 0.55 0.55], "markersize", 5);
  plot (top, fine, voigt_lines (p, fine), "k-", "linewidth", 2);
  for k = 1:rows (lines)
    plot (top, fine, lines(k, 1) * vorlanVoigt (fine - lines(k, 2), lines(k, 3), lines(k, 4)), ...
          "-", "color", colours(k, :), "linewidth", 1.5);
  endfor
  line_names = arrayfun (@(k) sprintf ("line %d", k), 1:rows (lines), "UniformOutput", false);
  legend_text = [{"data", "fit"}, line_names];
  legend (top, legend_text, "location", "northeast");
  legend (top, "boxoff");
  ylabel (top, "intensity");
  title (top, "Four Voigt lines fitted with vorlanVoigt's derivatives by optim's nonlin_curvefit", ...
         "interpreter", "none");
  set (top, "xticklabel", {});
  xlim (top, [min(x), max(x)]);
  ylim (top, [-0.05, 1.15 * max(y)]);
  grid (top, "on");
  set (top, "gridcolor", [0.8 0.8 0.8], "gridalpha", 1);
  box (top, "on");

  bottom = axes ("position", [0.08, 0.09, 0.88, 0.22]);
  hold (bottom, "on");
  residual = y - voigt_lines (p, x);
  noise = std (residual);
  plot (bottom, [min(x), max(x)], [noise, noise], "--", "color", [0.4 0.4 0.4]);
  plot (bottom, [min(x), max(x)], -[noise, noise], "--", "color", [0.4 0.4 0.4]);
  plot (bottom, x, residual, ".", "color", [0.2 0.2 0.2], "markersize", 5);
  xlim (bottom, [min(x), max(x)]);
  ylim (bottom, 4 * noise * [-1, 1]);
  xlabel (bottom, "x");
  ylabel (bottom, "residual");
  box (bottom, "on");
  save_png (fig, file, [10, 6.4]);
  close (fig);
endfunction
