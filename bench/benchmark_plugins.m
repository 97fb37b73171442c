% Times the plug-ins in one session, as ratios that hold within it:
%  1. per call at 1, 10, 100 and 1000 elements, over the floor plug-in (it
%     only reads the complex input, creates the result and copies the parts:
%     what the host makes any plug-in pay) and over the host's own w(z);
%  2. at 10^6 elements, warm (the same call repeated) and cold (different
%     calls in turn, each result kept until the round ends, so that every call
%     writes fresh pages, as in a script), against the host's own
%     w(z) = erfcx(-1i*z), with -1i*z prepared before the clock starts, and
%     against the floor;
%  3. the plug-ins on the other complex array API and those of every install
%     route against the CMake build's;
%  4. the line-shape plug-ins vorlanVoigt and vorlanPlasmaZ, with and without
%     their derivatives, small arrays to large, warm and cold, against the
%     Voigt profile and Z composed from erfcx and from vorlanRegion (argument
%     and derivatives built on the clock, as a user writes them);
%  5. vorlanHTP, with and without its derivatives, on a line grid and with
%     every argument per point, small arrays to large, warm and cold, against
%     the Hartmann-Tran profile composed from its definition with erfcx and
%     with vorlanPlasmaZ, vorlanVoigt on the same line, and the floor.
% It never judges a time.  bench/run_plugin_benchmark.sh builds everything and
% passes the folders in the environment:
%   VORLAN_PLUGIN_DIR    the CMake build's plug-ins (build/mex)
%   VORLAN_FLOOR_DIR     the floor plug-ins (build/bench/floor): floor_plugin on
%                        the plug-ins' complex array API, floor_plugin_separate
%                        or floor_plugin_interleaved on the other one if built
%   VORLAN_OTHER_API_DIR the plug-ins built on the other API (build/mex-separate)
%   VORLAN_BENCH_COUNT   the large element count (default 10^6)
%   VORLAN_ROUTE_PKG     scratch folder of a pkg install of the release tarball
%   VORLAN_ROUTE_MATLAB  folder that matlab/build_vorlan.m built into
% An install route whose variable is empty is left out.
1;

function [t, faults] = clocked_call(f, arg)
  % One call on the clock, and the page faults the process took in it (all
  % threads); the result is freed off the clock.
  before = getrusage().minflt;
  start = tic;
  w = f(arg);
  t = toc(start);
  faults = getrusage().minflt - before;
  w = [];
end

function t = per_call_medians(fs, args, samples, calls)
  % Seconds per call of each function in FS on its argument in ARGS: after a
  % call that loads it, the median over SAMPLES of the mean over CALLS
  % back-to-back calls, the functions taking turns within every sample so that
  % drift in the machine's speed hits all alike.
  for k = 1:numel(fs)
    fs{k}(args{k});
  end
  times = zeros(numel(fs), samples);
  for s = 1:samples
    for k = 1:numel(fs)
      f = fs{k};
      arg = args{k};
      start = tic;
      for c = 1:calls
        w = f(arg);
      end
      times(k, s) = toc(start) / calls;
    end
  end
  t = median(times, 2)';
end

function [t, faults] = warm_medians(fs, args, runs)
  % The same call RUNS times after a warm-up call, one function after the
  % other, each result replacing the one before as in w = f(z) in a loop: the
  % allocator hands the pages of one call's arrays to the next, so no call
  % pays for fresh memory.  Medians of the times and of the page faults per
  % call.
  t = zeros(1, numel(fs));
  faults = zeros(1, numel(fs));
  for k = 1:numel(fs)
    f = fs{k};
    arg = args{k};
    w = f(arg);
    times = zeros(2, runs);
    for r = 1:runs
      before = getrusage().minflt;
      start = tic;
      w = f(arg);
      times(1, r) = toc(start);
      times(2, r) = getrusage().minflt - before;
    end
    w = [];
    t(k) = median(times(1, :));
    faults(k) = median(times(2, :));
  end
end

function [t, faults] = cold_medians(fs, args, runs)
  % Rounds of one call of each function in turn, every result kept to the end
  % of its round, as a script keeps them: no call finds the pages of the one
  % before it.  The first round is not counted.  Medians of the times and of
  % the page faults per call.
  times = zeros(numel(fs), runs);
  counts = zeros(numel(fs), runs);
  for r = 0:runs
    kept = cell(1, numel(fs));
    for k = 1:numel(fs)
      before = getrusage().minflt;
      start = tic;
      kept{k} = fs{k}(args{k});
      if r > 0
        times(k, r) = toc(start);
        counts(k, r) = getrusage().minflt - before;
      end
    end
    kept = {};
  end
  t = median(times, 2)';
  faults = median(counts, 2)';
