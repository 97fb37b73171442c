function reference = reference_results(plugin_dir)
% The plug-ins of the CMake build in PLUGIN_DIR over points in every region
% of both methods, both half-planes and the far range, the line shapes
% over a grid of widths with their edges and the Hartmann-Tran profile with
% its derivatives over a line: the values an
% installed copy built by other means must reproduce bit for bit.  The
% plug-ins are unloaded again and PLUGIN_DIR taken off the path.
[x, y] = meshgrid([-1e20, -50, -7:0.35:7, 50, 1e20], [-30, -6:0.3:6, 40, 1e20]);
special = [0, 6e153, -6e153i, 1e30, Inf, -Inf + 1i, NaN, 1 + NaN*1i, 0.1 - 30i, 1e10 - 1e6i];
reference.points = [complex(x(:), y(:)); complex(special(:))];

addpath(plugin_dir);
reference.region = vorlanRegion(reference.points);
reference.complex_only = vorlan(reference.points);
reference.rational = vorlanRational(reference.points);
[reference.x, reference.sigma, reference.gamma] = ...
    ndgrid([-1e8, -30, -3:0.25:3, 1e3, Inf], [0, 1e-6, 0.3, 1, 1e5], [0, 1e-3, 0.5, 2, 1e6]);
reference.voigt = cell(1, 4);
[reference.voigt{:}] = vorlanVoigt(reference.x, reference.sigma, reference.gamma);
reference.plasma = cell(1, 2);
[reference.plasma{:}] = vorlanPlasmaZ(reference.points);
% A line over a grid, Gamma0 and eta along rows, the rest scalars.
reference.htp_args = {(999.9:0.01:1000.1)', 1000, 0.01, [0 0.02 0.5], 0.004, -0.001, ...
                      0.0005, 0.005, [0 0.1 1]};
[reference.htp, reference.htp_derivatives] = vorlanHTP(reference.htp_args{:});
rmpath(plugin_dir);
clear vorlanRegion vorlan vorlanRational vorlanVoigt vorlanPlasmaZ vorlanHTP
end
