% Calls the deliberately faulty plug-in and uses every element of its result,
% so that memcheck sees the unwritten ones.
w = vorlanFaulty(rand(1, 5));
printf("faulty plug-in result: %s\n", sprintf("%.17g ", w));
