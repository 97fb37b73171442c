% Shapes and element classes: the result is complex double with the rows and
% columns the host reports for the input, element k computed from element k,
% and every numeric class taken as its conversion to double.
function test_shapes_and_classes ()
  plugins = {"vorlanRegion", "vorlan", "vorlanRational"};
  for k = 1:numel (plugins)
    check_shapes (plugins{k});
  endfor
  check_real_input_classes ("vorlanRegion");
  check_real_input_classes ("vorlanRational");
  for k = 1:numel (plugins)
    check_complex_single (plugins{k});
  endfor
endfunction

% Each element evaluated on its own, as a complex scalar (a complex array's
% element with zero imaginary part would come back real from indexing).
function w = one_by_one (plugin, z)
  w = complex (zeros (size (z)));
  for k = 1:numel (z)
    w(k) = feval (plugin, complex (real (z(k)), imag (z(k))));
  endfor
endfunction

function check_shapes (plugin)
  % Points from every region, both half-planes, no two alike.
  z = reshape (complex (linspace (-7, 7, 6), [0.3 -0.5 2 -4 9 1e-3]), 3, 2);
  w = feval (plugin, z);
  expect_true (isequal (size (w), [3 2]), "%s: 3x2 gave %s", plugin, mat2str (size (w)));
  expect_true (isa (w, "double") && iscomplex (w), "%s: 3x2 result not complex double", plugin);
  expect_true (same_bits (w, one_by_one (plugin, z)), "%s: 3x2 element k is not w(z(k))", plugin);
  expect_true (all (abs (w(:) - erfcx (-1i * z(:))) <= 1e-5 * abs (w(:))), ...
               "%s: 3x2 elements out of place", plugin);

  % Octave reports an N-d array as rows x (product of the other dimensions),
  % and the elements keep their storage order.
  z3 = reshape (complex (linspace (-3, 5, 24), linspace (2, -1, 24)), 2, 3, 4);
  w3 = feval (plugin, z3);
  expect_true (isequal (size (w3), [2 12]), "%s: 2x3x4 gave %s", plugin, mat2str (size (w3)));
  expect_true (same_bits (w3, reshape (feval (plugin, z3(:)), 2, 12)), ...
               "%s: 2x3x4 differs from its 24 elements in storage order", plugin);
  expect_true (same_bits (w3(:), one_by_one (plugin, z3(:))), ...
               "%s: 2x3x4 element k is not w(z(k))", plugin);

  row = complex (linspace (0, 2, 5), 0.5);
  expect_true (same_bits (feval (plugin, row), transpose (feval (plugin, transpose (row)))), ...
               "%s: a row and a column of the same values differ", plugin);

  for dims = {[0 3], [3 0], [0 0], [0 5 2]}
    empty = complex (zeros (dims{1}), zeros (dims{1}));
    w0 = feval (plugin, empty);
    expected = [dims{1}(1), prod(dims{1}(2:end))];
    expect_true (isequal (size (w0), expected) && isa (w0, "double"), ...
                 "%s: empty %s gave %s", plugin, mat2str (dims{1}), mat2str (size (w0)));
  endfor
  w0 = feval (plugin, complex (zeros (0, 3, "single"), zeros (0, 3, "single")));
  expect_true (isequal (size (w0), [0 3]) && isa (w0, "double"), ...
               "%s: empty single gave %s %s", plugin, class (w0), mat2str (size (w0)));

  if (! strcmp (plugin, "vorlan"))
    w1 = feval (plugin, 0.75);
    expect_true (isequal (size (w1), [1 1]) && isa (w1, "double") && iscomplex (w1), ...
                 "%s: real scalar gave %s %s", plugin, class (w1), mat2str (size (w1)));
    expect_true (abs (w1 - erfcx (-0.75i)) <= 1e-5 * abs (w1), "%s: w(0.75) = %s", plugin, ...
                 num2str (w1, 17));
    for dims = {[0 3], [3 0]}
      w0 = feval (plugin, zeros (dims{1}));
      expect_true (isequal (size (w0), dims{1}) && isa (w0, "double"), ...
                   "%s: real empty %s gave %s", plugin, mat2str (dims{1}), mat2str (size (w0)));
    endfor
    % A range is stored lazily by Octave but reaches the plug-in as a matrix.
    expect_true (same_bits (feval (plugin, 0:0.5:2), feval (plugin, [0 0.5 1 1.5 2])), ...
                 "%s: a range differs from the same matrix", plugin);
  endif
endfunction

% Values that each class holds exactly, its extremes included.
function check_real_input_classes (plugin)
  inputs = {
    [-2.5 -1 -0.5 -0 0 0.25 1 3.75 100 1e-300]
    single([-2.5 0.1 1/3 3e38 1e-40 -0 7.25])
    int8([-128 -5 0 1 7 127])
    uint8([0 1 200 255])
    int16([-32768 -3 0 2 32767])
    uint16([0 3 65535])
    int32([intmin("int32") -7 0 9 intmax("int32")])
    uint32([0 5 intmax("uint32")])
    int64([intmin("int64") -11 0 13 intmax("int64")])
    uint64([0 17 intmax("uint64")])
    logical([true false true])
    int16([1 -2; 3 -4; 5 -6])
  };
  for k = 1:numel (inputs)
    a = inputs{k};
    w = feval (plugin, a);
    expected = feval (plugin, double (a));
    expect_true (isa (w, "double") && isequal (size (w), size (a)), ...
                 "%s: %s input gave %s %s", plugin, class (a), class (w), mat2str (size (w)));
    expect_true (same_bits (w, expected), "%s: %s input differs from double() of it", ...
                 plugin, class (a));
  endfor
endfunction

% Octave has complex single but no complex integers.
function check_complex_single (plugin)
  a = complex (single ([0.1 -2 3 1e-3 -7.5]), single ([0.5 -0.25 1e-3 -3 4]));
  w = feval (plugin, a);
  expect_true (same_bits (w, feval (plugin, double (a))), ...
               "%s: complex single input differs from double() of it", plugin);
  a = reshape (a(1:4), 2, 2);
  expect_true (same_bits (feval (plugin, a), feval (plugin, double (a))), ...
               "%s: complex single 2x2 input differs from double() of it", plugin);
endfunction
