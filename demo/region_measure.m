% q = (|x|/6.3f)^2 + (|y|/4.4f)^2: the region-based kernel sums its power series
% for q < 0.085264, its Taylor expansion up to q = 1 and a continued fraction
% beyond.
function q = region_measure (z)
  q = (abs (real (z)) / 6.300000190734863) .^ 2 + (abs (imag (z)) / 4.400000095367432) .^ 2;
endfunction
