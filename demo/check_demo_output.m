% The demonstration run headless, as the test suite runs it: it must finish,
% write two real pictures, and find each plug-in within its accuracy on the
% committed reference grid (a wrong kernel, a stale plug-in or a damaged grid
% file all show up here).
function check_demo_output (plugin_dir, output_dir)
  pictures = {"voigt_profiles.png", "accuracy_map.png"};
  for k = 1:numel (pictures)
    old = fullfile (output_dir, pictures{k});
    if (exist (old, "file"))
      delete (old);
    endif
  endfor

  summary = vorlan_demo (plugin_dir, output_dir);

  for file = {summary.voigt_png, summary.accuracy_png}
    assert (exist (file{1}, "file") == 2, "%s was not written", file{1});
    info = dir (file{1});
    assert (info.bytes > 20000, "%s is only %d bytes", file{1}, info.bytes);
    image = imread (file{1});
    assert (rows (image) >= 400 && columns (image) >= 1000, "%s is %dx%d pixels", file{1}, ...
            rows (image), columns (image));
    % Curves or a colour map in several colours, over a good part of the page.
    pixels = reshape (image, [], size (image, 3));
    colours = unique (pixels, "rows");
    assert (rows (colours) >= 10, "%s has only %d colours", file{1}, rows (colours));
    drawn = mean (any (pixels != intmax (class (pixels)), 2));
    assert (drawn > 0.03, "%s is %.1f%% blank", file{1}, 100 * (1 - drawn));
  endfor

  % The documented accuracy of each region, y >= 0.
  assert (summary.series.region <= 3.6e-7);
  assert (summary.taylor.region <= 3e-15);
  assert (summary.fraction.region <= 3e-15);
  for name = {"series", "taylor", "fraction"}
    assert (summary.(name{1}).rational <= 1.7e-5, "rational in %s: %g", name{1}, ...
            summary.(name{1}).rational);
  endfor
  % The series region is visibly less accurate than the other two: the map
  % would be wrong if it were not.
  assert (summary.series.region > 1e-10);
  assert (summary.vorlan_identical);
  printf ("\ndemonstration checked\n");
endfunction
