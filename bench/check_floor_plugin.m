function check_floor_plugin(floor_dir)
% The floor plug-in in FLOOR_DIR is the benchmarks' yardstick: it must hand
% back its complex input unchanged, bit for bit and in the host's shape, and
% refuse what it cannot copy, or every ratio over it means nothing.
addpath(floor_dir);
specials = [0, -0, 1, -1, realmin / 4, realmax, Inf, -Inf, NaN, pi];
[re, im] = meshgrid(specials, fliplr(specials));
inputs = {complex(-0, 5e-324), complex(re, im), complex(rand(3, 4, 2), -rand(3, 4, 2)), ...
          complex(zeros(0, 3), zeros(0, 3)), complex(rand(1, 70001), rand(1, 70001))};
for k = 1:numel(inputs)
  z = inputs{k};
  w = floor_plugin(z);
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
for bad = {{}, {1}, {single(1i)}, {1i, 2i}}
  try
    floor_plugin(bad{1}{:});
    error("floor_plugin accepted %d input(s) of class %s", numel(bad{1}), class(bad{1}));
  catch failure
    if !strcmp(failure.identifier, "floor_plugin:input")
      rethrow(failure);
    end
  end
end
printf("floor_plugin: %d inputs copied bit for bit, 4 bad calls refused\n", numel(inputs));
end
