// Standard streams and stop signals on Windows: the game is a window program,
// started without standard streams and without a console that could
// interrupt it, so there is nothing to keep or catch.
#include "winapi/process.h"

namespace winapi::process {

void KeepStandardStreams() {}

void CatchStopSignals() {}

int StopSignal() { return 0; }

int FinalStatus(int status) { return status; }

}  // namespace winapi::process
