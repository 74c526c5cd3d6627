#pragma once

#include <alsa/asoundlib.h>

// Between the ALSA port and the ALSA listing.
namespace pelitor::platform {

inline void ignoreAlsaLibLine(const char*, int, const char*, int, const char*, ...) {}

// alsa-lib writes its own lines to stderr as it fails; the program's message says what went
// wrong, once.
inline void silenceAlsaLib() {
    snd_lib_error_set_handler(ignoreAlsaLibLine);
}

} // namespace pelitor::platform
