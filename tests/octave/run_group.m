% Runs one group of checks inside the host, with the arguments given, and ends
% the session with exit code 0 when every check held and 1 otherwise, printing
% each failed check.  ctest reads nothing but the exit code.
function run_group (group, varargin)
  global vorlan_failures vorlan_checks
  vorlan_failures = {};
  vorlan_checks = 0;
  try
    feval (group, varargin{:});
  catch err
    vorlan_failures{end+1} = sprintf ("%s stopped: %s [%s]", group, err.message, err.identifier);
    for k = 1:numel (err.stack)
      vorlan_failures{end+1} = sprintf ("  at %s line %d", err.stack(k).name, err.stack(k).line);
    endfor
  end_try_catch
  for k = 1:numel (vorlan_failures)
    fprintf ("FAILED: %s\n", vorlan_failures{k});
  endfor
  fprintf ("%s: %d checks, %d failed\n", group, vorlan_checks, numel (vorlan_failures));
  fflush (stdout);
  if (isempty (vorlan_failures))
    exit (0);
  endif
  exit (1);
endfunction
