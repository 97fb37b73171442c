function benchmark_pkg_scratch(scratch_dir)
% Points Octave's package manager at SCRATCH_DIR for this session: install
% prefix and package lists alike, so that the benchmark's pkg install never
% touches the user's own packages.  The build session and the timed session
% of bench/run_plugin_benchmark.sh both call it with the same folder.
if ~exist(scratch_dir, 'dir')
  mkdir(scratch_dir);
end
pkg('prefix', fullfile(scratch_dir, 'packages'), fullfile(scratch_dir, 'arch'));
pkg('local_list', fullfile(scratch_dir, 'local_packages'));
pkg('global_list', fullfile(scratch_dir, 'global_packages'));
end
