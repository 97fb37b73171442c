% [...] = with_thread_cap (cap, fun, ...)
%
% Calls fun (...) with VORLAN_NUM_THREADS set to cap, or unset when cap is
% empty, as a worker whose job was given that many cores would.
function varargout = with_thread_cap (cap, fun, varargin)
  if (isempty (cap))
    unsetenv ("VORLAN_NUM_THREADS");
  else
    setenv ("VORLAN_NUM_THREADS", cap);
  endif
  [varargout{1:nargout}] = fun (varargin{:});
endfunction