end

function [t, faults] = route_medians(routes, names, z, runs)
  % Seconds per call of every route's plug-ins on Z: in each of RUNS rounds
  % every route in turn is put on the path and each of its plug-ins called
  % once to warm up and once on the clock.  Also the median page faults per
  % timed call of each route.  Ends with the first route on the path.
  t = zeros(rows(routes), numel(names), runs);
  counts = zeros(rows(routes), numel(names), runs);
  for r = 1:runs
    for q = 1:rows(routes)
      use_route(routes, q, names);
      for k = 1:numel(names)
        f = @(arg) feval(names{k}, arg);
        clocked_call(f, z);
        [t(q, k, r), counts(q, k, r)] = clocked_call(f, z);
      end
    end
  end
  use_route(routes, 1, names);
  t = median(t, 3);
  faults = median(reshape(permute(counts, [1 3 2]), rows(routes), []), 2);
end

function use_route(routes, q, names)
  % Only route Q's folder on the path, its plug-ins loaded afresh from it.
  for k = 1:numel(names)
    clear("-f", names{k});
  end
  for p = 1:rows(routes)
    if p != q && any(strcmp(routes{p, 2}, strsplit(path(), pathsep())))
      rmpath(routes{p, 2});
    end
  end
  addpath(routes{q, 2});
  for k = 1:numel(names)
    file = which(names{k});
    if !strncmp(file, routes{q, 2}, numel(routes{q, 2}))
      error("benchmark_plugins: %s resolves to %s, not to the route's folder %s", names{k}, ...
            file, routes{q, 2});
    end
  end
end

function folder = pkg_route_folder(scratch_dir)
  % Where pkg installed the package (into SCRATCH_DIR, see
  % benchmark_pkg_scratch): the folder that `pkg load vorlan` puts on the path.
  benchmark_pkg_scratch(scratch_dir);
  installed = pkg("list", "vorlan");
  if isempty(installed)
    error("benchmark_plugins: no vorlan package installed under %s", scratch_dir);
  end
  folder = installed{1}.dir;
end

function print_table(head, body)
  % Left-aligned first column, right-aligned others, a rule under the head.
  cells = [head; body];
  width = max(cellfun(@numel, cells), [], 1);
  for i = 1:rows(cells)
    line = sprintf("%-*s", width(1), cells{i, 1});
    for j = 2:columns(cells)
      line = [line, sprintf("  %*s", width(j), cells{i, j})];
    end
    printf("  %s\n", line);
    if i == 1
      printf("  %s\n", repmat("-", 1, numel(line)));
    end
  end
  printf("\n");
end

function s = ratio(a, b)
  s = sprintf("%.2f", a / b);
end

function describe_machine()
  model = "unknown";
  [fid, msg] = fopen("/proc/cpuinfo", "r");
  if fid >= 0
    text = fread(fid, Inf, "*char")';
    fclose(fid);
    tok = regexp(text, "model name\\s*:\\s*([^\\n]*)", "tokens", "once");
    if !isempty(tok)
      model = strtrim(tok{1});
    end
  end
  printf("machine: %s, %d cores; GNU Octave %s\n", model, nproc(), OCTAVE_VERSION);
end

function print_load(when)
  % Other work on the machine shows in every figure: say how busy it was.
  text = fileread("/proc/loadavg");
  printf("load average (1, 5, 15 min) %s: %s\n", when, strjoin(strsplit(strtrim(text))(1:3), " "));
end

function print_fault_cost()
  % What one page fault costs: the time of filling a fresh 48 MiB array over
  % the faults it takes (the fill itself is a few ms of it).  On a virtual
  % machine whose memory the host backs lazily this can be 100 times the
  % cost on bare metal, and then it rules every large call below.
  times = zeros(1, 5);
  for r = 1:5
    before = getrusage().minflt;
    start = tic;
    x = zeros(6 * 2^20, 1);
    times(r) = toc(start) / max(1, getrusage().minflt - before);
    x = [];
  end
  printf("one page fault, filling a fresh 48 MiB array: %.2f us (median of 5)\n", ...
         1e6 * median(times));
end

function print_allocator()
  % Whether the C library's allocator keeps the pages of freed arrays for the
  % next call (run_plugin_benchmark.sh --keep-pages): where it does not, the
  % large calls with several outputs pay fresh pages' faults.
  trim = getenv("MALLOC_TRIM_THRESHOLD_");
  mmap = getenv("MALLOC_MMAP_THRESHOLD_");
  if isempty(trim) && isempty(mmap)
    printf("allocator: the C library's defaults\n");
  else
    printf("allocator: MALLOC_TRIM_THRESHOLD_=%s MALLOC_MMAP_THRESHOLD_=%s\n", trim, mmap);
  end
