% vorlanVoigt and vorlanPlasmaZ in the host: the refusals by identifier and in
% their order, sizes as the arithmetic operators combine them, classes, the
% outputs for every nargout, edge values that follow from the formulas, and
% values against the host's erfcx at a loose tolerance.
function test_line_shapes ()
  check_refusals ();
  check_broadcast_shapes ();
  check_classes_and_outputs ();
  check_voigt_values ();
  check_voigt_edges ();
  check_plasma_z ();
endfunction

function check_refusals ()
  voigt_count = "Three inputs required in vorlanVoigt.";
  plasma_count = "One input required in vorlanPlasmaZ.";
  % plug-in, arguments, nargout, identifier, text, what
  cases = {
    "vorlanVoigt", {}, 0, "vorlan:nargin", voigt_count, "no input"
    "vorlanVoigt", {1, 2}, 1, "vorlan:nargin", voigt_count, "two inputs"
    "vorlanVoigt", {1, 2, 3, 4}, 1, "vorlan:nargin", voigt_count, "four inputs"
    "vorlanVoigt", {1, 2}, 5, "vorlan:nargin", voigt_count, "count before nargout"
    "vorlanVoigt", {1, 1, 1}, 5, "vorlan:nargout", "At most four outputs in vorlanVoigt.", "5 out"
    "vorlanVoigt", {"a", 1, 1}, 5, "vorlan:nargout", "At most four outputs in vorlanVoigt.", ...
                   "nargout before class"
    "vorlanVoigt", {1, "abc", 1}, 1, "vorlan:notNumeric", "Input array is not numeric", "char"
    "vorlanVoigt", {1, 1, {1}}, 1, "vorlan:notNumeric", "Input array is not numeric", "cell"
    "vorlanVoigt", {struct("a", 1), 1, 1}, 1, "vorlan:notNumeric", ...
                   "Input array is not numeric", "struct"
    "vorlanVoigt", {1, sparse(1), 1}, 1, "vorlan:sparse", "Input array is sparse", "sparse"
    "vorlanVoigt", {1, 1, sparse(true)}, 1, "vorlan:sparse", "Input array is sparse", ...
                   "sparse logical"
    "vorlanVoigt", {1i, 1, 1}, 1, "vorlan:complex", "Input array is complex", "complex x"
    "vorlanVoigt", {1, 1, complex(1, 0)}, 4, "vorlan:complex", "Input array is complex", ...
                   "complex with zero imaginary part"
    "vorlanVoigt", {1, single(2i), 1}, 1, "vorlan:complex", "Input array is complex", ...
                   "complex single"
    "vorlanVoigt", {1i, "a", 1}, 1, "vorlan:complex", "Input array is complex", ...
                   "inputs checked in turn"
    "vorlanVoigt", {[1 2], [1 2 3], "a"}, 1, "vorlan:notNumeric", ...
                   "Input array is not numeric", "class before sizes"
    "vorlanVoigt", {[1 2], [1 2 3], 1}, 1, "vorlan:nonconformant", ...
                   "Input arrays are nonconformant", "1x2 with 1x3"
    "vorlanVoigt", {ones(2, 3), 1, ones(3, 2)}, 1, "vorlan:nonconformant", ...
                   "Input arrays are nonconformant", "2x3 with 3x2"
    "vorlanVoigt", {zeros(0, 3), ones(3, 1), 1}, 1, "vorlan:nonconformant", ...
                   "Input arrays are nonconformant", "0x3 with 3x1"
    "vorlanVoigt", {ones(2, 3, 4), 1, ones(2, 3, 5)}, 1, "vorlan:nonconformant", ...
                   "Input arrays are nonconformant", "2x3x4 with 2x3x5"
    "vorlanPlasmaZ", {}, 1, "vorlan:nargin", plasma_count, "no input"
    "vorlanPlasmaZ", {1, 2}, 1, "vorlan:nargin", plasma_count, "two inputs"
    "vorlanPlasmaZ", {1}, 3, "vorlan:nargout", "At most two outputs in vorlanPlasmaZ.", "3 out"
    "vorlanPlasmaZ", {"abc"}, 1, "vorlan:notNumeric", "Input array is not numeric", "char"
    "vorlanPlasmaZ", {@sin}, 2, "vorlan:notNumeric", "Input array is not numeric", "handle"
    "vorlanPlasmaZ", {sparse(1i)}, 1, "vorlan:sparse", "Input array is sparse", "sparse"
  };
  for k = 1:rows (cases)
    expect_error (cases{k, 1}, cases{k, 2}, cases{k, 4}, cases{k, 5}, cases{k, 6}, cases{k, 3});
  endfor

  % A refused call leaves its outputs as they were.
  V = 42; dV = 43;
  try
    [V, dV] = vorlanVoigt (1i, 1, 1);
  catch
  end_try_catch
  expect_true (isequal ([V dV], [42 43]), "a refused vorlanVoigt call changed its outputs");
