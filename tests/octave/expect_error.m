% Checks that plugin(args{:}) fails with the given identifier and text.  Octave
% puts "plugin: " in front of a MEX function's message; the text after it is
% the plug-in's own.  The call asks for nout outputs (none when not given).
function expect_error (plugin, args, id, text, what, nout)
  if (nargin < 6)
    nout = 0;
  endif
  try
    if (nout == 0)
      feval (plugin, args{:});
    else
      outputs = cell (1, nout);
      [outputs{:}] = feval (plugin, args{:});
    endif
    expect_true (false, "%s(%s) returned instead of failing with %s", plugin, what, id);
  catch err
    message = err.message;
    prefix = [plugin ": "];
    if (strncmp (message, prefix, numel (prefix)))
      message = message(numel (prefix) + 1:end);
    endif
    expect_true (strcmp (err.identifier, id), "%s(%s): identifier '%s', expected '%s'", ...
                 plugin, what, err.identifier, id);
    expect_true (strcmp (message, text), "%s(%s): message '%s', expected '%s'", plugin, ...
                 what, err.message, text);
  end_try_catch
endfunction
