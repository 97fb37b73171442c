% start_fit_demo (plugin_dir, output_dir)
%
% What the fit demonstrations need first: the plug-ins of plugin_dir on the
% path, output_dir for the picture, and the optim package loaded.
function start_fit_demo (plugin_dir, output_dir)
  addpath (plugin_dir);
  if (! exist (output_dir, "dir"))
    mkdir (output_dir);
  endif
  % optim needs the statistics package, which shadows some core functions on
  % purpose: its notices are not for this use.
  warning ("off", "Octave:shadowed-function", "local");
  pkg load optim;
endfunction
