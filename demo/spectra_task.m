% [task, lines] = spectra_task (kind)
%
% Work to spread over workers, one call of task per spectrum: task (lines{k})
% for k = 1:numel (lines), each call independent of the others.
%   "evaluate"  64 spectra of 4096 points, 12 Voigt lines each: task returns
%               the spectrum (a column).
%   "fit"       8 spectra of 2048 points, 3 lines each: task makes the
%               spectrum of the given lines with a ripple of 1e-3 as the
%               measurement, fits all 12 parameters from a start 1 % to 30 %
%               off (fit_spectrum) and returns the fitted line table.
% The lines are reproducible (spectra_batch), so every session has the same
% work.
function [task, lines] = spectra_task (kind)
  switch (kind)
    case "evaluate"
      batch = spectra_batch (64, 4096, 12);
      task = @(lines) voigt_spectrum (batch.x, lines);
    case "fit"
      batch = spectra_batch (8, 2048, 3);
      ripple = 1 + 1e-3 * sin (1:numel (batch.x)).';
      task = @(lines) fit_spectrum (batch.x, voigt_spectrum (batch.x, lines) .* ripple,
                                    lines .* [1.01, 1.2, 0.8, 1.3]);
    otherwise
      error ("spectra_task: unknown kind '%s'", kind);
  endswitch
  lines = batch.lines;
endfunction
