% skip = skip_fit_check (picture)
%
% For the fit demonstrations' checks: true, with the line ctest takes for a
% skipped test, when the optim package is not installed; otherwise false,
% and an earlier picture is deleted so that the check sees the one written
% now.
function skip = skip_fit_check (picture)
  skip = isempty (pkg ("list", "optim"));
  if (skip)
    printf ("SKIPPED: the optim package is not installed (Debian: octave-optim)\n");
  elseif (exist (picture, "file"))
    delete (picture);
  endif
endfunction
