% Voigt line shapes V(x; sigma, gamma) = Re w((x + i gamma) / (sigma sqrt 2)) /
% (sigma sqrt(2 pi)), the convolution of a Gaussian of standard deviation
% sigma with a Lorentzian of half width gamma, for several gamma/sigma at one
% full width at half maximum, so that the shapes differ only in how the
% Lorentzian share moves area from the core into the wings.
function plot_voigt_profiles (file)
  ratios = [0, 0.1, 0.3, 1, 3, 10];
  x = linspace (-6, 6, 1201);
  colours = lines (numel (ratios));

  fig = figure ("visible", "off");
  linear_axes = subplot (1, 2, 1);
  hold on;
  log_axes = subplot (1, 2, 2);
  hold on;
  % The solid curves first, so that the legend's entries name them.
  legend_text = cell (1, numel (ratios));
  parameters = zeros (numel (ratios), 2);
  for k = 1:numel (ratios)
    [sigma, gamma] = unit_width_parameters (ratios(k));
    parameters(k, :) = [sigma, gamma];
    v = voigt (@vorlanRegion, x, sigma, gamma);
    v(v <= 0) = NaN;  % the Gaussian's far tail underflows: keep it off the log axes
    for ax = [linear_axes, log_axes]
      plot (ax, x, v, "-", "color", colours(k, :), "linewidth", 3);
    endfor
    legend_text{k} = sprintf ("\\gamma/\\sigma = %g", ratios(k));
  endfor
  for k = 1:numel (ratios)
    v_rational = voigt (@vorlanRational, x, parameters(k, 1), parameters(k, 2));
    v_rational(v_rational <= 0) = NaN;  % 1.7e-5 absolute: not all of the tail is positive
    for ax = [linear_axes, log_axes]
      plot (ax, x, v_rational, "--", "color", [0 0 0], "linewidth", 1);
    endfor
  endfor

  set (log_axes, "yscale", "log");
  ylim (log_axes, [1e-4, 2]);
  ylim (linear_axes, [0, 1]);
  xlim (linear_axes, [-2.5, 2.5]);
  for ax = [linear_axes, log_axes]
    xlabel (ax, "x / FWHM");
    ylabel (ax, "V(x; \\sigma, \\gamma)");
    grid (ax, "on");
    box (ax, "on");
  endfor
  title (linear_axes, "Voigt profiles of equal width, FWHM = 1 (vorlanRegion)");
  title (log_axes, "log scale: Lorentzian wings (dashed: vorlanRational)");
  legend (linear_axes, legend_text, "location", "northeast");
  legend (linear_axes, "boxoff");
  save_png (fig, file, [12, 4.8]);
  close (fig);
endfunction

function v = voigt (w, x, sigma, gamma)
  v = real (w ((x + 1i * gamma) / (sigma * sqrt (2)))) / (sigma * sqrt (2 * pi));
endfunction

% sigma and gamma = ratio * sigma with full width at half maximum 1: the width
% scales with sigma, so it is solved for once at sigma = 1.
function [sigma, gamma] = unit_width_parameters (ratio)
  v = @(x) voigt (@vorlanRegion, x, 1, ratio);
  peak = v (0);
  half_width = fzero (@(x) v (x) - peak / 2, [0, 2 + 2 * ratio]);
  sigma = 1 / (2 * half_width);
  gamma = ratio * sigma;
endfunction