end

function folder = folder_from_environment(variable, required)
  folder = getenv(variable);
  if isempty(folder)
    if required
      error("benchmark_plugins: set %s (bench/run_plugin_benchmark.sh does)", variable);
    end
    return;
  end
  if !exist(folder, "dir")
    error("benchmark_plugins: %s=%s is not a folder", variable, folder);
  end
  folder = canonicalize_file_name(folder);
end

% ---- line shapes: the plug-ins' calls and what a user composes without them --

function out = voigt_plugin_all(a)
  % vorlanVoigt with its three derivatives, all four kept.
  [v, dvdx, dvdsigma, dvdgamma] = vorlanVoigt(a.x, a.sigma, a.gamma);
  out = {v, dvdx, dvdsigma, dvdgamma};
end

function out = voigt_composed(w_of, a, derivatives)
  % The Voigt profile from a w(z) of the host or of the plug-ins, the
  % argument built here as a user builds it; with DERIVATIVES also dV/dx,
  % dV/dsigma and dV/dgamma from w' = -2 z w + 2i/sqrt(pi).
  scale = a.sigma * sqrt(2);
  z = (a.x + 1i * a.gamma) ./ scale;
  w = w_of(z);
  out = real(w) ./ (a.sigma * sqrt(2 * pi));
  if derivatives
    dw = -2 * z .* w + 2i / sqrt(pi);
    norm = 1 ./ (a.sigma * sqrt(2 * pi));
    out = {out, real(dw) ./ scale .* norm, -real(dw .* z) ./ a.sigma .* norm - out ./ a.sigma, ...
           -imag(dw) ./ scale .* norm};
  end
end

function out = plasma_plugin_both(zeta)
  [z_value, z_derivative] = vorlanPlasmaZ(zeta);
  out = {z_value, z_derivative};
end

function out = plasma_composed(zeta, derivative)
  % Z = i sqrt(pi) w(zeta) from the host's erfcx, and Z' = -2 (1 + zeta Z).
  out = 1i * sqrt(pi) * erfcx(-1i * zeta);
  if derivative
    out = {out, -2 * (1 + zeta .* out)};
  end
end

function out = floor_four(a)
  % The floor plug-in with four real outputs of the Voigt arguments' size.
  [p, q, r, s] = floor_plugin(a.x);
  out = {p, q, r, s};
end

function out = floor_two(zeta)
  % The floor plug-in with two complex outputs of zeta's size.
  [p, q] = floor_plugin(zeta);
  out = {p, q};
end

function [fs, labels, short_labels, plugin_of] = line_shape_functions()
  % Fifteen timed functions: Voigt V alone and with its derivatives from the
  % erfcx composition, the vorlanRegion composition and vorlanVoigt
  % (arguments: structs of x, sigma, gamma), then Z alone and with Z' from the
  % erfcx formula and from vorlanPlasmaZ (argument: zeta in the upper
  % half-plane), Z with Z' of both again in both half-planes, where the
  % lower one takes the reflection, and the floor plug-in with the outputs
  % of V, of V and its derivatives, and of Z and Z' (what the host charges
  % any plug-in for them: the allocator's fresh pages above all).
  % plugin_of(k): the plug-in call with the same outputs as function k.
  host_w = @(z) erfcx(-1i * z);
  fs = {@(a) voigt_composed(host_w, a, false), @(a) voigt_composed(host_w, a, true), ...
        @(a) voigt_composed(@vorlanRegion, a, false), ...
        @(a) voigt_composed(@vorlanRegion, a, true), ...
        @(a) vorlanVoigt(a.x, a.sigma, a.gamma), @voigt_plugin_all, ...
        @(zeta) plasma_composed(zeta, false), @(zeta) plasma_composed(zeta, true), ...
        @vorlanPlasmaZ, @plasma_plugin_both, @(zeta) plasma_composed(zeta, true), ...
        @plasma_plugin_both, @(a) floor_plugin(a.x), @floor_four, @floor_two};
  labels = {"Voigt V, erfcx composition", "Voigt V+3 derivatives, erfcx composition", ...
            "Voigt V, vorlanRegion composition", ...
            "Voigt V+3 derivatives, vorlanRegion composition", "vorlanVoigt V", ...
            "vorlanVoigt V+3 derivatives", "Z, erfcx formula", "Z+Z', erfcx formula", ...
            "vorlanPlasmaZ Z", "vorlanPlasmaZ Z+Z'", "Z+Z', erfcx formula, both half-planes", ...
            "vorlanPlasmaZ Z+Z', both half-planes", "floor, 1 real output", ...
            "floor, 4 real outputs", "floor, 2 complex outputs"};
  short_labels = {"erfcx V", "erfcx V+3", "region V", "region V+3", "vorlanVoigt V", ...
                  "vorlanVoigt V+3", "erfcx Z", "erfcx Z+Z'", "vorlanPlasmaZ Z", ...
                  "vorlanPlasmaZ Z+Z'", "erfcx Z+Z' both", "vorlanPlasmaZ Z+Z' both", ...
                  "floor 1", "floor 4", "floor 2 complex"};
  plugin_of = [5 6 5 6 5 6 9 10 9 10 12 12 13 14 15];
