% fit = timed_curvefit (model, jacobian, start, x, y, settings, runs)
%
% A least-squares fit by the optim package's nonlin_curvefit of model (p, x)
% to y from start, with the Jacobian jacobian (p, x), or with the package's
% own finite differences when jacobian is [].  The fit runs runs times (the
% first one also loads everything it needs) and fit holds the calls of the
% model and of the Jacobian in one run (fields model, jacobian), the median
% time, the parameters p, the convergence code cvg, the iterations and the
% standard errors from the covariance at p (residual variance and that
% fit's own kind of Jacobian).
function fit = timed_curvefit (model, jacobian, start, x, y, settings, runs)
  counted_model = @(p, x) counted ("model", model, p, x);
  if (! isempty (jacobian))
    % curvefit_stat passes a third argument, which it does not need.
    settings = optimset (settings, "dfdp", @(p, x, varargin) counted ("jacobian", jacobian, p, x));
  endif
  times = zeros (1, runs);
  for run = 1:runs
    counted ("reset");
    started = tic;
    [p, ~, cvg, out] = nonlin_curvefit (counted_model, start, x, y, settings);
    times(run) = toc (started);
  endfor
  fit = counted ("read");
  fit.time = median (times);
  fit.p = p;
  fit.cvg = cvg;
  fit.iterations = out.niter;
  settings = optimset (settings, "objf_type", "wls", "ret_covp", true);
  statistics = curvefit_stat (model, p, x, y, settings);
  fit.error = sqrt (diag (statistics.covp));
endfunction

% Calls f (p, x) and counts the call under what ("model" or "jacobian");
% "reset" and "read" clear and return the counts.
function value = counted (what, f, p, x)
  persistent calls = struct ("model", 0, "jacobian", 0);
  switch (what)
    case "reset"
      calls = struct ("model", 0, "jacobian", 0);
    case "read"
      value = calls;
    otherwise
      calls.(what) += 1;
      value = f (p, x);
  endswitch
endfunction
