% Where double precision alone decides the value: beyond the kernels' argument
% range, at infinities and NaNs, where the lower half-plane overflows, on the
% imaginary axis; and calls that ask for no output.
function test_sound_behaviour ()
  check_beyond_range ();
  check_infinities ();
  check_nan_parts ();
  check_lower_half_plane_overflow ();
  check_imaginary_axis ();
  check_origin ();
  check_no_output_requested ();
endfunction

% Relative agreement within a few units in the last place.
function near = close_to (got, expected, ulps)
  near = abs (got - expected) <= ulps * eps * abs (expected);
endfunction

% Beyond |x| or |y| = 5e153, w(z) = i/(sqrt(pi) z) to double precision.
function check_beyond_range ()
  for plugin = {"vorlanRegion", "vorlan"}
    name = plugin{1};
    w = feval (name, complex ([6e153, -6e153, 0, 1e200, 1e300, 1e200], ...
                              [0, 0, 6e153, 1e200, 1, -1e150]));
    expect_true (real (w(1)) == 0 && imag (w(1)) == 9.403159725795937e-155, ...
                 "%s: w(6e153) = %.17g%+.17gi", name, real (w(1)), imag (w(1)));
    expect_true (real (w(2)) == 0 && imag (w(2)) == -9.403159725795937e-155, ...
                 "%s: w(-6e153) = %.17g%+.17gi", name, real (w(2)), imag (w(2)));
    expect_true (real (w(3)) == 9.403159725795937e-155 && imag (w(3)) == 0, ...
                 "%s: w(6e153i) = %.17g%+.17gi", name, real (w(3)), imag (w(3)));
    % i/(sqrt(pi) z) with z scaled down first, so that nothing overflows here;
    % the last point lies below the real axis where exp(-z^2) underflows to 0.
    z = complex ([1e200, 1e300, 1e200], [1e200, 1, -1e150]);
    expected = (1i / sqrt (pi)) ./ (z / 1e200) / 1e200;
    expect_true (close_to (w(4:6), expected, 4), "%s: beyond range differs from i/(sqrt(pi) z)", ...
                 name);
    % Below the real axis where exp(-z^2) does not vanish, w has no double
    % value, except on the imaginary axis, where it has overflowed.
    w = feval (name, complex ([1e154, 6e153], [-1e160, -6e153]));
    expect_true (isnan (real (w)) & isnan (imag (w)), ...
                 "%s: lower half-plane beyond range is not NaN + NaN i", name);
    w = feval (name, [complex([0, -0, 0], [-6e153, -6e153, -Inf]), 1 + 1i]);  % complex result
    v = imag (w);  % before indexing, which would narrow an all-real part away
    expect_true (real (w(1:3)) == Inf & v(1:3) == 0 & signbit (v(1:3)), ...
                 "%s: w(-6e153i), w(-0 - 6e153i) or w(-Inf i) is not Inf - 0i", name);
  endfor

  w = vorlanRational (1e30);
  expect_true (close_to (real (w), 4.48166531386472e-67, 2) ...
               && close_to (imag (w), 5.641896128654479e-31, 2), ...
               "vorlanRational: w(1e30) = %.17g%+.17gi", real (w), imag (w));
  % Its Horner steps overflow beyond |z| ~ 1.09e44.
  w = vorlanRational (complex ([2e44, -2e44, 0, 1e45, 1e45, Inf], [0, 0, 2e44, 1e45, -1e45, 0]));
  expect_true (isnan (real (w)) & isnan (imag (w)), ...
               "vorlanRational: |z| beyond 1.09e44 is not NaN + NaN i");
endfunction

function check_infinities ()
  z = complex ([Inf, -Inf, 0, Inf, -Inf, 5, -5, Inf, 1e300], ...
               [0, 0, Inf, Inf, 5, Inf, Inf, -1, Inf]);
  for plugin = {"vorlanRegion", "vorlan"}
    w = feval (plugin{1}, [z, 1i]);  % 1i keeps the result complex
    expect_true (real (w(1:end-1)) == 0 & imag (w(1:end-1)) == 0, ...
                 "%s: w is not 0 at infinity", plugin{1});
  endfor
  expect_true (same_bits (vorlanRegion ([Inf, -Inf]), vorlanRegion (complex ([Inf, -Inf], 0))), ...
               "vorlanRegion: real infinities differ from complex ones");
