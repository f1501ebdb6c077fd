// The progress window that long operations (export, purge, orphan
// maintenance) show while they run on the one thread.
#pragma once
