// Shared state of the os stand-in (filled in by the os implementation).
