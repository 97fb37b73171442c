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
    check_picture (file{1}, 400, 1000);
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