endfunction

% Sizes combine as in x + sigma + gamma, all dimensions kept; the values are
% those of the inputs broadcast by the host's own operators beforehand.
function check_broadcast_shapes ()
  shapes = {
    [1 1], [1 1], [1 1]
    [2 3], [2 3], [2 3]
    [1 5], [1 1], [1 1]
    [4 1], [1 3], [1 1]
    [1 1], [1 3], [4 1]
    [2 1 3], [1 4], [1 1]
    [2 1 2], [1 3 1 2], [2 3]
    [1 1 1 2], [3 1], [1 1 4]
    [0 3], [1 3], [1 1]
    [1 0], [5 1], [1 1]
    [0 1 2], [1 4], [1 1]
  };
  for k = 1:rows (shapes)
    x = reshape (linspace (-4, 4, prod (shapes{k, 1})), [shapes{k, 1} 1]);
    s = reshape (linspace (0.5, 2, prod (shapes{k, 2})), [shapes{k, 2} 1]);
    g = reshape (linspace (0, 1.5, prod (shapes{k, 3})), [shapes{k, 3} 1]);
    expected = size (x + s + g);
    what = sprintf ("%s, %s, %s", mat2str (shapes{k, 1}), mat2str (shapes{k, 2}), ...
                    mat2str (shapes{k, 3}));
    out = cell (1, 4);
    [out{:}] = vorlanVoigt (x, s, g);
    zero = 0 * (x + s + g);
    full = cell (1, 4);
    [full{:}] = vorlanVoigt (x + zero, s + zero, g + zero);
    for o = 1:4
      expect_true (isequal (size (out{o}), expected) && isa (out{o}, "double") ...
                   && isreal (out{o}), "vorlanVoigt(%s) output %d: %s %s", what, o, ...
                   class (out{o}), mat2str (size (out{o})));
      expect_true (same_bits (out{o}, full{o}), ...
                   "vorlanVoigt(%s) output %d differs from pre-broadcast inputs", what, o);
    endfor
  endfor

  for dims = {[1 1], [3 1], [1 4], [2 3 4], [0 3], [3 0 2], [1 1 1 5]}
    zeta = complex (reshape (linspace (-3, 3, prod (dims{1})), [dims{1} 1]), 0.25);
    [Z, dZ] = vorlanPlasmaZ (zeta);
    expect_true (isequal (size (Z), dims{1}) && isequal (size (dZ), dims{1}) ...
                 && isa (Z, "double") && isa (dZ, "double"), ...
                 "vorlanPlasmaZ(%s) gave %s and %s", mat2str (dims{1}), ...
                 mat2str (size (Z)), mat2str (size (dZ)));
  endfor
endfunction

