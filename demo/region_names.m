% The method the region-based kernel uses at each point of z, as a cell array
% of "series", "taylor" or "fraction".  q = (|x|/6.3f)^2 + (|y|/4.4f)^2 with the
% kernel's single-precision scales widened to double.
function names = region_names (z)
  q = region_measure (z);
  names = repmat ({"fraction"}, size (z));
  names(q <= 1) = {"taylor"};
  names(q < 0.085264) = {"series"};
endfunction
