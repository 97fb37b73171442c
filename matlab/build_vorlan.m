function build_vorlan(outdir)
%build_vorlan  Compile the vorlan plug-ins with the host's mex command.
%   build_vorlan compiles vorlanRegion, vorlan and vorlanRational from the
%   C++ sources beside this folder (../kernels, ../gateway and ../plugins)
%   into the folder that holds this file, next to their help files.  Add
%   that folder to the path to use them.
%
%   build_vorlan(OUTDIR) puts the plug-ins into OUTDIR instead and copies
%   their help files there, so that OUTDIR alone can go on the path.
%
%   Works in MATLAB and in GNU Octave.  It needs a C++17 compiler that the
%   host's mex command is set up for (in MATLAB: mex -setup C++).
%
%   See also: vorlanRegion, vorlan, vorlanRational

here = fileparts(mfilename('fullpath'));
if nargin < 1 || isempty(outdir)
  outdir = here;
end
if ~exist(outdir, 'dir')
  mkdir(outdir);
end
root = fileparts(here);

% Every kernel source goes into every plug-in (the kernels are small, and
% each plug-in stays one self-contained file): the list in sources.list,
% which the other build routes read too.  The lane code for the wider vector
% units selects its instruction set itself, so one set of flags builds all.
kernel_dir = fullfile(root, 'kernels', 'src');
kernel_sources = listed_sources(kernel_dir);
includes = {['-I' fullfile(root, 'kernels', 'include')], ...
            ['-I' fullfile(root, 'gateway', 'include')]};

flags = compiler_flags();
% Optimised as the CMake build's Release configuration: Octave's mkoctfile
% takes it from CXXFLAGS (its own default, -O2, leaves the lane code a
% quarter slower); MATLAB's mex from CXXOPTIMFLAGS in compiler_flags.
if is_octave()
  saved_cxxflags = getenv('CXXFLAGS');
  setenv('CXXFLAGS', '-O3 -DNDEBUG');
  restore = onCleanup(@() setenv('CXXFLAGS', saved_cxxflags));
end
plugins = {'vorlanRegion', 'vorlan', 'vorlanRational'};
for k = 1:numel(plugins)
  name = plugins{k};
  fprintf('Building %s\n', name);
  source = fullfile(root, 'plugins', [name '.cpp']);
  output = output_options(outdir, name);
  mex(flags{:}, includes{:}, output{:}, source, kernel_sources{:});
  if ~same_folder(outdir, here)
    copyfile(fullfile(here, [name '.m']), outdir);
  end
end
end

function flags = compiler_flags()
% C++17; no contraction of a*b+c into fused multiply-adds and no assumption
% of round-to-nearest, because the kernels are defined operation by
% operation; -pthread so that std::thread works wherever the kernels use it.
% The host's interleaved complex API (-R2018a) wherever it has one: MATLAB
% R2018a and later store complex arrays interleaved, and for a plug-in built
% on the separate API (-R2017b) they split every complex input into two new
% arrays and merge every complex result, as much work as the plug-in's own
% copies.  In Octave, wherever its mex header has it.
if is_octave()
  % Octave's mex passes -f, -std, -W and -pthread options on to the compiler.
  flags = {'-std=c++17', '-ffp-contract=off', '-frounding-math', '-pthread'};
  if octave_has_interleaved_api()
    flags{end + 1} = '-R2018a';
  end
  return;
end
flags = {'-R2018a'};
if uses_msvc()
  % /fp:strict: no contraction, and the rounding mode is respected.
  flags{end + 1} = 'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:strict /EHsc';
  return;
end
flags{end + 1} = 'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -frounding-math -pthread';
flags{end + 1} = 'CXXOPTIMFLAGS=-O3 -DNDEBUG';
if isunix() && ~ismac()
  % MATLAB on Linux loads its own, older C++ runtime first: a plug-in built
  % by a newer GCC carries its runtime inside so that it still loads.
  flags{end + 1} = 'LDFLAGS=$LDFLAGS -pthread -static-libstdc++ -static-libgcc';
else
  flags{end + 1} = 'LDFLAGS=$LDFLAGS -pthread';
end
end

function files = listed_sources(folder)
% The kernel sources named in FOLDER/sources.list, as full paths.
text = fileread(fullfile(folder, 'sources.list'));
lines = strtrim(regexp(text, '\r?\n', 'split'));
files = {};
for k = 1:numel(lines)
  line = lines{k};
  if ~isempty(line) && line(1) ~= '#'
    files{end + 1} = fullfile(folder, line);  %#ok<AGROW>
  end
end
if isempty(files)
  error('vorlan:build', 'No kernel sources listed in %s', fullfile(folder, 'sources.list'));
end
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
