% Asserts that file is a real picture of at least min_rows x min_columns
% pixels: more than 20 kB, ten colours or more, and over 3% of it drawn.
function check_picture (file, min_rows, min_columns)
  assert (exist (file, "file") == 2, "%s was not written", file);
  info = dir (file);
  assert (info.bytes > 20000, "%s is only %d bytes", file, info.bytes);
  image = imread (file);
  assert (rows (image) >= min_rows && columns (image) >= min_columns, "%s is %dx%d pixels", ...
          file, rows (image), columns (image));
  % Curves or a colour map in several colours, over a good part of the page.
  pixels = reshape (image, [], size (image, 3));
  colours = unique (pixels, "rows");
  assert (rows (colours) >= 10, "%s has only %d colours", file, rows (colours));
  drawn = mean (any (pixels != intmax (class (pixels)), 2));
  assert (drawn > 0.03, "%s is %.1f%% blank", file, 100 * (1 - drawn));
endfunction
