function matlab_build_session(matlab_dir, output_dir, plugin_dir)
% Runs the user's build script MATLAB_DIR/build_vorlan.m with the host's mex
% command into OUTPUT_DIR and checks the plug-ins it makes against the CMake
% build in PLUGIN_DIR.
reference = reference_results(plugin_dir);

if exist(output_dir, 'dir')
  confirm_recursive_rmdir(false);
  rmdir(output_dir, 's');
end
% The folder holds the comment-only help files: it must never be on the path
% when the plug-ins are called.
addpath(matlab_dir);
build_vorlan(output_dir);
rmpath(matlab_dir);

expect_bsd_licence(fullfile(output_dir, 'LICENSE'));
addpath(output_dir);
check_installed_plugins(output_dir, reference);
end
