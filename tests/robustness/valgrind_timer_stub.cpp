// Preloaded into the host session under valgrind only.  GNU Octave loads
// Highway (libhwy, through GraphicsMagick and libjxl), whose start-up asks
// hwy::platform::TimerResolution, which executes RDTSCP whether or not the
// processor advertises it.  Where it is not advertised (as on some virtual
// machines) the real processor still runs it, but valgrind refuses it and the
// session dies before it starts.  This definition takes the symbol's place;
// it touches no memory, so it cannot hide a fault of the plug-ins.
namespace hwy::platform {

double TimerResolution() { return 1e-9; }

}  // namespace hwy::platform
