% batch = spectra_batch (count, points, lines_per_spectrum)
%
% A reproducible set of spectra to spread over workers: batch.x holds the
% common abscissa (points values on [0, 100]) and batch.lines{k} the line
% table of spectrum k ([centre, area, sigma, gamma] per row, see
% voigt_spectrum; centres ascending).  The tables come from a fixed seed of a local generator, so
% the same call gives the same batch in every session.
function batch = spectra_batch (count, points, lines_per_spectrum)
  batch.x = linspace (0, 100, points).';
  uniform = uniform_sequence (4 * lines_per_spectrum * count);
  batch.lines = cell (1, count);
  for k = 1:count
    first = 4 * lines_per_spectrum * (k - 1);
    u = reshape (uniform(first + (1:4 * lines_per_spectrum)), lines_per_spectrum, 4);
    % One centre in each of lines_per_spectrum equal slots of [5, 95], so
    % that the lines can be told apart in a fit.
    slot = 90 / lines_per_spectrum;
    centres = 5 + slot * ((0:lines_per_spectrum - 1).' + 0.2 + 0.6 * u(:, 1));
    batch.lines{k} = [centres, 0.5 + 2 * u(:, 2), 0.2 + 1.5 * u(:, 3), 0.05 + 1.5 * u(:, 4)];
  endfor
endfunction

% Numbers in [0, 1) from a 32-bit linear congruential generator run in exact
% integer arithmetic on doubles: independent of the host's random generator
% and its state.
function u = uniform_sequence (count)
  u = zeros (count, 1);
  state = 20261209;
  for k = 1:count
    state = mod (1664525 * state + 1013904223, 2^32);
    u(k) = state / 2^32;
  endfor
endfunction
