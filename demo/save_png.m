% Writes a figure as a PNG of size_inches at 100 pixels per inch.  The size is
% set through the paper position: the gnuplot toolkit drops line widths when
% the size is given in pixels instead.
function save_png (fig, file, size_inches)
  set (fig, "paperunits", "inches", "paperposition", [0, 0, size_inches]);
  print (fig, file, "-dpng", "-r100", "-F:11");
endfunction
