// Faults the stand-in can be told to produce, for tests of how callers
// report them. Program code never includes this.
#pragma once

namespace cenotify {

// After `succeeding` more calls of CeGetUserNotificationHandles succeed, the
// next one fails (once); -1 cancels a pending fault.
void FailHandlesCall(int succeeding);

} // namespace cenotify
