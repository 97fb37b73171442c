% log10 of the relative error |w - w_ref| / |w_ref| of vorlanRegion and
% vorlanRational over the reference grid, side by side on one colour scale,
% with the region-based kernel's region boundaries drawn in.  Errors below
% 1e-17 (exact values included) are shown at 1e-17.
function plot_accuracy_map (grid, file)
  floor_exponent = -17;
  ceiling_exponent = -4;
  panels = {grid.error_region, "vorlanRegion (vorlan is identical)";
            grid.error_rational, "vorlanRational"};

  fig = figure ("visible", "off");
  set (fig, "colormap", jet (13));  % one colour per decade
  for k = 1:rows (panels)
    ax = axes ("position", [0.04 + 0.5 * (k - 1), 0.1, 0.42, 0.8]);
    e = log10 (max (panels{k, 1}, 10 ^ floor_exponent));
    e(isnan (e)) = ceiling_exponent;
    imagesc (ax, grid.x, grid.y, e, [floor_exponent, ceiling_exponent]);
    axis (ax, "xy");
    axis (ax, "image");
    hold (ax, "on");
    draw_region_boundaries (ax);
    label_regions (ax);
    hold (ax, "off");
    xlabel (ax, "Re z");
    ylabel (ax, "Im z");
    title (ax, panels{k, 2});
    bar = colorbar (ax);
    ylabel (bar, "log_{10} relative error");
  endfor
  save_png (fig, file, [13, 4.6]);
  close (fig);
endfunction

% The ellipses q = 0.085264 (power series inside) and q = 1 (continued
% fraction outside).
function draw_region_boundaries (ax)
  t = linspace (0, 2 * pi, 400);
  for q = [0.085264, 1]
    plot (ax, 6.300000190734863 * sqrt (q) * cos (t), 4.400000095367432 * sqrt (q) * sin (t), ...
          "w--", "linewidth", 2);
  endfor
endfunction

function label_regions (ax)
  text (ax, 0, 0.55, "series", "horizontalalignment", "center", "color", "k");
  text (ax, 0, 2.9, "Taylor", "horizontalalignment", "center", "color", "w");
  text (ax, 0, 6.3, "continued fraction", "horizontalalignment", "center", "color", "w");
  text (ax, 0, -3.2, "y < 0: reflection", "horizontalalignment", "center", "color", "w");
endfunction