% Every numeric class is taken as its conversion to double; each output is
% the same whichever others are asked for; a real zeta has +0 imaginary parts.
function check_classes_and_outputs ()
  x = [-3 0 1 2 7];
  out = cell (1, 4);
  reference = cell (1, 4);
  for convert = {@single, @int8, @uint16, @int32, @int64, @uint64, @logical, @double}
    typed = convert{1}(x);
    [out{:}] = vorlanVoigt (typed, single (1.5), int8 (1));
    [reference{:}] = vorlanVoigt (double (typed), 1.5, 1);
    expect_true (cellfun (@same_bits, out, reference), "vorlanVoigt of class %s", class (typed));
  endfor

  for nout = 0:4
    out = cell (1, max (nout, 1));
    [out{:}] = vorlanVoigt (x, 1.5, 1);  % nargout 1 when nout is 0
    if (nout == 0)
      vorlanVoigt (x, 1.5, 1);
      out{1} = ans;
    endif
    expect_true (cellfun (@same_bits, out, reference(1:numel (out))), "vorlanVoigt nargout %d", ...
                 nout);
  endfor

  zeta = [-2 0 0.5 3];
  [Z, dZ] = vorlanPlasmaZ (zeta);
  expect_true (same_bits (vorlanPlasmaZ (zeta), Z), "vorlanPlasmaZ: Z alone differs");
  [Zc, dZc] = vorlanPlasmaZ (complex (zeta, 0));
  expect_true (same_bits (complex (Z), complex (Zc)) && same_bits (complex (dZ), complex (dZc)), ...
               "vorlanPlasmaZ: real zeta differs from zeta + 0i");
  [Zs, dZs] = vorlanPlasmaZ (single (zeta));
  expect_true (same_bits (Zs, Z) && same_bits (dZs, dZ), "vorlanPlasmaZ: single input");
endfunction

% The Voigt profile and its derivatives from the host's erfcx, for sigma > 0:
% w' = -2 z w + 2i/sqrt(pi), and V is homogeneous of degree -1 in
% (x, sigma, gamma).
function [V, dx, ds, dg] = voigt_by_erfcx (x, s, g)
  z = (x + 1i * g) ./ (s * sqrt (2));
  w = erfcx (-1i * z);
  dw = -2 * z .* w + 2i / sqrt (pi);
  c = 1 ./ (s * sqrt (2 * pi));
  V = real (w) .* c;
  dx = real (dw) .* c ./ (s * sqrt (2));
  dg = -imag (dw) .* c ./ (s * sqrt (2));
  ds = -(V + x .* dx + g .* dg) ./ s;
endfunction

function check_voigt_values ()
  [x, s, g] = ndgrid ([-40 -5 -1.5 -0.2 0 0.3 2 8 100], [0.3 1 4], [1e-3 0.1 1 3 30]);
  out = cell (1, 4);
  [out{:}] = vorlanVoigt (x, s, g);
  ref = cell (1, 4);
  [ref{:}] = voigt_by_erfcx (x, s, g);
  names = {"V", "dV/dx", "dV/dsigma", "dV/dgamma"};
  for o = 1:4
    % Relative to each line's peak over x, so that sign changes do not count.
    peak = max (abs (ref{o}), [], 1);
    err = max (abs (out{o} - ref{o}) ./ peak, [], 1);
    expect_true (err(:) < 1e-6, "vorlanVoigt %s: %g of its peak from erfcx", names{o}, max (err(:)));
  endfor
endfunction