end

function args = line_shape_arguments(voigt, zeta, zeta_both)
  args = [repmat({voigt}, 1, 6), repmat({zeta}, 1, 4), {zeta_both, zeta_both, voigt, voigt, zeta}];
end

function a = voigt_points(x, sigma, gamma, n)
  a = struct("x", x(1:n), "sigma", sigma(1:n), "gamma", gamma(1:n));
end

function check_line_shape_outputs(fs, args, plugin_of)
  % Every timed function must compute what the plug-in it is set against
  % computes, or the comparison means nothing: each output within 1e-6 of
  % the largest magnitude of the plug-in's (the vorlanRegion composition
  % carries the power-series disc's 3.6e-7).  Prints "agree" or "DIFFERENT".
  worst = 0;
  for k = 1:numel(fs)
    mine = fs{k}(args{k});
    theirs = fs{plugin_of(k)}(args{k});
    if !iscell(mine)
      mine = {mine};
      theirs = {theirs};
    end
    for j = 1:numel(mine)
      scale = max(abs(theirs{j}(:)));
      worst = max(worst, max(abs(mine{j}(:) - theirs{j}(:))) / scale);
    end
  end
  printf("   Outputs of every timed function against its plug-in's: %s (largest difference\n", ...
         merge(worst <= 1e-6, "agree", "DIFFERENT"));
  printf("   %.1e of the largest value)\n\n", worst);
end

function print_line_shape_targets(t)
  % A composition's time over the plug-in's (above 1: the plug-in is faster)
  % in the order of line_shape_functions, beside what the plug-ins aim at.
  checks = {"erfcx composition / vorlanVoigt, V", t(1) / t(5), "at least 6";
            "vorlanRegion composition / vorlanVoigt, V", t(3) / t(5), "at least 2.5";
            "erfcx composition / vorlanVoigt, V+3", t(2) / t(6), "";
            "vorlanRegion composition / vorlanVoigt, V+3", t(4) / t(6), "";
            "vorlanVoigt V+3 / vorlanVoigt V", t(6) / t(5), "at most 2";
            "erfcx formula / vorlanPlasmaZ, Z+Z'", t(8) / t(10), "at least 4";
            "the same in both half-planes", t(11) / t(12), "";
            "floor with V+3's outputs / floor with V's", t(14) / t(13), ""};
  for k = 1:rows(checks)
    printf("    %s\n", strtrim(sprintf("%-44s %6.2f  %s", checks{k, :})));
  end
  printf("\n");
end

% ---- the Hartmann-Tran profile: the plug-in and the definition composed -------

function f = htp_plugin(a)
  f = vorlanHTP(a.nu, a.nu0, a.GammaD, a.Gamma0, a.Gamma2, a.Delta0, a.Delta2, a.nuVC, a.eta);
end

function out = htp_plugin_both(a)
  [f, df] = vorlanHTP(a.nu, a.nu0, a.GammaD, a.Gamma0, a.Gamma2, a.Delta0, a.Delta2, a.nuVC, ...
                      a.eta);
  out = {f, df};
end

