// Standard streams and stop signals on POSIX systems.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "winapi/process.h"

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) {
    if (g_stopSignal != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_stopSignal = signal;
}

}  // namespace

namespace winapi::process {

void BinaryStandardOutput() {}  // POSIX writes bytes as they are

void KeepStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free number: this one.
        int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0) close(opened);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes carry on; the stop is seen between frames.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal ignored when the program started (a shell's background
        // job and SIGINT, nohup) stays ignored.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}

int StopSignal() { return g_stopSignal; }

int FinalStatus(int status) {
    const int signal = g_stopSignal;
    if (signal == 0) return status;
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    return 128 + signal;  // not reached: the default action ends the process
}

}  // namespace winapi::process
