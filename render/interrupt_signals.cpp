#include "render/interrupt_signals.h"

#include <signal.h>

#include "base/output_file.h"

namespace {
volatile sig_atomic_t caughtSignal = 0;

void onSignal(int signalNumber) {
    if (caughtSignal == 0) {
        caughtSignal = signalNumber;
        return;
    }
    removeTemporaryOutputs();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);  // delivered with the default action when the handler returns
}
}  // namespace

namespace interrupt_signals {
void catchSignals() {
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a write to a pipe goes on after the first signal
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int caught() { return caughtSignal; }

int exitStatus() { return 128 + caughtSignal; }
}  // namespace interrupt_signals
