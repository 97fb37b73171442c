// Tells GNU Octave that the plug-in is built for the interleaved complex
// API: Octave hands it interleaved arrays only when the plug-in exports this
// symbol (mkoctfile -R2018a adds the same definition on its own; the CMake
// build compiles this file instead).
extern "C" __attribute__((visibility("default"))) const int
    __mx_has_interleaved_complex__ = 1;  // NOLINT(bugprone-reserved-identifier): the host's name
