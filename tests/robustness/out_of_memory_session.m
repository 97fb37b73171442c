% Calls whose scratch (32 bytes per element for the w(z) plug-ins, 8 per spread
% input for vorlanHTP) cannot be had must fail with vorlan:outOfMemory, and the
% session must go on working.
%
% Run twice by out_of_memory.sh: first without a limit, skipping the calls
% that need the scratch, to measure the address space the session's own
% arrays take (VmPeak); then under `ulimit -v` set 1 GiB above that, where the
% host arrays fit and the 1.6 GB and 3.2 GB scratch blocks do not; vorlanHTP,
% with and without its derivatives, is refused too and works after.
limited = strcmp(getenv("VORLAN_OOM_LIMITED"), "1");

x = ones(1e4) * 0.5;                  % 10^8 real elements, 800 MB
z = complex(ones(5e3, 1e4), 0.25);    % 5 * 10^7 complex elements, 800 MB
points = [0.5, 1 + 2i, -3 - 0.5i, 5e153, NaN];
% vorlanHTP on a line grid: nu, then the line parameters (scalars).
line = {[999.5, 1000, 1000.25, NaN], 1000, 0.125, 0.05, 0.01, -0.002, 0, 0.02, 0.25};
before = {vorlanRegion(points), vorlan(complex(points)), vorlanRational(points), ...
          vorlanHTP(line{:})};
[~, dF_before] = vorlanHTP(line{:});
middle = vorlanRegion(x(1:1e6));
[middle_F, middle_dF] = vorlanHTP(x(1:1e5), line{2:end});

if ~limited
  status = fileread("/proc/self/status");
  printf("vmpeak_kb=%s\n", regexp(status, 'VmPeak:\s*(\d+)', "tokens", "once"){1});
  exit(0);
end

% vorlanHTP reads x where it is and its scalars with step 0; the column and
% the row of line parameters are spread to x's size in scratch (1.6 GB).
wide_line = [{x, x(:, 1), x(1, :)}, line(4:end)];
% Plug-in, arguments, outputs asked for.
big_calls = {"vorlanRegion", {x}, 1; "vorlanRational", {x}, 1; "vorlan", {z}, 1; ...
             "vorlanHTP", wide_line, 1; "vorlanHTP", wide_line, 2};
for k = 1:rows(big_calls)
  [name, arguments, nout] = big_calls{k, :};
  try
    results = cell(1, nout);
    [results{:}] = feval(name, arguments{:});
    error("oom:noError", "%s: the call succeeded under the limit", name);
  catch err
    if ~strcmp(err.identifier, "vorlan:outOfMemory") || isempty(regexp(err.message, "Out of memory$"))
      error("oom:wrongError", "%s: got '%s' (%s)", name, err.message, err.identifier);
    end
    printf("%s on %d elements, %d outputs: %s (%s)\n", name, numel(arguments{1}), nout, ...
           err.message, err.identifier);
  end
end
clear results;

% The session goes on: the same small calls give the same bits, and a call
% whose scratch fits still works.
same = @(a, b) isequal(size(a), size(b)) && ...
              all((real(a(:)) == real(b(:)) | (isnan(real(a(:))) & isnan(real(b(:))))) & ...
                  (imag(a(:)) == imag(b(:)) | (isnan(imag(a(:))) & isnan(imag(b(:))))));
same_fields = @(s, t) isequal(fieldnames(s), fieldnames(t)) && ...
                      all(cellfun(@(f) same(s.(f), t.(f)), fieldnames(s)));
after = {vorlanRegion(points), vorlan(complex(points)), vorlanRational(points), ...
         vorlanHTP(line{:})};
[~, dF_after] = vorlanHTP(line{:});
for k = 1:numel(after)
  if ~same(after{k}, before{k})
    error("oom:changed", "call %d gives other values after the failures", k);
  end
end
if ~same_fields(dF_after, dF_before)
  error("oom:changed", "vorlanHTP's derivatives differ after the failures");
end
if ~isequal(vorlanRegion(x(1:1e6)), middle)
  error("oom:middle", "a call within the limit changed after the failures");
end
[F, dF] = vorlanHTP(x(1:1e5), line{2:end});
if ~same(F, middle_F) || ~same_fields(dF, middle_dF)
  error("oom:middle", "vorlanHTP within the limit changed after the failures");
end
printf("out of memory: %d refusals, later calls unchanged\n", rows(big_calls));
