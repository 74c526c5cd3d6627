#pragma once

namespace pelitor::platform {

// Whether standard error is an interactive terminal (progress then rewrites one line).
bool stderrIsTerminal();

} // namespace pelitor::platform
