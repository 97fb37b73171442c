% The refusals: argument count, input class, sparse storage and size, each
% with its identifier and text, checked in the order the plug-ins apply them.
function test_messages ()
  count_in_vorlan = "One input required in vorlan.";
  not_numeric = "Input array is not numeric";
  not_complex = "Input array is not complex";
  sparse_text = "Input array is sparse";
  non_numeric = {"abc", "", {1}, {}, struct("a", 1), @sin, containers.Map()};
  non_numeric_names = {"char", "empty char", "cell", "empty cell", "struct", ...
                       "function handle", "classdef object"};
  sparse_inputs = {sparse(1), sparse([1 0; 0 2]), sparse(true), sparse(logical([1 0 1])), ...
                   sparse(1i), sparse(2, 3), sparse(2^20, 2^20)};
  sparse_names = {"sparse scalar", "sparse matrix", "sparse logical", "sparse logical row", ...
                  "sparse complex", "all-zero sparse", "huge sparse"};

  for plugin = {"vorlanRegion", "vorlanRational"}
    name = plugin{1};
    expect_error (name, {}, "vorlan:nargin", count_in_vorlan, "");
    expect_error (name, {1, 2}, "vorlan:nargin", count_in_vorlan, "1, 2");
    expect_error (name, {1i, 2i, 3i}, "vorlan:nargin", count_in_vorlan, "1i, 2i, 3i");
    % The count is checked before the class.
    expect_error (name, {"abc", 1}, "vorlan:nargin", count_in_vorlan, "'abc', 1");
    for k = 1:numel (non_numeric)
      expect_error (name, non_numeric(k), "vorlan:notNumeric", not_numeric, non_numeric_names{k});
    endfor
    for k = 1:numel (sparse_inputs)
      expect_error (name, sparse_inputs(k), "vorlan:sparse", sparse_text, sparse_names{k});
    endfor
  endfor

  % vorlan wants complex input, and says so before looking at anything else.
  expect_error ("vorlan", {}, "vorlan:nargin", "One input required.", "");
  expect_error ("vorlan", {1, 2}, "vorlan:nargin", "One input required.", "1, 2");
  expect_error ("vorlan", {1i, 2i}, "vorlan:nargin", "One input required.", "1i, 2i");
  real_inputs = {1, [1 2; 3 4], zeros(0, 3), single(2), int8(3), uint64(4), true, ...
                 complex(1, 0) + 0, sparse(1), sparse(true)};
  real_names = {"double", "double matrix", "empty double", "single", "int8", "uint64", ...
                "logical", "complex narrowed to real", "sparse", "sparse logical"};
  for k = 1:numel (real_inputs)
    expect_error ("vorlan", real_inputs(k), "vorlan:notComplex", not_complex, real_names{k});
  endfor
  for k = 1:numel (non_numeric)
    expect_error ("vorlan", non_numeric(k), "vorlan:notComplex", not_complex, ...
                  non_numeric_names{k});
  endfor
  expect_error ("vorlan", {sparse(1i)}, "vorlan:sparse", sparse_text, "sparse complex");
  expect_error ("vorlan", {sparse([1i 0; 0 2])}, "vorlan:sparse", sparse_text, ...
                "sparse complex matrix");

  check_failed_call_assigns_nothing ();
  check_too_large ();
endfunction

% A refused call must leave its output variable as it was: undefined if it
% was undefined, holding its old value otherwise.
function check_failed_call_assigns_nothing ()
  calls = {"vorlanRegion", "abc"; "vorlanRational", {1}; "vorlan", 1; "vorlanRegion", sparse(1)};
  for k = 1:rows (calls)
    clear result;
    try
      result = feval (calls{k, 1}, calls{k, 2});
    catch
    end_try_catch
    expect_true (! exist ("result", "var"), "failed %s call assigned its output", calls{k, 1});

    result = 42;
    try
      result = feval (calls{k, 1}, calls{k, 2});
    catch
    end_try_catch
    expect_true (isequal (result, 42), "failed %s call changed an existing output", calls{k, 1});
  endfor
endfunction

% rows * columns must fit a signed 32-bit count, and so must rows and columns
% each: empty arrays with 2^31 rows or 2^32 columns take no memory.  2^16 x 2^15
% int8 elements are one past the count and take 2 GiB of the host's memory, so
% that check is skipped when the host cannot have that much.
function check_too_large ()
  tall = {zeros(2^31, 0), complex(zeros(2^31, 0)), zeros(0, 2^32, "single")};
  names = {"2^31 x 0", "complex 2^31 x 0", "single 0 x 2^32"};
  for k = 1:numel (tall)
    for plugin = {"vorlanRegion", "vorlanRational"}
      expect_error (plugin{1}, tall(k), "vorlan:tooLarge", "Input array is too large", names{k});
    endfor
  endfor
  expect_error ("vorlan", tall(2), "vorlan:tooLarge", "Input array is too large", names{2});
  try
    huge = zeros (2^16, 2^15, "int8");
  catch
    fprintf ("note: no 2 GiB array in this host; the size refusal is not checked\n");
    return;
  end_try_catch
  for plugin = {"vorlanRegion", "vorlanRational"}
    expect_error (plugin{1}, {huge}, "vorlan:tooLarge", "Input array is too large", ...
                  "2^16 x 2^15 int8");
  endfor
endfunction