endfunction

% A NaN part beside a part beyond the argument range gives NaN + NaN i.  Within
% the range the region kernel runs on with the NaN and gives its own values
% (w(NaN + 1i) = 0, w(NaN) = NaN + 0i, ...); the host must pass them on
% unchanged.  The rational formula propagates NaN into both parts.
function check_nan_parts ()
  beyond = complex ([NaN, Inf, NaN, -6e153, 1e200], [Inf, NaN, -6e153, NaN, NaN]);
  inside = complex ([NaN, NaN, NaN, 1, -1, NaN], [0, 1, -1, NaN, NaN, NaN]);
  kernel_values = complex ([NaN, 0, NaN, 0, 0, 0], [0, 0, NaN, 0, -0, 0]);
  for plugin = {"vorlanRegion", "vorlan"}
    name = plugin{1};
    w = feval (name, beyond);
    expect_true (isnan (real (w)) & isnan (imag (w)), ...
                 "%s: NaN beside a part beyond range is not NaN + NaN i", name);
    w = feval (name, [inside, 1i]);
    expect_true (same_or_nan (real (w(1:end-1)), real (kernel_values)) ...
                 & same_or_nan (imag (w(1:end-1)), imag (kernel_values)), ...
                 "%s: NaN parts within range do not give the kernel's values", name);
  endfor
  w = vorlanRational ([beyond, inside]);
  expect_true (isnan (real (w)) & isnan (imag (w)), "vorlanRational: NaN part is not NaN + NaN i");
  w = vorlanRegion (NaN);
  expect_true (isnan (w) && isreal (w), "vorlanRegion(NaN) is not the kernel's NaN + 0i");
  % Every NaN part is positive (none shows as NaN - NaNi), and an input's NA
  % stays NA.
  w = vorlanRational ([6e153, Inf, 1.1e44, -1e50i, -Inf*1i, -NaN, complex(1, -NaN)]);
  expect_true (isnan (w) & ! signbit (real (w)) & ! signbit (imag (w)), ...
               "vorlanRational: a NaN part is negative, or a part is not NaN");
  for plugin = {"vorlanRegion", "vorlan", "vorlanRational"}
    w = feval (plugin{1}, complex ([NA, -NA], [-1, 1e200]));
    expect_true (isna (real (w)) & isna (imag (w)), "%s: NA does not stay NA", plugin{1});
  endfor
endfunction

% Equal with the same sign, or both NaN (of any sign and payload).
function same = same_or_nan (a, b)
  same = (isnan (a) & isnan (b)) | (a == b & signbit (a) == signbit (b));
endfunction

