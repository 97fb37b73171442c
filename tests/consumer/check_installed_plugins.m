function check_installed_plugins(install_dir, reference)
% Checks the plug-ins now on the path: they come from INSTALL_DIR, their help
% text is found, they give the CMake build's results bit for bit (REFERENCE
% from reference_results) and w(1 + i) to their accuracy.
w_pieces = {'exp(-z^2) * erfc(-i*z)', 'See also: ', 'vorlan:nargin'};
plugins = {'vorlanRegion', [{'W = vorlanRegion(Z)'}, w_pieces]
           'vorlan', [{'W = vorlan(Z)'}, w_pieces]
           'vorlanRational', [{'W = vorlanRational(Z)'}, w_pieces]
           'vorlanVoigt', {'V = vorlanVoigt(X, SIGMA, GAMMA)', 'See also: ', 'vorlan:nargin'}
           'vorlanPlasmaZ', {'Z = vorlanPlasmaZ(ZETA)', 'w  = Z  / (1i*sqrt(pi))', 'See also: '}
           'vorlanHTP', {'F = vorlanHTP(NU, NU0, GAMMAD', 'See also: ', 'vorlan:nargin'}};
for k = 1:size(plugins, 1)
  name = plugins{k, 1};
  file = which(name);
  if ~strncmp(file, install_dir, numel(install_dir)) || ~strcmp(file(end-3:end), '.mex')
    error('%s resolves to %s, not to a plug-in under %s', name, file, install_dir);
  end
  text = evalc(sprintf('help %s', name));
  for piece = plugins{k, 2}
    if isempty(strfind(text, piece{1}))
      error('help %s does not show "%s":\n%s', name, piece{1}, text);
    end
  end
end

expect_same_bits('vorlanRegion', vorlanRegion(reference.points), reference.region);
expect_same_bits('vorlan', vorlan(reference.points), reference.complex_only);
expect_same_bits('vorlanRational', vorlanRational(reference.points), reference.rational);
voigt = cell(1, 4);
[voigt{:}] = vorlanVoigt(reference.x, reference.sigma, reference.gamma);
plasma = cell(1, 2);
[plasma{:}] = vorlanPlasmaZ(reference.points);
[htp, htp_derivatives] = vorlanHTP(reference.htp_args{:});
fields = fieldnames(reference.htp_derivatives)';
names = [{'vorlanVoigt V', 'vorlanVoigt dV/dx', 'vorlanVoigt dV/dsigma', 'vorlanVoigt dV/dgamma', ...
          'vorlanPlasmaZ Z', 'vorlanPlasmaZ dZ', 'vorlanHTP F'}, strcat('vorlanHTP dF.', fields)];
computed = [voigt, plasma, {htp}, struct2cell(htp_derivatives)'];
expected = [reference.voigt, reference.plasma, {reference.htp}, ...
            struct2cell(reference.htp_derivatives)'];
if ~isequal(fieldnames(htp_derivatives)', fields)
  error('vorlanHTP dF has the fields %s', strjoin(fieldnames(htp_derivatives)', ', '));
end
for k = 1:numel(names)
  expect_same_bits(names{k}, computed{k}, expected{k});
end

% w(1 + i) to 20 digits; 1 + i lies in the power-series region.
w_exact = 0.30474420525691259525 + 0.20821893820283162728i;
expect_close('vorlanRegion', vorlanRegion(1 + 1i), w_exact, 3.6e-7);
expect_close('vorlan', vorlan(1 + 1i), w_exact, 3.6e-7);
expect_close('vorlanRational', vorlanRational(1 + 1i), w_exact, 1.7e-5);

try
  vorlan(1);
  error('vorlan accepted a real input');
catch failure
  if ~strcmp(failure.identifier, 'vorlan:notComplex')
    error('vorlan(1) failed with %s: %s', failure.identifier, failure.message);
  end
end
end

function expect_same_bits(name, actual, expected)
% NaN against NaN in any encoding (the sign of a NaN may depend on operand
% order the compiler is free to choose), every other part bit for bit.
parts = {@real, @imag};
for p = 1:2
  a = parts{p}(actual(:));
  b = parts{p}(expected(:));
  same = (isnan(a) & isnan(b)) | typecast(a, 'uint64') == typecast(b, 'uint64');
  if ~all(same)
    k = find(~same, 1);
    error('%s differs from the CMake build at %d of %d parts, first at element %d', ...
          name, sum(~same), numel(same), k);
  end
end
end

function expect_close(name, actual, expected, tolerance)
if ~(abs(actual - expected) <= tolerance * abs(expected))
  error('%s(1+1i) = %.17g%+.17gi, relative error %.3g', name, real(actual), ...
        imag(actual), abs(actual - expected) / abs(expected));
end
end