function check_voigt_edges ()
  x = [-3 -0.5 0 0.25 2];
  % sigma = 0: the Lorentzian of half width gamma.
  g = 0.7;
  d = x.^2 + g^2;
  [V, dx, ds, dg] = vorlanVoigt (x, 0, g);
  expect_close (V, g ./ (pi * d), "Lorentzian V");
  expect_close (dx, -2 * g * x ./ (pi * d.^2), "Lorentzian dV/dx");
  expect_true (ds == 0, "Lorentzian dV/dsigma is %s, expected 0", mat2str (ds));
  expect_close (dg, (x.^2 - g^2) ./ (pi * d.^2), "Lorentzian dV/dgamma");
  % gamma = 0: the Gaussian of standard deviation sigma.
  s = 1.3;
  G = exp (-x.^2 / (2 * s^2)) / (s * sqrt (2 * pi));
  [V, dx, ds] = vorlanVoigt (x, s, 0);
  expect_close (V, G, "Gaussian V");
  expect_close (dx, -x / s^2 .* G, "Gaussian dV/dx");
  expect_close (ds, (x.^2 / s^3 - 1 / s) .* G, "Gaussian dV/dsigma");
  % Both widths 0: a unit impulse at x = 0.
  V = vorlanVoigt ([-1 -1e-300 0 -0 1e-300 5], 0, 0);
  expect_true (isequal (V, [0 0 Inf Inf 0 0]), "sigma = gamma = 0 gave %s", mat2str (V));
  % |x| = Inf: every output 0.
  out = cell (1, 4);
  [out{:}] = vorlanVoigt ([-Inf Inf], [1; 0], [0.5 0.5]);
  for o = 1:4
    expect_true (out{o} == 0, "|x| = Inf, output %d: %s", o, mat2str (out{o}));
  endfor
  % A negative or NaN width, or a NaN x, spoils its own element only.
  xs = [NaN 1 1 1 1 1 1];
  ss = [1 -1 NaN 1 1 0 1];
  gs = [1 1 1 -0.5 NaN -1 1];
  [out{:}] = vorlanVoigt (xs, ss, gs);
  fine = cell (1, 4);
  [fine{:}] = vorlanVoigt (1, 1, 1);
  for o = 1:4
    expect_true (isnan (out{o}(1:6)), "output %d: bad parameters gave %s", o, mat2str (out{o}));
    expect_true (same_bits (out{o}(7), fine{o}), "output %d: a NaN neighbour changed a value", o);
  endfor
endfunction

function check_plasma_z ()
  zeta = [0, 0.5, -2.5, 1 + 1i, -3 + 0.2i, 6i, 1 - 0.5i, -2 - 1i, 0.1 - 2i];
  [Z, dZ] = vorlanPlasmaZ (zeta);
  Zref = 1i * sqrt (pi) * erfcx (-1i * zeta);
  dZref = -2 * (1 + zeta .* Zref);
  expect_true (abs (Z - Zref) <= 1e-6 * abs (Zref), "vorlanPlasmaZ: Z far from erfcx: %s", ...
               mat2str (abs (Z - Zref) ./ abs (Zref), 3));
  expect_true (abs (dZ - dZref) <= 1e-6 * abs (dZref), "vorlanPlasmaZ: dZ far from erfcx: %s", ...
               mat2str (abs (dZ - dZref) ./ abs (dZref), 3));
  [Z0, dZ0] = vorlanPlasmaZ (0);
  expect_close ([Z0, dZ0], [1i * sqrt(pi), -2], "Z(0) and Z'(0)");
  % Far out, Z' = 1/zeta^2 + 3/(2 zeta^4) + ...: no cancellation in 1 + zeta Z.
  big = [1e6, -3e7, 2e5 + 1e5i];
  [Z, dZ] = vorlanPlasmaZ (big);
  expect_close (Z, -1 ./ big - 1 ./ (2 * big.^3), "Z far out");
  expect_close (dZ, 1 ./ big.^2 + 3 ./ (2 * big.^4), "Z' far out");
  % Where exp(-zeta^2) overflows, infinities of the right sign.
  Z = vorlanPlasmaZ (0.1 - 30i);
  expect_true (isequal (Z, complex (Inf, Inf)), "Z(0.1 - 30i) = %s", num2str (Z));
  % ... on the imaginary axis, within the kernels' range and beyond it
  [Z, dZ] = vorlanPlasmaZ (complex (0, [-30, -6e153, -Inf]));
  expect_true (real (Z) == 0 & imag (Z) == Inf & real (dZ) == -Inf & imag (dZ) == 0, ...
               "Z, Z' on the lower imaginary axis: %s, %s", num2str (Z), num2str (dZ));
  Z = vorlanPlasmaZ ([Inf, -Inf]);
  expect_true (Z == 0, "Z(+-Inf) = %s", mat2str (Z));
endfunction

function expect_close (got, expected, what)
  expect_true (abs (got - expected) <= 1e-6 * abs (expected), "%s: %s, expected %s", what, ...
               mat2str (got, 17), mat2str (expected, 17));
endfunction
