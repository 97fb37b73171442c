% summary = vorlan_demo (plugin_dir, output_dir)
%
% The demonstration of the three plug-ins: prints w(z) from each beside
% Octave's erfcx(-1i*z) at a few points of every region of the region-based
% kernel, prints the worst relative error of each plug-in per region over the
% committed high-precision grid, and writes two pictures to output_dir:
%   voigt_profiles.png  Voigt line shapes from vorlanRegion and vorlanRational
%   accuracy_map.png    log10 relative error of both methods over the plane
%
% summary holds the worst relative errors per region and plug-in over the
% upper half-plane part of the grid (fields series, taylor, fraction, each
% with region and rational), and the paths of the two pictures.
function summary = vorlan_demo (plugin_dir, output_dir)
  if (nargin < 2)
    error ("usage: vorlan_demo (plugin_dir, output_dir)");
  endif
  addpath (plugin_dir);
  if (! exist (output_dir, "dir"))
    mkdir (output_dir);
  endif
  here = fileparts (mfilename ("fullpath"));

  print_value_table ();

  grid = load_accuracy_grid (fullfile (here, "accuracy_grid.csv"));
  summary = print_grid_accuracy (grid);

  % gnuplot draws headless; its notice that it is not the preferred toolkit
  % is not for this use.
  warning ("off", "Octave:gnuplot-graphics", "local");
  graphics_toolkit ("gnuplot");
  summary.voigt_png = fullfile (output_dir, "voigt_profiles.png");
  plot_voigt_profiles (summary.voigt_png);
  summary.accuracy_png = fullfile (output_dir, "accuracy_map.png");
  plot_accuracy_map (grid, summary.accuracy_png);
  printf ("\nPictures: %s\n          %s\n", summary.voigt_png, summary.accuracy_png);
endfunction

% The worst relative error of each plug-in in each region, y >= 0 only: below
% the real axis the error is relative to |w(-z)|, not |w(z)|, and w has zeros.
function summary = print_grid_accuracy (grid)
  upper = imag (grid.z) >= 0;
  printf ("\nWorst relative error over the %d grid points with y >= 0 (x in [%g, %g], y <= %g),\n",
          nnz (upper), min (grid.x), max (grid.x), max (grid.y));
  printf ("against 50-digit reference values:\n\n");
  printf ("  %-20s %8s %16s %16s\n", "region", "points", "vorlanRegion", "vorlanRational");
  names = {"series", "taylor", "fraction"};
  region_of = region_names (grid.z);
  for k = 1:numel (names)
    in = upper & strcmp (region_of, names{k});
    worst_region = max (grid.error_region(in));
    worst_rational = max (grid.error_rational(in));
    printf ("  %-20s %8d %16.2e %16.2e\n", region_label (names{k}), nnz (in), ...
            worst_region, worst_rational);
    summary.(names{k}) = struct ("region", worst_region, "rational", worst_rational);
  endfor
  identical = isequal (vorlan (complex (grid.z)), vorlanRegion (grid.z));
  printf ("\n  vorlan and vorlanRegion agree bit for bit over the grid: %s\n", ...
          ifelse_text (identical, "yes", "NO"));
  summary.vorlan_identical = identical;
endfunction

function t = ifelse_text (c, a, b)
  if (c)
    t = a;
  else
    t = b;
  endif
endfunction
