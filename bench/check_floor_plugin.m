function check_floor_plugin(floor_dir)
% The floor plug-ins in FLOOR_DIR (one for each complex array API) are the
% benchmarks' yardstick: each must hand back its complex input unchanged, bit
% for bit and in the host's shape, and refuse what it cannot copy, or every
% ratio over it means nothing.
addpath(floor_dir);
files = dir(fullfile(floor_dir, ["floor_plugin*." mexext()]));
for f = 1:numel(files)
  [~, name] = fileparts(files(f).name);
  check_one(name);
end
end

function check_one(name)
specials = [0, -0, 1, -1, realmin / 4, realmax, Inf, -Inf, NaN, pi];
[re, im] = meshgrid(specials, fliplr(specials));
inputs = {complex(-0, 5e-324), complex(re, im), complex(rand(3, 4, 2), -rand(3, 4, 2)), ...
          complex(zeros(0, 3), zeros(0, 3)), complex(rand(1, 70001), rand(1, 70001))};
for k = 1:numel(inputs)
  z = inputs{k};
  w = feval(name, z);
  expected_size = [rows(z), numel(z) / max(rows(z), 1)];
  if isempty(z)
    expected_size = [rows(z), columns(z)];
  end
  % (Octave itself turns an empty complex result real.)
  if !isequal(size(w), expected_size) || !(iscomplex(w) || isempty(w)) || !isa(w, "double")
    error("input %d: %s complex in, %s %s out", k, mat2str(size(z)), mat2str(size(w)), ...
          class(w));
  end
  same = @(a, b) isequal(typecast(a(:), "uint64"), typecast(b(:), "uint64"));
  if !same(real(w), real(z)) || !same(imag(w), imag(z))
    error("input %d: the parts do not come back bit for bit", k);
  end
end
% A real input comes back real, in every output asked for.
x = [0, -0, realmin / 4, -Inf, NaN; 1, 2, 3, 4, 5];
[a, b, c, d] = feval(name, x);
same = @(p, q) isequal(typecast(p(:), "uint64"), typecast(q(:), "uint64"));
if any(cellfun(@(r) iscomplex(r) || !isequal(size(r), size(x)) || !same(r, x), {a, b, c, d}))
  error("%s: a real input does not come back in each of four outputs", name);
end
for bad = {{}, {single(1i)}, {1i, 2i}, {sparse(1)}}
  try
    feval(name, bad{1}{:});
    error("%s accepted %d input(s) of class %s", name, numel(bad{1}), class(bad{1}));
  catch failure
    if !strcmp(failure.identifier, "floor_plugin:input")
      rethrow(failure);
    end
  end
end
printf("%s: %d complex inputs and a real one copied bit for bit, 4 bad calls refused\n", name, ...
       numel(inputs));
end