% Below the real axis w(z) = 2 exp(-z^2) - w(-z) leaves the double range when
% y^2 - x^2 passes ~709; the parts overflow to infinities of their true sign.
function check_lower_half_plane_overflow ()
  for plugin = {"vorlanRegion", "vorlan", "vorlanRational"}
    name = plugin{1};
    w = feval (name, [complex(0.1, -30), complex(-0.1, -30), complex(0, -30), 1i]);
    v = imag (w);  % before indexing, which would narrow an all-real part away
    expect_true (real (w(1)) == Inf && imag (w(1)) == -Inf, "%s: w(0.1-30i) = %g%+gi", name, ...
                 real (w(1)), imag (w(1)));
    expect_true (real (w(2)) == Inf && imag (w(2)) == Inf, "%s: w(-0.1-30i) = %g%+gi", name, ...
                 real (w(2)), imag (w(2)));
    expect_true (real (w(3)) == Inf && v(3) == 0 && signbit (v(3)), ...
                 "%s: w(-30i) = %g%+gi", name, real (w(3)), v(3));
    w = feval (name, complex (0, -30));
    expect_true (isreal (w) && w == Inf, "%s: w(-30i) alone is not real Inf", name);
  endfor
  % exp(-z^2) underflows here, and w(z) = -w(-z) = i/(sqrt(pi) z).
  for plugin = {"vorlanRegion", "vorlan"}
    w = feval (plugin{1}, complex (1e10, -1e6));
    expect_true (close_to (real (w), -5.641895779058605e-15, 2) ...
                 && close_to (imag (w), 5.641895779058605e-11, 2), ...
                 "%s: w(1e10-1e6i) = %.17g%+.17gi", plugin{1}, real (w), imag (w));
  endfor
  w = vorlanRational (complex (1e10, -1e6));
  expect_true (abs (w - complex (-5.641895779058605e-15, 5.641895779058605e-11)) ...
               <= 2e-5 * 5.641895779058605e-11, "vorlanRational: w(1e10-1e6i) = %.17g%+.17gi", ...
               real (w), imag (w));
endfunction

% w(iy) = erfcx(y) is real: zero imaginary parts, +0 above the real axis and
% -0 below it (at x = +0 as at x = -0), and a real result from the host when
% the whole array is on the axis.  Octave's real erfcx is good to
% 4e-16 relative (measured against mpmath).
function check_imaginary_axis ()
  y = [1e-10, 0.1, 0.5, 1, 1.28, 2, 4.4, 5, 10, 30, 1e5, -1e-10, -0.1, -0.5, -1, -2, -5, -10];
  in_series = (y / 4.400000095367432) .^ 2 < 0.085264;  % |y| below 1.2848
  for plugin = {"vorlanRegion", "vorlan", "vorlanRational"}
    name = plugin{1};
    w = feval (name, [complex(0, y), complex(-0, y), 1 + 1i]);  % 1 + 1i keeps it complex
    v = imag (w)(1:end-1);  % before indexing w, which would narrow it to real
    w = w(1:numel (y));
    expect_true (v == 0 & signbit (v) == ([y, y] < 0), ...
                 "%s: imaginary parts on the imaginary axis are not +0 above, -0 below", name);
    if (strcmp (name, "vorlanRational"))
      allowed = 2e-5 * erfcx (abs (y));  % in the upper half-plane, 1.7e-5 relative
    else
      allowed = 1e-15 * erfcx (y) + 1e-14 * erfcx (abs (y));
      allowed(in_series) = 3.6e-7 * (erfcx (y(in_series)) + erfcx (abs (y(in_series))));
    endif
    expect_true (abs (real (w) - erfcx (y)) <= allowed, "%s: w(iy) is not erfcx(y)", name);
    w = feval (name, complex (0, y(y > 0)));
    expect_true (isreal (w), "%s: upper imaginary axis came back complex", name);
  endfor
endfunction

function check_origin ()
  for plugin = {"vorlanRegion", "vorlan", "vorlanRational"}
    w = feval (plugin{1}, [complex(0, 0), complex(-0, 0), complex(0, -0), complex(-0, -0), 1i]);
    expect_true (real (w(1:4)) == 1 & imag (w(1:4)) == 0, "%s: w(0) is not 1", plugin{1});
  endfor
endfunction

% With no output requested the result still lands in ans.
function check_no_output_requested ()
  calls = {"vorlanRegion", 1.5; "vorlan", complex(1.5, 0.5); "vorlanRational", [1 2; 3 4]};
  for k = 1:rows (calls)
    [name, z] = calls{k, :};
    expected = feval (name, z);
    clear ans;
    feval (name, z);
    expect_true (exist ("ans", "var") && same_bits (ans, expected), ...
                 "%s as a statement does not set ans to w(z)", name);
    shown = evalc (sprintf ("%s(%s)", name, mat2str (z, 17)));
    expect_true (! isempty (strfind (shown, "ans =")), "%s as a statement shows no ans: %s", ...
                 name, shown);
  endfor
endfunction
