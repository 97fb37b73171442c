function build_vorlan(outdir)
%build_vorlan  Compile the vorlan plug-ins with the host's mex command.
%   build_vorlan compiles every plug-in listed in ../plugins/plugins.list
%   (see Contents.m) from the C++ sources beside this folder (../kernels,
%   ../gateway and ../plugins) into the folder that holds this file, next to
%   their help files.  Add that folder to the path to use them.
%
%   build_vorlan(OUTDIR) puts the plug-ins into OUTDIR instead and copies
%   their help files there, so that OUTDIR alone can go on the path.  The
%   licence, LICENSE, is copied beside the plug-ins either way.
%
%   Works in MATLAB and in GNU Octave.  It needs a C++17 compiler that the
%   host's mex command is set up for (in MATLAB: mex -setup C++).
%
%   See also: Contents

here = fileparts(mfilename('fullpath'));
if nargin < 1 || isempty(outdir)
  outdir = here;
end
if ~exist(outdir, 'dir')
  mkdir(outdir);
end
root = fileparts(here);

% The plug-ins, the kernel sources and the numerics' flags, from the lists
% every build route reads (plugins.list, sources.list, numerics_flags.list).
% The lane code for the wider vector units selects its instruction set
% itself, so one set of flags builds all.
plugins = listed_lines(fullfile(root, 'plugins', 'plugins.list'));
kernel_dir = fullfile(root, 'kernels', 'src');
kernel_sources = cellfun(@(file) fullfile(kernel_dir, file), ...
                         listed_lines(fullfile(kernel_dir, 'sources.list')), ...
                         'UniformOutput', false);
includes = {['-I' fullfile(root, 'kernels', 'include')], ...
            ['-I' fullfile(root, 'gateway', 'include')]};

flags = compiler_flags(fullfile(kernel_dir, 'numerics_flags.list'));
% Optimised as the CMake build's Release configuration: Octave's mkoctfile
% takes it from CXXFLAGS (its own default, -O2, leaves the lane code a
% quarter slower); MATLAB's mex from CXXOPTIMFLAGS in compiler_flags.
if is_octave()
  saved_cxxflags = getenv('CXXFLAGS');
  setenv('CXXFLAGS', '-O3 -DNDEBUG');
  restore = onCleanup(@() setenv('CXXFLAGS', saved_cxxflags));
end

% The kernel sources are shared by every plug-in: compiled once, into object
% files in a scratch folder, and linked into each plug-in from there.
scratch = tempname();
mkdir(scratch);
remove_scratch = onCleanup(@() remove_folder(scratch));
fprintf('Compiling the kernels\n');
objects = cell(size(kernel_sources));
for k = 1:numel(kernel_sources)
  objects{k} = compile_object(flags, includes, kernel_sources{k}, ...
                              fullfile(scratch, sprintf('%d', k)));
end

for k = 1:numel(plugins)
  name = plugins{k};
  fprintf('Building %s\n', name);
  source = fullfile(root, 'plugins', [name '.cpp']);
  output = output_options(outdir, name);
  mex(flags{:}, includes{:}, output{:}, source, objects{:});
  if ~same_folder(outdir, here)
    copyfile(fullfile(here, [name '.m']), outdir);
  end
end
copyfile(fullfile(root, 'LICENSE'), outdir);
end

function flags = compiler_flags(numerics_list)
% C++17; the numerics' flags for the compiler, from NUMERICS_LIST, because
% the kernels are defined operation by operation; -pthread so that
% std::thread works wherever the kernels use it.
% The host's interleaved complex API (-R2018a) wherever it has one: MATLAB
% R2018a and later store complex arrays interleaved, and for a plug-in built
% on the separate API (-R2017b) they split every complex input into two new
% arrays and merge every complex result, as much work as the plug-in's own
% copies.  In Octave, wherever its mex header has it.
if is_octave()
  % Octave's mex passes -f, -std, -W and -pthread options on to the compiler.
  flags = [{'-std=c++17'}, numerics_flags(numerics_list, 'gnu'), {'-pthread'}];
  if octave_has_interleaved_api()
    flags{end + 1} = '-R2018a';
  end
  return;
