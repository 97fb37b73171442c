% Times the three plug-ins against the host's own w(z) = erfcx(-iz) and
% against a plain copy z*1, in one session over the same arrays.
%
%   octave-cli bench/benchmark_plugins.m <plug-in folder>
% or with the folder in VORLAN_PLUGIN_DIR (bench/run_plugin_benchmark.sh sets it).
% Optional second argument or VORLAN_BENCH_COUNT: the element count (10^6).
1;

function t = median_time(f, runs)
  times = zeros(1, runs);
  f();  % warm-up: first-call loading and page faults stay out of the figures
  for r = 1:runs
    start = tic;
    f();
    times(r) = toc(start);
  end
  t = median(times);
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
  printf("machine: %s, %d cores; %s\n", model, nproc(), version_string());
end

function s = version_string()
  s = sprintf("GNU Octave %s", OCTAVE_VERSION);
end

args = argv();
plugin_dir = getenv("VORLAN_PLUGIN_DIR");
if numel(args) >= 1
  plugin_dir = args{1};
end
if isempty(plugin_dir) || !exist(plugin_dir, "dir")
  error("benchmark_plugins: give the plug-in folder as argument or in VORLAN_PLUGIN_DIR");
end
count = 1e6;
if numel(args) >= 2
  count = str2double(args{2});
elseif !isempty(getenv("VORLAN_BENCH_COUNT"))
  count = str2double(getenv("VORLAN_BENCH_COUNT"));
end
addpath(plugin_dir);
runs = 7;

describe_machine();
printf("plug-ins from %s; %d elements, median of %d runs\n\n", plugin_dir, count, runs);

rand("seed", 20240601);
upper = complex(20 * rand(count, 1) - 10, 5 * rand(count, 1));
both = complex(10 * rand(count, 1) - 5, 10 * rand(count, 1) - 5);
sets = {"upper half-plane |x|<10, 0<=y<5", upper; "both half-planes |x|,|y|<5", both};

for s = 1:rows(sets)
  z = sets{s, 2};
  arg = -1i * z;  % the host's argument, prepared before any clock starts
  t_host = median_time(@() erfcx(arg), runs);
  t_copy = median_time(@() z * 1, runs);
  printf("%s\n", sets{s, 1});
  printf("  %-16s %10s %12s %12s\n", "", "ns/element", "vs erfcx", "vs z*1");
  printf("  %-16s %10.2f %12s %12s\n", "erfcx(-1i*z)", 1e9 * t_host / count, "1.00", ...
         sprintf("%.2f", t_host / t_copy));
  printf("  %-16s %10.2f %12s %12s\n", "z*1", 1e9 * t_copy / count, ...
         sprintf("%.4f", t_copy / t_host), "1.00");
  names = {"vorlanRegion", "vorlan", "vorlanRational"};
  for k = 1:numel(names)
    f = str2func(names{k});
    t = median_time(@() f(z), runs);
    printf("  %-16s %10.2f %11.2fx %11.2fx\n", names{k}, 1e9 * t / count, t_host / t, ...
           t / t_copy);
  end
  printf("  (vs erfcx: how many times faster than the host's w(z); vs z*1: time over a copy's)\n\n");
end
