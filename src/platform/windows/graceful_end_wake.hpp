#pragma once

#include <windows.h>

// Between the signal policy and the MIDI port on Windows.
namespace pelitor::platform {

// An event that is set once a GracefulEnd has noted an ending signal; null while none lives.
HANDLE gracefulEndWakeEvent() noexcept;

} // namespace pelitor::platform