function f = htp_composed(w_at_i, a)
  % F from its definition, vectorised as a user writes it, with
  % w_at_i(Z) = w(iZ).  Only the speed-dependent branch: every line timed
  % here has (1 - eta) C2 nonzero.
  c = sqrt(log(2)) ./ a.GammaD;
  c0 = a.Gamma0 + 1i * a.Delta0;
  c2 = a.Gamma2 + 1i * a.Delta2;
  c2t = (1 - a.eta) .* c2;
  x = (1i * (a.nu0 - a.nu) + (1 - a.eta) .* (c0 - 1.5 * c2) + a.nuVC) ./ c2t;
  sqrt_y = 1 ./ (2 * c .* c2t);
  root = sqrt(x + sqrt_y .^ 2);
  z1 = root - sqrt_y;
  z2 = root + sqrt_y;
  w1 = w_at_i(z1);
  w2 = w_at_i(z2);
  A = sqrt(pi) * c .* (w1 - w2);
  B = (-1 + sqrt(pi) ./ (2 * sqrt_y) .* ((1 - z1 .^ 2) .* w1 - (1 - z2 .^ 2) .* w2)) ./ c2t;
  f = A ./ (pi * (1 - (a.nuVC - a.eta .* (c0 - 1.5 * c2)) .* A + a.eta .* c2 .* B));
end

function v = htp_voigt(a)
  % The Voigt profile of the same line (Gamma2 = Delta2 = nuVC = eta = 0).
  v = vorlanVoigt(a.nu - a.nu0 - a.Delta0, a.GammaD / sqrt(2 * log(2)), a.Gamma0);
end

function out = floor_htp_all(z)
  % The floor plug-in with F's and dF's outputs: nine complex arrays, kept
  % together (three calls: the floor gives at most four outputs a call).
  [f, d1, d2, d3] = floor_plugin(z);
  [d4, d5, d6, d7] = floor_plugin(z);
  out = {f, d1, d2, d3, d4, d5, d6, d7, floor_plugin(z)};
end

function [fs, labels, short_labels] = htp_functions()
  % Seven timed functions: vorlanHTP's F, F with dF, F composed with the
  % host's w and with vorlanPlasmaZ's, vorlanVoigt's V of the same line, and
  % the floor plug-in with F's outputs and with F's and dF's.  Arguments
  % (htp_arguments): a struct of the nine, or the floor's complex input.
  plasma_w_at_i = @(z) -1i * vorlanPlasmaZ(1i * z) / sqrt(pi);
  fs = {@htp_plugin, @htp_plugin_both, @(a) htp_composed(@erfcx, a), ...
        @(a) htp_composed(plasma_w_at_i, a), @htp_voigt, @floor_plugin, @floor_htp_all};
  labels = {"vorlanHTP F", "vorlanHTP F+dF", "F, erfcx composition", ...
            "F, vorlanPlasmaZ composition", "vorlanVoigt V of the line", ...
            "floor, F's output", "floor, F's and dF's outputs (3 calls)"};
  short_labels = {"F", "F+dF", "erfcx F", "PlasmaZ F", "Voigt V", "floor F", "floor F+dF"};
end

function args = htp_arguments(a, n)
  % N points of argument struct A spread over all of it (on the line grid: a
  % coarser grid over the same range), scalars kept, and a complex array of N
  % elements for the floor.
  names = fieldnames(a);
  chosen = round(linspace(1, numel(a.nu), n));
  for k = 1:numel(names)
    if numel(a.(names{k})) > n
      a.(names{k}) = a.(names{k})(chosen);
    end
  end
  z = complex(a.nu, -a.nu);
  args = [repmat({a}, 1, 5), {z, z}];
end

function check_htp_compositions(name, fs, args)
  % The compositions must give vorlanHTP's F, or the comparison means
  % nothing: within 1e-6 of the largest |F|.  Prints "agree" or "DIFFERENT".
  f = fs{1}(args{1});
  worst = max(cellfun(@(g) max(abs(g(args{1})(:) - f(:))), fs(3:4))) / max(abs(f(:)));
  printf("   %s: both compositions' F against vorlanHTP's: %s (%.1e of the largest |F|)\n", ...
         name, merge(worst <= 1e-6, "agree", "DIFFERENT"), worst);
end

% ---- set-up ------------------------------------------------------------------

plugin_dir = folder_from_environment("VORLAN_PLUGIN_DIR", true);
floor_dir = folder_from_environment("VORLAN_FLOOR_DIR", true);
count = 1e6;
if !isempty(getenv("VORLAN_BENCH_COUNT"))
  count = str2double(getenv("VORLAN_BENCH_COUNT"));
end
if !(count >= 1 && count == fix(count))
  error("benchmark_plugins: the element count must be a positive integer");
end
addpath(plugin_dir);
addpath(floor_dir);
names = {"vorlanRegion", "vorlan", "vorlanRational"};
plugins = cellfun(@str2func, names, "UniformOutput", false);
large_runs = 7;
small_samples = 101;

% The floor on the other complex array API, where it was built.
other_floors = {"floor_plugin_separate", "floor_plugin_interleaved"};
other_floors = other_floors(cellfun(@(name) exist(name) == 3, other_floors));

