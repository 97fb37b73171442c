% A host session that hands each plug-in every input class, shape, fringe
% value and bad call it can meet, for a run under valgrind's memcheck.  Every
% element of every result is formatted as text, so that an element the
% plug-in left unwritten reaches a branch in the host and memcheck reports it.
% The session fails (exit status 1) if a call does not give the expected
% result size or error identifier.
1;

function check_result(name, w, x)
  rows = size(x, 1);
  columns = numel(x) / max(rows, 1);
  if rows == 0
    columns = prod(size(x)(2:end));
  end
  if ~isa(w, 'double') || ~isequal(size(w), [rows, columns])
    error('session:shape', '%s: result is %s %s for a %s input', name, class(w), ...
          mat2str(size(w)), mat2str(size(x)));
  end
  % Touches every bit of every element: formatting branches on the values.
  text = sprintf('%.17g %.17g;', [real(w(:)), imag(w(:))].');
  if numel(w) > 0 && isempty(text)
    error('session:format', '%s: nothing formatted', name);
  end
end

% The line shapes keep every dimension of the combined size.
function check_line_shape(name, r, x)
  if ~isa(r, 'double') || ~isequal(size(r), size(x))
    error('session:shape', '%s: result is %s %s, expected %s', name, class(r), ...
          mat2str(size(r)), mat2str(size(x)));
  end
  text = sprintf('%.17g %.17g;', [real(r(:)), imag(r(:))].');
end

function count = expect_error(name, identifier, varargin)
  try
    w = feval(name, varargin{:});
  catch err
    if ~strcmp(err.identifier, identifier)
      error('session:error', '%s: got "%s" (%s), expected %s', name, err.message, ...
            err.identifier, identifier);
    end
    count = 1;
    return;
  end
  error('session:noError', '%s: expected %s, got a result', name, identifier);
end

plugins = {'vorlanRegion', 'vorlanRational', 'vorlan'};
classes = {'double', 'single', 'int8', 'uint8', 'int16', 'uint16', 'int32', 'uint32', ...
           'int64', 'uint64', 'logical'};
shapes = {zeros(0, 0), zeros(0, 3), zeros(3, 0), zeros(1, 1, 0), zeros(0, 2, 3), 1.5, ...
          (1:5) - 2.5, (1:5).' * 3, reshape(1:24, 2, 3, 4) - 12, magic(7) - 20};

% Real and imaginary parts at the kernels' boundaries: signed zeros,
% subnormals, the region edges, the lower half-plane limits of exp(-z^2) and
% of the phase 2|x||y|, the rational formula's overflow, the argument limit
% 5e153 and its neighbours, the largest double, infinities and NaN.
limit = 5e153;
magnitudes = [0, realmin, realmin / 2, 4.9e-324, eps, 1e-10, 0.1, 0.29, 0.5, 1, 1.7, ...
              1.84, 5.3, 6.3, 10, sqrt(708.503061461606), 26.7, 30, 1e6, 1e10, 1e15, ...
              3537118876014220 / 2, 1e30, 1e43, 1.09e44, 1e100, limit * (1 - eps), limit, ...
              limit * (1 + eps), 6e153, realmax, Inf];
fringe = [magnitudes, -magnitudes, NaN];
[fx, fy] = meshgrid(fringe, fringe);
fringe_grid = complex(fx, fy);
lower_half_plane = [0.1 - 30i, -30i, 1e10 - 1e6i, 26.62 - 1e-3i, 1 - 26.7i, ...
                    complex(1e10, -3537118876014220 / 2e10)];

calls = 0;
errors = 0;
for p = 1:numel(plugins)
  name = plugins{p};
  complex_only = strcmp(name, 'vorlan');

  % Every class in every shape, real and (where the class has it) complex.
  for c = 1:numel(classes)
    for s = 1:numel(shapes)
      x = cast(shapes{s}, classes{c});
      if complex_only
        errors += expect_error(name, 'vorlan:notComplex', x);
      else
        check_result(name, feval(name, x), x);
      end
      if any(strcmp(classes{c}, {'double', 'single'}))
        z = complex(x, cast(-shapes{s} / 2, classes{c}));
        check_result(name, feval(name, z), z);
        calls += 1;
      end
      calls += 1;
    end
    % The class's own extremes, converted to double by the gateway.
    if ~strcmp(classes{c}, 'logical')
      if any(strcmp(classes{c}, {'double', 'single'}))
        e = [realmax(classes{c}), -realmax(classes{c}), realmin(classes{c}) / 2, ...
             Inf, -Inf, NaN];
        e = cast(e, classes{c});
        check_result(name, feval(name, complex(e, e(end:-1:1))), e);
        calls += 1;
      else
        e = [intmin(classes{c}), intmax(classes{c}), 0];
      end
      if ~complex_only
        check_result(name, feval(name, e), e);
        calls += 1;
      end
    end
  end

  % Fringe values, as one grid, one at a time, and in the lower half-plane.
  check_result(name, feval(name, fringe_grid), fringe_grid);
  for k = 1:numel(fringe)
    z = complex(fringe(k), -fringe(k));
    check_result(name, feval(name, z), z);
  end
  check_result(name, feval(name, lower_half_plane), lower_half_plane);
  check_result(name, feval(name, single(fringe_grid)), fringe_grid);
  if ~complex_only
    check_result(name, feval(name, fringe), fringe);
  end
  calls += numel(fringe) + 4;

  % Bad calls: each must end in its error, leaving the session intact.
  if complex_only
    not_numeric = 'vorlan:notComplex';  % the complexity check comes first
  else
    not_numeric = 'vorlan:notNumeric';
  end
  errors += expect_error(name, 'vorlan:nargin');
  errors += expect_error(name, 'vorlan:nargin', 1i, 2i);
  errors += expect_error(name, 'vorlan:nargin', 1i, 'a', {});
  errors += expect_error(name, not_numeric, 'abc');
  errors += expect_error(name, not_numeric, '');
  errors += expect_error(name, not_numeric, {1i});
  errors += expect_error(name, not_numeric, {});
  errors += expect_error(name, not_numeric, struct('a', 1i));
  errors += expect_error(name, not_numeric, @sin);
  errors += expect_error(name, 'vorlan:sparse', sparse(complex(1, 1)));
  errors += expect_error(name, 'vorlan:sparse', sparse([0, 1i; 2, 0]));
  if complex_only
    errors += expect_error(name, 'vorlan:notComplex', 1);
    errors += expect_error(name, 'vorlan:notComplex', sparse(1));
    errors += expect_error(name, 'vorlan:notComplex', true);
  else
    errors += expect_error(name, 'vorlan:sparse', sparse(1));
    errors += expect_error(name, 'vorlan:sparse', sparse(true));
  end

  % Output counts the gateway ignores: none asked for, and two asked for
  % (the host reports the missing second output).
  feval(name, 1i);
  try
    [a, b] = feval(name, 1i);
    error('session:twoOutputs', '%s: two outputs given', name);
  catch err
    if strcmp(err.identifier, 'session:twoOutputs')
      rethrow(err);
    end
  end

  % Large enough that the block evaluators share the work among threads.
  large = complex(randn(400), randn(400)) * 5;
  check_result(name, feval(name, large), large);
  calls += 1;

  % Unloading and loading the plug-in again between calls.
  clear(name);
  check_result(name, feval(name, fringe_grid), fringe_grid);
  calls += 2;
end

% The line shapes: every class, shapes that broadcast (N-d and empty among
% them), fringe values as x, widths and zeta, every output count, bad calls.
for c = 1:numel(classes)
  for s = 1:numel(shapes)
    x = cast(shapes{s}, classes{c});
    [V, dx, ds, dg] = vorlanVoigt(x, cast(1, classes{c}), x);
    check_line_shape('vorlanVoigt', V, x);
    check_line_shape('vorlanVoigt', dg, x);
    [Z, dZ] = vorlanPlasmaZ(x);
    check_line_shape('vorlanPlasmaZ', dZ, x);
    calls += 2;
  end
end
widths = abs(fringe(:));
[V, dx, ds, dg] = vorlanVoigt(fringe, widths, permute(widths, [3 2 1]));
text = sprintf('%.17g', [V(:); dx(:); ds(:); dg(:)]);
[V, dx] = vorlanVoigt(fringe(:), -widths.', 0);
text = sprintf('%.17g', [V(:); dx(:)]);
[Z, dZ] = vorlanPlasmaZ(fringe_grid);
check_line_shape('vorlanPlasmaZ', Z, fringe_grid);
check_line_shape('vorlanPlasmaZ', dZ, fringe_grid);
check_line_shape('vorlanPlasmaZ', vorlanPlasmaZ(lower_half_plane), lower_half_plane);
for nout = 0:4
  outputs = cell(1, nout);
  [outputs{:}] = vorlanVoigt((1:5)', 1, [0 1]);
end
vorlanVoigt(1, 1, 1);
large = randn(400) * 5;
[V, dx, ds, dg] = vorlanVoigt(large, 0.5, large(:, 1));
check_line_shape('vorlanVoigt', ds, large);
[Z, dZ] = vorlanPlasmaZ(complex(large, large.'));
check_line_shape('vorlanPlasmaZ', dZ, large);
calls += 10;
errors += expect_error('vorlanVoigt', 'vorlan:nargin', 1, 2);
errors += expect_error('vorlanVoigt', 'vorlan:notNumeric', 1, 'a', 1);
errors += expect_error('vorlanVoigt', 'vorlan:sparse', 1, 1, sparse(1));
errors += expect_error('vorlanVoigt', 'vorlan:complex', 1i, 1, 1);
errors += expect_error('vorlanVoigt', 'vorlan:nonconformant', [1 2], [1 2 3], 1);
errors += expect_error('vorlanPlasmaZ', 'vorlan:nargin');
errors += expect_error('vorlanPlasmaZ', 'vorlan:notNumeric', {1});
errors += expect_error('vorlanPlasmaZ', 'vorlan:sparse', sparse(1i));
try
  [a, b, c] = vorlanPlasmaZ(1);
catch err
  errors += strcmp(err.identifier, 'vorlan:nargout');
end

% vorlanHTP: nine arguments (scalars of every class read where they are or
% converted), its struct of derivatives for every output count, bad calls.
for c = 1:numel(classes)
  for s = 1:numel(shapes)
    x = cast(shapes{s}, classes{c});
    one = cast(1, classes{c});
    [F, dF] = vorlanHTP(x, one, 0.5, one, 0.05, x, 0, 0.1, 0.3);
    cellfun(@(r) check_line_shape('vorlanHTP', r, x), [{F}; struct2cell(dF)]);
    calls += 1;
  end
end
[F, dF] = vorlanHTP(fringe, 0, widths, 0.2, 0.05, 0, 0.01, 0.1, fringe);
text = sprintf('%.17g', [real(F(:)); imag(F(:)); real(dF.eta(:)); imag(dF.nu0(:))]);
for nout = 0:2
  outputs = cell(1, nout);
  [outputs{:}] = vorlanHTP((1:5)', 1, 1, [0 1], 0, 0, 0, 0, 0);
end
vorlanHTP(1, 1, 1, 1, 1, 1, 1, 1, 1);
% (a sixteenth of the grid, several chunks and both threads: each point
% costs a few w evaluations, slow under memcheck)
[F, dF] = vorlanHTP(large(1:25, :), 0, 0.5, large(1:25, 1), 0.1, 0, 0, 0.2, 0.5);
cellfun(@(r) check_line_shape('vorlanHTP', r, large(1:25, :)), [{F}; struct2cell(dF)]);
calls += 6;
nine = num2cell(1:9);
errors += expect_error('vorlanHTP', 'vorlan:nargin', nine{1:8});
errors += expect_error('vorlanHTP', 'vorlan:notNumeric', nine{1:8}, 'a');
errors += expect_error('vorlanHTP', 'vorlan:sparse', nine{1:4}, sparse(1), nine{6:9});
errors += expect_error('vorlanHTP', 'vorlan:complex', nine{1:8}, 1i);
errors += expect_error('vorlanHTP', 'vorlan:nonconformant', [1 2], [1 2 3], nine{3:9});
try
  [a, b, c] = vorlanHTP(nine{:});
catch err
  errors += strcmp(err.identifier, 'vorlan:nargout');
end

printf('memcheck session: %d results checked, %d errors raised as expected\n', calls, errors);
