% vorlanHTP in the host: the refusals by identifier and in their order, sizes
% as the arithmetic operators combine nine arguments, the struct of
% derivatives (its fields, their order and sizes), classes and nargout.  The
% values are the kernel tests' business.
function test_htp ()
  check_refusals ();
  check_shapes_and_fields ();
  check_classes_and_outputs ();
endfunction

function check_refusals ()
  count = "Nine inputs required in vorlanHTP.";
  p = num2cell (1:9);
  swap = @(k, value) [p(1:k-1), {value}, p(k+1:end)];
  % arguments, nargout, identifier, text, what
  cases = {
    {}, 0, "vorlan:nargin", count, "no input"
    p(1:8), 1, "vorlan:nargin", count, "eight inputs"
    [p {1}], 3, "vorlan:nargin", count, "ten inputs, count before nargout"
    p, 3, "vorlan:nargout", "At most two outputs in vorlanHTP.", "3 out"
    swap(9, "a"), 2, "vorlan:notNumeric", "Input array is not numeric", "char eta"
    swap(3, struct ("a", 1)), 1, "vorlan:notNumeric", "Input array is not numeric", "struct"
    swap(6, sparse (1)), 1, "vorlan:sparse", "Input array is sparse", "sparse"
    swap(5, complex (1, 0)), 2, "vorlan:complex", "Input array is complex", "complex Gamma2"
    swap(2, [1 2]), 1, "vorlan:nonconformant", "Input arrays are nonconformant", "1x2 with 1x9"
  };
  cases{end, 1}{1} = 1:9;
  for k = 1:rows (cases)
    expect_error ("vorlanHTP", cases{k, 1}, cases{k, 3}, cases{k, 4}, cases{k, 5}, cases{k, 2});
  endfor
  F = 42; dF = 43;
  try
    [F, dF] = vorlanHTP (p{1:8}, 1i);
  catch
  end_try_catch
  expect_true (isequal ([F dF], [42 43]), "a refused vorlanHTP call changed its outputs");
endfunction

% A line's arguments, of the given shapes, with values that vary along them.
function args = line_args (shapes)
  centre = {1000, 1000, 0.01, 0.02, 0.002, -0.001, 0.0005, 0.005, 0.1};
  spread = {0.1, 0.01, 0.005, 0.01, 0.001, 0.001, 0.0005, 0.005, 0.1};
  args = cell (1, 9);
  for j = 1:9
    n = prod (shapes{j});
    args{j} = reshape (centre{j} + spread{j} * linspace (-1, 1, n) * (n > 1), [shapes{j} 1]);
  endfor
endfunction

function check_shapes_and_fields ()
  names = {"nu0", "GammaD", "Gamma0", "Gamma2", "Delta0", "Delta2", "nuVC", "eta"};
  one = [1 1];
  shapes = {
    repmat({one}, 1, 9)
    [{[1 201]}, repmat({one}, 1, 8)]
    [{[5 1]}, {[1 3]}, repmat({one}, 1, 6), {[1 3]}]
    [{[2 1 3]}, repmat({one}, 1, 7), {[1 4]}]
    [{[0 3]}, repmat({one}, 1, 7), {[1 3]}]
  };
  for k = 1:rows (shapes)
    args = line_args (shapes{k});
    what = strjoin (cellfun (@mat2str, shapes{k}, "UniformOutput", false), ", ");
    zero = 0;
    for j = 1:9
      zero = zero + 0 * args{j};
    endfor
    expected = size (zero);
    [F, dF] = vorlanHTP (args{:});
    full = cellfun (@(a) a + zero, args, "UniformOutput", false);
    [F_full, dF_full] = vorlanHTP (full{:});
    expect_true (isequal (size (F), expected) && isa (F, "double") ...
                 && (isempty (F) || iscomplex (F)), "vorlanHTP(%s): F %s %s", what, class (F), ...
                 mat2str (size (F)));
    expect_true (same_bits (F, F_full), "vorlanHTP(%s): F differs from pre-broadcast", what);
    expect_true (isstruct (dF) && isequal (size (dF), [1 1]) ...
                 && isequal (fieldnames (dF)', names), "vorlanHTP(%s): dF's fields", what);
    for f = 1:numel (names)
      d = dF.(names{f});
      expect_true (isequal (size (d), expected) && isa (d, "double") ...
                   && same_bits (d, dF_full.(names{f})), "vorlanHTP(%s): dF.%s", what, names{f});
    endfor
  endfor
endfunction

% Every numeric class is taken as its conversion to double; F is the same
% whether or not dF is asked for.
function check_classes_and_outputs ()
  args = line_args ([{[1 7]}, repmat({[1 1]}, 1, 8)]);
  args{1} = 997:1003;
  reference = vorlanHTP (args{:});
  for convert = {@single, @int16, @uint16, @int32, @int64, @uint64, @double}
    typed = cellfun (@(a) convert{1}(a), args, "UniformOutput", false);
    typed(3:end) = args(3:end);
    expect_true (same_bits (vorlanHTP (typed{:}), reference), "vorlanHTP of class %s", ...
                 class (typed{1}));
  endfor
  expect_true (same_bits (vorlanHTP (args{1:8}, false), vorlanHTP (args{1:8}, 0)), ...
               "vorlanHTP: logical eta");
  [F, dF] = vorlanHTP (args{:});
  vorlanHTP (args{:});
  expect_true (same_bits (F, reference) && same_bits (ans, reference), "vorlanHTP nargout 0/2");
endfunction
