#pragma once

namespace platform {

// Waits at most timeoutMs for the child of pidfd to end, leaving it unreaped (as
// WaitForChildExit does); true once it has ended.
bool WaitForChildExitFor(int pidfd, int timeoutMs);

}  // namespace platform
