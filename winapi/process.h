// The process around the game: its standard streams, and the signals that
// ask it to stop.
#pragma once

namespace winapi::process {

// Opens /dev/null on each of descriptors 0-2 that is closed, so that no file
// or connection opened later takes its number and receives what the program
// writes to standard output or error; and makes a write to a closed pipe
// fail (SIGPIPE ignored) instead of ending the program, so that a lost
// message never ends a game and a lost trace is said. First thing in main.
void KeepStandardStreams();

// From here on standard output takes the bytes written as they are (on
// Windows it would end each line in \r\n): for a file's very bytes.
void BinaryStandardOutput();

// The rest is for POSIX systems; on Windows no stop signal comes (and
// FinalStatus gives `status` back). From here on SIGTERM, SIGINT and SIGHUP
// (a closed terminal), unless ignored from the start, ask the game to stop
// instead of killing it outright: StopSignal names the signal, and the
// host's event pump and its message boxes see it within a tenth of a second
// and end the run. A second such signal before the run has ended kills the
// process at once.
void CatchStopSignals();
// The stop signal caught, 0 while none has come.
int StopSignal();
// Called last, with the exit status the run ended with: after a stop signal
// the process ends as that signal would have ended it, so that a shell
// reports 128 + its number and a script stops with it; otherwise `status`.
int FinalStatus(int status);

}  // namespace winapi::process