describe_machine();
printf("plug-ins: %s\nfloor:    %s\n", which("vorlanRegion"), which("floor_plugin"));
for k = 1:numel(other_floors)
  printf("          %s\n", which(other_floors{k}));
end
print_load("at the start");
print_fault_cost();
print_allocator();
printf("times are medians; a ratio is a time over another time (below 1: faster)\n\n");

rand("seed", 20240601);
upper = complex(20 * rand(count, 1) - 10, 5 * rand(count, 1));
both = complex(10 * rand(count, 1) - 5, 10 * rand(count, 1) - 5);
sets = {"upper half-plane |x|<10, 0<=y<5", upper; "both half-planes |x|,|y|<5", both};
small_points = complex(20 * rand(1000, 1) - 10, 5 * rand(1000, 1));

% ---- 1. small arrays, per call -------------------------------------------------

printf("1. Per call, upper half-plane points; median of %d samples, each the mean of\n", ...
       small_samples);
printf("   many calls in a loop (the loop's own cost is in every figure).\n");
printf("   us = microseconds per call; (r) = time over the floor plug-in's\n\n");
head = {"elements", "calls", "floor", "erfcx", names{:}, "vorlanRegion/erfcx"};
body = {};
for n = [1 10 100 1000]
  z = small_points(1:n);
  calls = max(20, round(400 / sqrt(n)));
  fs = {@floor_plugin, @erfcx, plugins{:}};
  args = {z, -1i * z, z, z, z};
  t = per_call_medians(fs, args, small_samples, calls);
  row = {sprintf("%d", n), sprintf("%d", calls), sprintf("%.2f us", 1e6 * t(1))};
  for k = 2:numel(fs)
    row{end + 1} = sprintf("%.2f us (%s)", 1e6 * t(k), ratio(t(k), t(1)));
  end
  row{end + 1} = ratio(t(3), t(2));
  body(end + 1, :) = row;
end
print_table(head, body);

% ---- 2. large arrays, warm and cold --------------------------------------------

printf("2. %d elements, ns per element, median of %d runs; /erfcx and /floor: time over\n", ...
       count, large_runs);
printf("   erfcx's and over the floor plug-in's; faults: page faults per call (median)\n");
printf("   upper: %s\n   both:  %s\n\n", sets{:, 1});
fs = {@erfcx, @floor_plugin, plugins{:}, cellfun(@str2func, other_floors, "UniformOutput", false){:}};
labels = {"erfcx(-1i*z)", "floor_plugin", names{:}, other_floors{:}};
regimes = {"warm: the same call repeated", @warm_medians; ...
           "cold: the functions in turn, results kept to the end of the round", @cold_medians};
