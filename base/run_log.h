#pragma once

#include <ostream>

// The stream of a run's messages (loading, counts, progress lines): standard
// error, or nothing while muted. Diagnostics and fatal errors always go to
// standard error.
std::ostream& runLog();
void muteRunLog(bool muted);
