% Points of the complex plane, one column vector per region of the
% region-based kernel.  With q = (|x|/6.3f)^2 + (|y|/4.4f)^2 (single-precision
% scales widened to double), the kernel sums a power series for q < 0.085264,
% a Taylor expansion for 0.085264 <= q <= 1 and a continued fraction beyond.
% The lower half-plane points keep w moderate (|x|, |y| up to a few units).
function g = value_grids ()
  g.series = in_region (cross (linspace (-1.84, 1.84, 47), ...
                               [0, 1e-300, 1e-10, linspace(1e-3, 1.28, 33)]), "series");
  g.series = [g.series; 1e-300; 1e-10i; 1e-8 + 1e-8i];
  g.taylor = in_region (cross (linspace (-6.3, 6.3, 64), [0, linspace(1e-3, 4.4, 41)]), ...
                        "taylor");
  g.fraction = in_region (cross (linspace (-30, 30, 61), [0, linspace(0.01, 30, 31)]), ...
                          "fraction");
  % Far out along rays, up to the kernel's argument limit 5e153.
  [radius, angle] = ndgrid (logspace (1, 150, 60), linspace (0, pi, 13));
  g.far = radius(:) .* exp (1i * angle(:));
  % Below the real axis, around the three regions.
  g.lower = cross (linspace (-5, 5, 41), -[1e-3, linspace(0.05, 3, 30)]);
endfunction

function z = cross (x, y)
  [xx, yy] = ndgrid (x, y);
  z = complex (xx(:), yy(:));
endfunction

function z = in_region (z, name)
  q = (abs (real (z)) / 6.300000190734863) .^ 2 + (abs (imag (z)) / 4.400000095367432) .^ 2;
  switch (name)
    case "series"
      keep = q < 0.085264;
    case "taylor"
      keep = q >= 0.085264 & q <= 1;
    otherwise
      keep = q > 1;
  endswitch
  z = z(keep);
endfunction