end
flags = {'-R2018a'};
if uses_msvc()
  flags{end + 1} = ['COMPFLAGS=$COMPFLAGS /std:c++17 ' ...
                    strjoin(numerics_flags(numerics_list, 'msvc'), ' ') ' /EHsc'];
  return;
end
flags{end + 1} = ['CXXFLAGS=$CXXFLAGS -std=c++17 ' ...
                  strjoin(numerics_flags(numerics_list, 'gnu'), ' ') ' -pthread'];
flags{end + 1} = 'CXXOPTIMFLAGS=-O3 -DNDEBUG';
if isunix() && ~ismac()
  % MATLAB on Linux loads its own, older C++ runtime first: a plug-in built
  % by a newer GCC carries its runtime inside so that it still loads.
  flags{end + 1} = 'LDFLAGS=$LDFLAGS -pthread -static-libstdc++ -static-libgcc';
else
  flags{end + 1} = 'LDFLAGS=$LDFLAGS -pthread';
end
end

function lines = listed_lines(file)
% The entries of a list file: one a line, blank lines and # comments skipped.
text = fileread(file);
all_lines = strtrim(regexp(text, '\r?\n', 'split'));
lines = all_lines(~cellfun(@isempty, all_lines));
lines = lines(~strncmp(lines, '#', 1));
if isempty(lines)
  error('vorlan:build', 'Nothing listed in %s', file);
end
end

function flags = numerics_flags(file, family)
% The flags listed for one family of compilers ('gnu' or 'msvc'): the list's
% lines read "<family> <flag>".
flags = {};
lines = listed_lines(file);
for k = 1:numel(lines)
  [first, rest] = strtok(lines{k});
  if strcmp(first, family)
    flags{end + 1} = strtrim(rest);
  end
end
if isempty(flags)
  error('vorlan:build', 'No %s flags listed in %s', family, file);
end
end

function object = compile_object(flags, includes, source, folder)
% Compiles SOURCE alone into an object file in FOLDER (a folder of its own,
% so that sources of the same name cannot collide) and returns its path.
mkdir(folder);
[~, name] = fileparts(source);
if is_octave()
  object = fullfile(folder, [name '.o']);
  mex(flags{:}, includes{:}, '-c', '-o', object, source);
  return;
end
mex(flags{:}, includes{:}, '-c', '-outdir', folder, source);
% .o or .obj, as the platform's compiler names it.
found = dir(fullfile(folder, [name '.*']));
if numel(found) ~= 1
  error('vorlan:build', 'No object file for %s in %s', source, folder);
end
object = fullfile(folder, found(1).name);
end

function remove_folder(folder)
% Removes the scratch folder's files and folders, without asking.
entries = dir(folder);
for k = 1:numel(entries)
  entry = entries(k).name;
  if strcmp(entry, '.') || strcmp(entry, '..')
    continue;
  end
  path = fullfile(folder, entry);
  if entries(k).isdir
    remove_folder(path);
  else
    delete(path);
  end
end
rmdir(folder);
end

function options = output_options(outdir, name)
if is_octave()
  options = {'-o', fullfile(outdir, [name '.' mexext()])};
else
  options = {'-outdir', outdir, '-output', name};
end
end

function yes = is_octave()
yes = exist('OCTAVE_VERSION', 'builtin') ~= 0;
end

function yes = octave_has_interleaved_api()
include_dir = strtrim(mkoctfile('-p', 'OCTINCLUDEDIR'));
header = fullfile(include_dir, 'mexproto.h');
yes = exist(header, 'file') == 2 && ~isempty(strfind(fileread(header), 'mxSetComplexDoubles'));
end

function yes = uses_msvc()
yes = false;
if ispc()
  try
    compiler = mex.getCompilerConfigurations('C++', 'Selected');
    yes = ~isempty(compiler) && ~isempty(strfind(compiler(1).Manufacturer, 'Microsoft'));
  catch
    yes = false;
  end
end
end

function yes = same_folder(a, b)
yes = strcmp(absolute_folder(a), absolute_folder(b));
end

function folder = absolute_folder(folder)
% The host's own spelling of an existing folder, through cd and pwd.
previous = pwd();
cd(folder);
folder = pwd();
cd(previous);
end
