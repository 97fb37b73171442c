function octave_package_session(tarball, scratch_dir, plugin_dir)
% Installs the Octave package TARBALL with pkg into SCRATCH_DIR (prefix and
% package lists alike, so the user's own packages are never touched), loads
% it and checks the installed plug-ins against the CMake build in PLUGIN_DIR;
% then uninstalls it.
reference = reference_results(plugin_dir);

if exist(scratch_dir, 'dir')
  confirm_recursive_rmdir(false);
  rmdir(scratch_dir, 's');
end
mkdir(scratch_dir);
prefix = fullfile(scratch_dir, 'packages');
pkg('prefix', prefix, fullfile(scratch_dir, 'arch'));
pkg('local_list', fullfile(scratch_dir, 'local_packages'));
pkg('global_list', fullfile(scratch_dir, 'global_packages'));

pkg('install', '-local', tarball);
pkg('load', 'vorlan');
check_installed_plugins(scratch_dir, reference);
copying = glob(fullfile(prefix, 'vorlan-*', 'packinfo', 'COPYING'));
if numel(copying) ~= 1
  error('the installed package has no COPYING under %s', prefix);
end
expect_bsd_licence(copying{1});

pkg('unload', 'vorlan');
pkg('uninstall', 'vorlan');
if exist('vorlanRegion') ~= 0
  error('vorlanRegion is still found after pkg uninstall: %s', which('vorlanRegion'));
end
end
