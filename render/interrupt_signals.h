#pragma once

// SIGINT and SIGTERM during a run: the first asks the run to stop after the
// iteration under way, so that its outputs can still be written; a second
// ends the program at once, removing any temporary output file.
namespace interrupt_signals {
// Installs the handlers (until then the signals end the program as usual).
void catchSignals();
// The signal that asked the run to stop, or 0.
int caught();
// The exit status that reports it: 128 plus the signal number, as shells do.
int exitStatus();
}  // namespace interrupt_signals
