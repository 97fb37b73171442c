% 10^8 complex elements through vorlanRegion in one call.  Checks the shape
% and, on a sample of elements, that each value is the one a call on that
% element alone gives.  Prints the sizes the memory estimate is built from.
rows = 1e4;
columns = 1e4;
randn("seed", 7);
z = complex(randn(rows, columns) * 4, randn(rows, columns) * 4);
% A few fringe points among the random ones.
z(1:7) = [0, 5e153, 6e153, 0.1 - 30i, -30i, 1e10 - 1e6i, complex(NaN, 1)];

w = vorlanRegion(z);

if ~isequal(size(w), [rows, columns]) || ~iscomplex(w)
  error("large:shape", "result is %s %s", class(w), mat2str(size(w)));
end
sample = [1:7, round(linspace(8, numel(z), 2000))];
expected = vorlanRegion(z(sample));
got = w(sample);
same = (real(got) == real(expected) | (isnan(real(got)) & isnan(real(expected)))) & ...
       (imag(got) == imag(expected) | (isnan(imag(got)) & isnan(imag(expected))));
if ~all(same)
  error("large:values", "%d sampled elements differ from single-element calls", sum(~same));
end
printf("large array: %d elements, %d sampled values agree\n", numel(w), numel(sample));
printf("elements=%d\n", numel(z));
