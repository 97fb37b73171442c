% The committed reference grid (see generate_accuracy_grid.py) with both
% methods' relative errors.  Fields x, y (vectors of the axes), z, w (the
% reference values), error_region, error_rational: matrices with one row per
% y and one column per x.
function grid = load_accuracy_grid (file)
  data = dlmread (file, ",", 1, 0);
  grid.x = unique (data(:, 1)).';
  grid.y = unique (data(:, 2));
  shape = [numel(grid.x), numel(grid.y)];
  if (prod (shape) != rows (data))
    error ("vorlan_demo: %s is not a full grid", file);
  endif
  % The file runs through x fastest.
  grid.z = reshape (complex (data(:, 1), data(:, 2)), shape).';
  grid.w = reshape (complex (data(:, 3), data(:, 4)), shape).';
  grid.error_region = relative_error (vorlanRegion (grid.z), grid.w);
  grid.error_rational = relative_error (vorlanRational (grid.z), grid.w);
endfunction

function e = relative_error (value, reference)
  e = abs (value - reference) ./ abs (reference);
endfunction
