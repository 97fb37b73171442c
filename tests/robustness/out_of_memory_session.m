% Calls whose scratch (32 bytes per element) cannot be had must fail with
% vorlan:outOfMemory, and the session must go on working.
%
% Run twice by out_of_memory.sh: first without a limit, skipping the calls
% that need the scratch, to measure the address space the session's own
% arrays take (VmPeak); then under `ulimit -v` set 1 GiB above that, where the
% host arrays fit and the 1.6 GB and 3.2 GB scratch blocks do not.
limited = strcmp(getenv("VORLAN_OOM_LIMITED"), "1");

x = ones(1e4) * 0.5;                  % 10^8 real elements, 800 MB
z = complex(ones(5e3, 1e4), 0.25);    % 5 * 10^7 complex elements, 800 MB
points = [0.5, 1 + 2i, -3 - 0.5i, 5e153, NaN];
before = {vorlanRegion(points), vorlan(complex(points)), vorlanRational(points)};
middle = vorlanRegion(x(1:1e6));

if ~limited
  status = fileread("/proc/self/status");
  printf("vmpeak_kb=%s\n", regexp(status, 'VmPeak:\s*(\d+)', "tokens", "once"){1});
  exit(0);
end

big_calls = {"vorlanRegion", x; "vorlanRational", x; "vorlan", z};
for k = 1:rows(big_calls)
  name = big_calls{k, 1};
  try
    w = feval(name, big_calls{k, 2});
    error("oom:noError", "%s: the call succeeded under the limit", name);
  catch err
    if ~strcmp(err.identifier, "vorlan:outOfMemory") || isempty(regexp(err.message, "Out of memory$"))
      error("oom:wrongError", "%s: got '%s' (%s)", name, err.message, err.identifier);
    end
    printf("%s on %d elements: %s (%s)\n", name, numel(big_calls{k, 2}), err.message, ...
           err.identifier);
  end
end

% The session goes on: the same small calls give the same bits, and a call
% whose scratch fits still works.
after = {vorlanRegion(points), vorlan(complex(points)), vorlanRational(points)};
for k = 1:3
  a = after{k};
  b = before{k};
  same = (real(a) == real(b) | (isnan(real(a)) & isnan(real(b)))) & ...
         (imag(a) == imag(b) | (isnan(imag(a)) & isnan(imag(b))));
  if ~all(same)
    error("oom:changed", "call %d gives other values after the failures", k);
  end
end
if ~isequal(vorlanRegion(x(1:1e6)), middle)
  error("oom:middle", "a call within the limit changed after the failures");
end
printf("out of memory: 3 refusals, later calls unchanged\n");
