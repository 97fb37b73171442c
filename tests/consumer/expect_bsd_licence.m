function expect_bsd_licence(file)
% FILE exists and holds the project's BSD 3-Clause licence.
if ~exist(file, 'file')
  error('no licence file %s', file);
end
text = fileread(file);
for piece = {'BSD 3-Clause License', 'the vorlan developers', 'Neither the name'}
  if isempty(strfind(text, piece{1}))
    error('%s does not hold "%s"', file, piece{1});
  end
end
end
