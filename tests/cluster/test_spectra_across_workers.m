% Many spectra evaluated across workers give the bits of one process: over
% worker processes of this machine (parcellfun) without arguments, and over
% the hosts named in the cell array hosts (netcellfun; each host's server
% started with its own VORLAN_NUM_THREADS) with it.
function test_spectra_across_workers (hosts)
  pkg load parallel;
  % 12 lines of 4096 points make one plug-in call of 49152 points: enough for
  % the plug-in's worker threads.
  batch = spectra_batch (64, 4096, 12);
  evaluate = @(lines) voigt_spectrum (batch.x, lines);
  unsetenv ("VORLAN_NUM_THREADS");
  reference = cellfun (evaluate, batch.lines, "UniformOutput", false);
  spectra = [reference{:}];
  expect_true (all (isfinite (spectra(:))) && all (spectra(:) > 0),
               "the spectra are finite and positive");

  if (nargin == 0)
    % Each task under a thread cap of its own: 1, 2 or none.
    caps = repmat ({"1", "2", ""}, 1, 22)(1:numel (batch.lines));
    local = parcellfun (2, @(cap, lines) with_thread_cap (cap, evaluate, lines),
                        caps, batch.lines, "UniformOutput", false, "VerboseLevel", 0);
    expect_same_spectra (local, reference, "parcellfun, 2 processes, caps 1, 2, none");
  else
    connections = pconnect (hosts, struct ("use_tls", false));
    unwind_protect
      [remote, caps] = netcellfun (connections,
                                   @(lines) deal (evaluate (lines), getenv ("VORLAN_NUM_THREADS")),
                                   batch.lines, "UniformOutput", false);
      expect_same_spectra (remote, reference, "netcellfun over %d hosts", numel (hosts));
      expect_true (numel (unique (caps)) == numel (hosts),
                   "every host took part under its own cap, saw: %s", strjoin (unique (caps), ", "));
    unwind_protect_cleanup
      sclose (connections);
    end_unwind_protect
  endif
endfunction

function expect_same_spectra (spectra, reference, varargin)
  expect_true (isequal (size (spectra), size (reference))
               && all (cellfun (@same_bits, spectra, reference)),
               "%s: a spectrum differs from one process's", sprintf (varargin{:}));
endfunction
