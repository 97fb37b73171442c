% A region's name as the tables print it.
function label = region_label (name)
  switch (name)
    case "series"
      label = "power series";
    case "taylor"
      label = "Taylor ring";
    case "fraction"
      label = "continued fraction";
  endswitch
endfunction
