% Many spectra evaluated and fitted across workers give the bits of one
% process: over worker processes of this machine (parcellfun) without
% arguments, and over the hosts named in the cell array hosts (netcellfun; each
% host's server started with its own VORLAN_NUM_THREADS) with it.
function test_spectra_across_workers (hosts)
  pkg load parallel;
  unsetenv ("VORLAN_NUM_THREADS");
  % 12 lines of 4096 points make one plug-in call of 49152 points: enough for
  % the plug-in's worker threads.
  [evaluate, lines] = spectra_task ("evaluate");
  reference = cellfun (evaluate, lines, "UniformOutput", false);
  spectra = [reference{:}];
  expect_true (all (isfinite (spectra(:))) && all (spectra(:) > 0),
               "the spectra are finite and positive");
  [fit, fit_lines] = spectra_task ("fit");
  fit_lines = fit_lines(1:4);  % two per worker is enough here
  fit_reference = cellfun (fit, fit_lines, "UniformOutput", false);
  expect_true (cellfun (@(found, truth) max (abs (found(:) ./ truth(:) - 1)) < 1e-6,
                        fit_reference, fit_lines),
               "every fit finds its lines");

  if (nargin == 0)
    % Each task under a thread cap of its own: 1, 2 or none.
    caps = repmat ({"1", "2", ""}, 1, 22)(1:numel (lines));
    local = parcellfun (2, @(cap, lines) with_thread_cap (cap, evaluate, lines),
                        caps, lines, "UniformOutput", false, "VerboseLevel", 0);
    expect_same_bits (local, reference, "parcellfun, 2 processes, caps 1, 2, none: spectra");
    local = parcellfun (2, @(cap, lines) with_thread_cap (cap, fit, lines), caps(1:numel (fit_lines)),
                        fit_lines, "UniformOutput", false, "VerboseLevel", 0);
    expect_same_bits (local, fit_reference, "parcellfun, 2 processes, caps 1, 2, none: fits");
  else
    connections = pconnect (hosts, struct ("use_tls", false));
    unwind_protect
      [remote, caps] = netcellfun (connections,
                                   @(lines) deal (evaluate (lines), getenv ("VORLAN_NUM_THREADS")),
                                   lines, "UniformOutput", false);
      expect_same_bits (remote, reference, "netcellfun over %d hosts: spectra", numel (hosts));
      expect_true (numel (unique (caps)) == numel (hosts),
                   "every host took part under its own cap, saw: %s", strjoin (unique (caps), ", "));
      remote = netcellfun (connections, fit, fit_lines, "UniformOutput", false);
      expect_same_bits (remote, fit_reference, "netcellfun over %d hosts: fits", numel (hosts));
    unwind_protect_cleanup
      sclose (connections);
    end_unwind_protect
  endif
endfunction

function expect_same_bits (results, reference, varargin)
  expect_true (isequal (size (results), size (reference))
               && all (cellfun (@same_bits, results, reference)),
               "%s: a result differs from one process's", sprintf (varargin{:}));
endfunction
