% timings = spectra_across_workers (hosts)
%
% The demonstration of many spectra across workers (spectra_task): 64 spectra
% of 4096 points with 12 Voigt lines each evaluated, and 8 spectra of 3 lines
% fitted, first in this process, then over worker processes of this machine
% (parcellfun, one per CPU this process may use, each with one plug-in thread
% per call), and, given hosts (a cell array of names of machines running the
% parallel package's server, see the README), over them (netcellfun).  Prints
% the time of each route and whether every result has the bits of this
% process's; timings holds the times in seconds, one row per route,
% [evaluation, fits].
function timings = spectra_across_workers (hosts)
  pkg load parallel;
  [evaluate, lines] = spectra_task ("evaluate");
  [fit, fit_lines] = spectra_task ("fit");
  printf ("%d spectra evaluated, %d fitted\n\n", numel (lines), numel (fit_lines));
  printf ("%-40s %12s %12s  %s\n", "route", "evaluate/s", "fit/s", "bits as in one process");

  [reference{1:2}, timings] = run_route (@(task, work) cellfun (task, work, "UniformOutput", false),
                                         evaluate, lines, fit, fit_lines);
  report ("this process", timings, {true, true});

  % Workers share the machine's cores: one plug-in thread each.
  workers = nproc ();
  saved_cap = getenv ("VORLAN_NUM_THREADS");
  setenv ("VORLAN_NUM_THREADS", "1");
  unwind_protect
    on_workers = @(task, work) parcellfun (workers, task, work, "UniformOutput", false,
                                           "VerboseLevel", 0);
    [local{1:2}, times] = run_route (on_workers, evaluate, lines, fit, fit_lines);
  unwind_protect_cleanup
    restore_cap (saved_cap);
  end_unwind_protect
  timings(end+1, :) = times;
  report (sprintf ("parcellfun, %d processes", workers), times, same_results (local, reference));

  if (nargin > 0)
    connections = pconnect (hosts, struct ("use_tls", false));
    unwind_protect
      on_hosts = @(task, work) netcellfun (connections, task, work, "UniformOutput", false);
      [remote{1:2}, times] = run_route (on_hosts, evaluate, lines, fit, fit_lines);
    unwind_protect_cleanup
      sclose (connections);
    end_unwind_protect
    timings(end+1, :) = times;
    report (sprintf ("netcellfun, %d hosts", numel (hosts)), times, same_results (remote, reference));
  endif
endfunction

function [spectra, fits, times] = run_route (map, evaluate, lines, fit, fit_lines)
  start = tic ();
  spectra = map (evaluate, lines);
  times(1) = toc (start);
  start = tic ();
  fits = map (fit, fit_lines);
  times(2) = toc (start);
endfunction

function same = same_results (results, reference)
  same = cellfun (@(r, e) isequal (typecast (cell2mat (r(:)), "uint64"),
                                   typecast (cell2mat (e(:)), "uint64")),
                  results, reference, "UniformOutput", false);
endfunction

function report (route, times, same)
  answers = {"no", "yes"};
  printf ("%-40s %12.2f %12.2f  %s, %s\n", route, times, answers{1 + same{1}}, answers{1 + same{2}});
endfunction

function restore_cap (saved_cap)
  if (isempty (saved_cap))
    unsetenv ("VORLAN_NUM_THREADS");
  else
    setenv ("VORLAN_NUM_THREADS", saved_cap);
  endif
endfunction
