% Records a failed check unless every element of condition is true; an empty
% condition counts as failed, so that a check over nothing cannot pass.
function expect_true (condition, varargin)
  global vorlan_failures vorlan_checks
  vorlan_checks += 1;
  if (isempty (condition) || ! all (logical (condition(:))))
    vorlan_failures{end+1} = sprintf (varargin{:});
  endif
endfunction
