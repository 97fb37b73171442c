% w(z) from the three plug-ins beside Octave's own erfcx(-1i*z), which is
% w(z) by its definition exp(-z^2) erfc(-iz), at a few points of each region.
function print_value_table ()
  points = [0.5+0.3i, 1.2+0.9i, ...  % power series
            2.47, 2+2i, ...          % Taylor ring (2.47: the rational's worst)
            7+1i, 3+6i, ...          % continued fraction
            2-1.5i];                 % lower half-plane, by reflection
  printf ("w(z) = exp(-z^2) erfc(-iz) from the plug-ins and from Octave's erfcx(-1i*z)\n");
  printf ("(rel. diff = |w - erfcx(-1i*z)| / |erfcx(-1i*z)|)\n");
  for z = points
    reference = erfcx (-1i * z);
    if (imag (z) < 0)
      where = "lower half-plane, w(-z) by the";
    else
      where = "";
    endif
    name = region_names (abs (real (z)) + 1i * abs (imag (z))){1};
    printf ("\nz = %s   (%s%s%s, q = %.3f)\n", complex_text (z, "%g", "%g"), where, ...
            ifelse_space (where), region_label (name), region_measure (z));
    print_row ("vorlanRegion", vorlanRegion (z), reference);
    print_row ("vorlan", vorlan (complex (z)), reference);
    print_row ("vorlanRational", vorlanRational (z), reference);
    printf ("  %-15s %s\n", "erfcx(-1i*z)", complex_text (reference, "%22.15e", "%.15e"));
  endfor
endfunction

function print_row (name, value, reference)
  printf ("  %-15s %s   rel. diff %.1e\n", name, complex_text (value, "%22.15e", "%.15e"), ...
          abs (value - reference) / abs (reference));
endfunction

function s = ifelse_space (where)
  s = repmat (" ", 1, ! isempty (where));
endfunction

function s = complex_text (z, real_format, imag_format)
  if (imag (z) < 0)
    sign = "-";
  else
    sign = "+";
  endif
  s = sprintf ([real_format " %s " imag_format "i"], real (z), sign, abs (imag (z)));
endfunction
