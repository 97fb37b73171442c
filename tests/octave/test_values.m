% Values against the host's own w(z) = erfcx(-iz), region by region.
%
% Octave's erfcx is not exact either.  Measured against 40-digit values
% (mpmath) on these very grids, its relative error was at most 8e-16 in the
% series region, 1.1e-14 in the Taylor ring, 8.4e-15 in the continued-fraction
% region near the origin and 4.1e-15 far out, all of it close to the real axis
% with |x| between 3 and 8; below the real axis it was at most 7.6e-15 of the
% size of the two terms of w(z) = 2 exp(-z^2) - w(-z).  Each tolerance below is
% the plug-in's own accuracy plus that measured error of the comparison.
function test_values ()
  g = value_grids ();
  upper_plane = [g.series; g.taylor; g.fraction; g.far];
  everywhere = [upper_plane; g.lower];

  % The power series runs with single-precision reciprocals: 3.6e-7 relative.
  expect_relative ("vorlanRegion", g.series, 3.6e-7, "series region");
  % Taylor and continued fraction: 3e-15 relative, plus erfcx's 1.2e-14.
  expect_relative ("vorlanRegion", g.taylor, 1.5e-14, "Taylor region");
  expect_relative ("vorlanRegion", g.fraction, 1.5e-14, "continued-fraction region");
  expect_relative ("vorlanRegion", g.far, 1e-14, "far out");  % erfcx: 4.1e-15 there
  check_lower_half_plane (g.lower);

  % vorlan is the same kernel behind a stricter input check.
  expect_true (same_bits (vorlan (everywhere), vorlanRegion (everywhere)), ...
               "vorlan and vorlanRegion differ on complex input");

  % The rational formula's own error peaks at 1.66e-5 relative on the real axis
  % near |x| = 2.47; it overflows beyond |z| ~ 1e44.
  reachable = upper_plane(abs (upper_plane) < 1e43);
  expect_relative ("vorlanRational", reachable, 1.7e-5, "upper half-plane");
  check_rational_lower_half_plane (g.lower);

  check_real_input (g);
  check_mirror_symmetry ("vorlanRegion", everywhere);
  check_mirror_symmetry ("vorlanRational", everywhere(abs (everywhere) < 1e43));
endfunction

function expect_relative (plugin, z, tolerance, where)
  w = feval (plugin, z);
  reference = erfcx (-1i * z);
  ratio = abs (w - reference) ./ (tolerance * abs (reference));
  report_worst (plugin, where, z, w, reference, ratio);
endfunction

% Fails with the worst point when any ratio error / allowed exceeds 1 (or is NaN).
function report_worst (plugin, where, z, w, reference, ratio)
  ratio(isnan (ratio)) = Inf;
  [worst, k] = max (ratio);
  expect_true (worst <= 1, ["%s, %s: %d of %d points out of tolerance; worst at ", ...
                             "z = %.17g%+.17gi: got %.17g%+.17gi, erfcx %.17g%+.17gi ", ...
                             "(%.3g times the tolerance)"], ...
               plugin, where, sum (ratio > 1), numel (z), real (z(k)), imag (z(k)), real (w(k)), ...
               imag (w(k)), real (reference(k)), imag (reference(k)), worst);
endfunction

% Below the real axis the two terms of w(z) = 2 exp(-z^2) - w(-z) may cancel, so
% errors are measured against the terms' size.  Outside the series region the
% kernel's terms are good to 1e-14, plus up to eps |z|^2 twice from rounding
% x^2 - y^2 and 2xy before exp, cos and sin; erfcx adds its 7.6e-15.
function [terms, in_series] = reflection_terms (z)
  terms = 2 * abs (exp (-z .^ 2)) + abs (erfcx (1i * z));
  q = (abs (real (z)) / 6.300000190734863) .^ 2 + (abs (imag (z)) / 4.400000095367432) .^ 2;
  in_series = q < 0.085264;
endfunction

function check_lower_half_plane (z)
  [terms, in_series] = reflection_terms (z);
  allowed = (1e-14 + 2 * eps * abs (z) .^ 2 + 8e-15) .* terms;
  allowed(in_series) = 3.6e-7 * terms(in_series);
  w = vorlanRegion (z);
  reference = erfcx (-1i * z);
  report_worst ("vorlanRegion", "lower half-plane", z, w, reference, ...
                abs (w - reference) ./ allowed);
endfunction

% The formula's error enters through w(-z) alone: 2e-5 |w(-z)|.
function check_rational_lower_half_plane (z)
  terms = reflection_terms (z);
  allowed = 2e-5 * abs (erfcx (1i * z)) + (1e-14 + 2 * eps * abs (z) .^ 2 + 8e-15) .* terms;
  w = vorlanRational (z);
  reference = erfcx (-1i * z);
  report_worst ("vorlanRational", "lower half-plane", z, w, reference, ...
                abs (w - reference) ./ allowed);
endfunction

% Real input is taken with +0 imaginary parts.
function check_real_input (g)
  x = [-30 -6.3 -2.5 -1 -0 0 1e-300 0.5 1.83 2 6.3 7 30 1e5 1e150, real(g.taylor(1:50)).'];
  for plugin = {"vorlanRegion", "vorlanRational"}
    expect_true (same_bits (feval (plugin{1}, x), feval (plugin{1}, complex (x, 0))), ...
                 "%s: real input differs from complex(x, 0)", plugin{1});
  endfor
  % On the real axis Re w(x) = exp(-x^2), the Gaussian part of the Voigt
  % profile; erfcx's error is in the imaginary part there.
  x = linspace (-6, 6, 241);
  gaussian = exp (-x .^ 2);
  w = vorlanRegion (x);
  outside_series = abs (x) >= 1.84;
  expect_true (abs (real (w(outside_series)) - gaussian(outside_series)) ...
               <= 3e-15 * gaussian(outside_series), "vorlanRegion: Re w(x) is not exp(-x^2)");
  expect_true (abs (real (w) - gaussian) <= 3.6e-7 * abs (w), ...
               "vorlanRegion: Re w(x) far from exp(-x^2) in the series region");
endfunction

% w(-conj z) = conj w(z): the quadrant mappings must agree.
function check_mirror_symmetry (plugin, z)
  w = feval (plugin, z);
  mirrored = feval (plugin, complex (-real (z), imag (z)));
  expect_true (abs (mirrored - conj (w)) <= 4 * eps * abs (w), ...
               "%s: w(-conj z) is not conj w(z)", plugin);
endfunction
