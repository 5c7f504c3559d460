#include "base/run_log.h"

#include <iostream>

namespace {
// A stream that drops everything written to it.
class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer nullBuffer;
std::ostream nullStream(&nullBuffer);
bool muted = false;
}  // namespace

std::ostream& runLog() { return muted ? nullStream : std::cerr; }

void muteRunLog(bool mute) { muted = mute; }
