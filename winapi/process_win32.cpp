// Standard streams and stop signals on Windows: the game is a window program,
// started without standard streams and without a console that could
// interrupt it, so there is nothing to keep or catch.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "winapi/process.h"

namespace winapi::process {

void KeepStandardStreams() {}

void BinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

void CatchStopSignals() {}

int StopSignal() { return 0; }

int FinalStatus(int status) { return status; }

}  // namespace winapi::process