set_tags = {"upper", "both"};
for g = 1:rows(regimes)
  printf("  %s\n", regimes{g, 1});
  head = {""};
  body = labels';
  for s = 1:rows(sets)
    z = sets{s, 2};
    args = [{-1i * z}, repmat({z}, 1, numel(fs) - 1)];  % the host's prepared before any clock
    [t, faults] = regimes{g, 2}(fs, args, large_runs);
    head = [head, {[set_tags{s} " ns"], "/erfcx", "/floor", "faults"}];
    body = [body, arrayfun(@(tk) sprintf("%.2f", 1e9 * tk / count), t', "UniformOutput", false), ...
            arrayfun(@(tk) ratio(tk, t(1)), t', "UniformOutput", false), ...
            arrayfun(@(tk) ratio(tk, t(2)), t', "UniformOutput", false), ...
            arrayfun(@(fk) sprintf("%d", fk), faults', "UniformOutput", false)];
  end
  print_table(head, body);
end

% ---- 3. install routes ---------------------------------------------------------

routes = {"CMake build", plugin_dir};
other_api_dir = folder_from_environment("VORLAN_OTHER_API_DIR", false);
if !isempty(other_api_dir)
  routes(end + 1, :) = {"the other complex array API", other_api_dir};
end
pkg_scratch = folder_from_environment("VORLAN_ROUTE_PKG", false);
if !isempty(pkg_scratch)
  routes(end + 1, :) = {"pkg install of the tarball", pkg_route_folder(pkg_scratch)};
end
matlab_dir = folder_from_environment("VORLAN_ROUTE_MATLAB", false);
if !isempty(matlab_dir)
  routes(end + 1, :) = {"matlab/build_vorlan.m", matlab_dir};
end
if rows(routes) < 2
  printf("3. Other API and install routes: left out (bench/run_plugin_benchmark.sh without\n");
  printf("   --no-routes, VORLAN_OTHER_API_DIR)\n\n");
else
  printf("3. Other API and install routes, %d elements, warm; ns per element, median of %d\n", ...
         count, large_runs);
  printf("   rounds; (r) = time over the CMake build's plug-in; faults: page faults per call\n");
  printf("   (median over the three); bits: results equal to the CMake build's\n");
  for q = 1:rows(routes)
    printf("   %-26s %s\n", routes{q, 1}, routes{q, 2});
  end
  printf("\n");
  for s = 1:rows(sets)
    z = sets{s, 2};
    use_route(routes, 1, names);
    reference = cellfun(@(name) feval(name, z), names, "UniformOutput", false);
    [t, faults] = route_medians(routes, names, z, large_runs);
    head = {sets{s, 1}, names{:}, "faults", "bits"};
    body = cell(rows(routes), numel(names) + 3);
    for q = 1:rows(routes)
      use_route(routes, q, names);
      same = all(cellfun(@(name, w) isequaln(feval(name, z), w), names, reference));
      body{q, 1} = routes{q, 1};
      for k = 1:numel(names)
        body{q, k + 1} = sprintf("%.2f (%s)", 1e9 * t(q, k) / count, ratio(t(q, k), t(1, k)));
      end
      body{q, end - 1} = sprintf("%d", faults(q));
      body{q, end} = merge(same, "same", "DIFFERENT");
    end
    use_route(routes, 1, names);
    print_table(head, body);
  end
end

% ---- 4. line shapes ------------------------------------------------------------

[fs, labels, short_labels, plugin_of] = line_shape_functions();
rand("seed", 20261209);
x = 20 * rand(count, 1) - 10;
sigma = 0.5 + rand(count, 1);
gamma = 2 * rand(count, 1);
printf("4. Line shapes: the Voigt profile V(x; sigma, gamma) and the plasma dispersion\n");
printf("   function Z(zeta), with and without their derivatives, against what a user\n");
printf("   composes from erfcx or vorlanRegion (argument built and real part taken on\n");
printf("   the clock; derivatives from w' = -2zw + 2i/sqrt(pi) and Z' = -2(1 + zeta Z)).\n");
printf("   Voigt: x in [-10, 10], sigma in [0.5, 1.5], gamma in [0, 2], one of each per\n");
printf("   element; zeta: the points of table 2, upper half-plane unless marked.\n\n");
printf("   Per call (us) and, in parentheses, time over vorlanVoigt's or vorlanPlasmaZ's\n");
printf("   with the same outputs; median of %d samples\n\n", small_samples);
check_line_shape_outputs(fs, line_shape_arguments(voigt_points(x, sigma, gamma, 1000), ...
                                                   upper(1:1000), both(1:1000)), plugin_of);
shown = [5 1 3 6 2 4 10 8];
head = {"elements", "calls", short_labels{shown}};
body = {};
for n = [1 10 100 1000]
  calls = max(20, round(400 / sqrt(n)));
  args = line_shape_arguments(voigt_points(x, sigma, gamma, n), upper(1:n), both(1:n));
  t = per_call_medians(fs(1:10), args(1:10), small_samples, calls);
  row = {sprintf("%d", n), sprintf("%d", calls)};
  for k = shown
    row{end + 1} = sprintf("%.2f (%s)", 1e6 * t(k), ratio(t(k), t(plugin_of(k))));
  end
  body(end + 1, :) = row;
end
print_table(head, body);
printf("   %d elements, ns per element, median of %d runs; /plug-in: time over the\n", count, ...
       large_runs);
printf("   plug-in call with the same outputs; faults: page faults per call (median)\n\n");
args = line_shape_arguments(voigt_points(x, sigma, gamma, count), upper, both);
for g = 1:rows(regimes)
  [t, faults] = regimes{g, 2}(fs, args, large_runs);
  printf("  %s\n", regimes{g, 1});
  print_table({"", "ns", "/plug-in", "faults"}, ...
              [labels', arrayfun(@(tk) sprintf("%.2f", 1e9 * tk / count), t', "UniformOutput", false), ...
               arrayfun(@(k) ratio(t(k), t(plugin_of(k))), (1:numel(t))', "UniformOutput", false), ...
               arrayfun(@(fk) sprintf("%d", fk), faults', "UniformOutput", false)]);
  print_line_shape_targets(t);
end

% ---- 5. the Hartmann-Tran profile ------------------------------------------------

if exist("vorlanHTP") != 3
  error("benchmark_plugins: vorlanHTP is not among the plug-ins in %s", plugin_dir);
end
[fs, labels, short_labels] = htp_functions();
rand("seed", 20261210);
grid_line = struct("nu", linspace(-50, 50, count)', "nu0", 0, "GammaD", 1, "Gamma0", 1, ...
                   "Gamma2", 0.1, "Delta0", 0.2, "Delta2", 0.02, "nuVC", 0.3, "eta", 0.2);
% Per point: the grid's line spread around it (every C2t nonzero, as
% htp_composed needs).
per_point = struct("nu", 100 * rand(count, 1) - 50, "nu0", rand(count, 1) - 0.5, ...
                   "GammaD", 0.5 + rand(count, 1), "Gamma0", 2 * rand(count, 1), ...
                   "Gamma2", 0.02 + 0.16 * rand(count, 1), "Delta0", 0.4 * rand(count, 1) - 0.2, ...
                   "Delta2", 0.04 * rand(count, 1) - 0.02, "nuVC", 0.6 * rand(count, 1), ...
                   "eta", 0.4 * rand(count, 1));
htp_sets = {"line grid", grid_line; "per point", per_point};
printf("5. The Hartmann-Tran profile F (vorlanHTP), alone and with its eight\n");
printf("   derivatives dF, against F composed from its definition with the host's\n");
printf("   w(iZ) = erfcx(Z) and with vorlanPlasmaZ's (w(iZ) = -1i*Z(1i*Z)/sqrt(pi)),\n");
printf("   against vorlanVoigt's V of the same line, and against the floor plug-in\n");
printf("   with the same outputs (F: 2 doubles an element; dF: 16 more).\n");
printf("   line grid: nu over [-50, 50] Doppler widths, one line: nu0=0, GammaD=1,\n");
printf("   Gamma0=1, Gamma2=0.1, Delta0=0.2, Delta2=0.02, nuVC=0.3, eta=0.2;\n");
printf("   per point: all nine arguments arrays, around that line\n\n");
for s = 1:rows(htp_sets)
  check_htp_compositions(htp_sets{s, 1}, fs, htp_arguments(htp_sets{s, 2}, min(count, 1000)));
end
printf("\n   Per call (us) and, in parentheses, time over vorlanHTP's F; median of %d\n", ...
       small_samples);
printf("   samples\n\n");
% One column per size, one row per function and set: fourteen columns would
% not fit across.
sizes = [1 10 100 1000];
body = [{"calls"}; strcat(repmat(htp_sets(:, 1)', numel(fs), 1)(:), {", "}, ...
                          repmat(short_labels', rows(htp_sets), 1))];
for n = sizes
  calls = max(20, round(400 / sqrt(n)));
  column = {sprintf("%d", calls)};
  for s = 1:rows(htp_sets)
    t = per_call_medians(fs, htp_arguments(htp_sets{s, 2}, n), small_samples, calls);
    column = [column; arrayfun(@(tk) sprintf("%.2f (%s)", 1e6 * tk, ratio(tk, t(1))), t', ...
                               "UniformOutput", false)];
  end
  body = [body, column];
end
print_table([{"elements"}, arrayfun(@(n) sprintf("%d", n), sizes, "UniformOutput", false)], body);
printf("   %d elements, ns per element, median of %d runs; /F: time over vorlanHTP's F;\n", ...
       count, large_runs);
printf("   faults: page faults per call (median)\n\n");
for g = 1:rows(regimes)
  printf("  %s\n", regimes{g, 1});
  head = {""};
  body = labels';
  times = {};
  for s = 1:rows(htp_sets)
    [t, faults] = regimes{g, 2}(fs, htp_arguments(htp_sets{s, 2}, count), large_runs);
    times{s} = t;
    head = [head, {[htp_sets{s, 1} " ns"], "/F", "faults"}];
    body = [body, arrayfun(@(tk) sprintf("%.2f", 1e9 * tk / count), t', "UniformOutput", false), ...
            arrayfun(@(tk) ratio(tk, t(1)), t', "UniformOutput", false), ...
            arrayfun(@(fk) sprintf("%d", fk), faults', "UniformOutput", false)];
  end
  print_table(head, body);
  for s = 1:rows(htp_sets)
    t = times{s};
    printf("    %s: F / erfcx composition %.2f, F / vorlanPlasmaZ composition %.2f,\n", ...
           htp_sets{s, 1}, t(1) / t(3), t(1) / t(4));
    printf("      F / Voigt V %.2f, (F+dF) / F %.2f, F / its floor %.2f, F+dF / its floor %.2f\n", ...
           t(1) / t(5), t(2) / t(1), t(1) / t(6), t(2) / t(7));
  end
  printf("\n");
end
print_load("at the end");
