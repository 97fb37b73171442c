% True when a and b have the same size and every real and imaginary part has
% the same bit pattern: signed zeros and NaNs count, unlike with isequal.
function same = same_bits (a, b)
  same = isequal (size (a), size (b)) && isa (a, "double") && isa (b, "double") ...
         && isequal (typecast (real (a(:)), "uint64"), typecast (real (b(:)), "uint64")) ...
         && isequal (typecast (imag (a(:)), "uint64"), typecast (imag (b(:)), "uint64"));
endfunction
