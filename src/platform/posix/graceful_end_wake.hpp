#pragma once

// Between the signal policy and the MIDI port on POSIX systems.
namespace pelitor::platform {

// Readable once a GracefulEnd has noted an ending signal; -1 while none lives, which poll()
// passes over.
int gracefulEndWakeDescriptor() noexcept;

} // namespace pelitor::platform
