// Record and replay at the platform: the recording written as a kawauo-sim
// script a frame at a time, and the script's clock and input played back.
#include "platform/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

#include "platform/key_names.h"
#include "platform/version.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int kFramesBetweenSyncs = 60;  // a second of play at most is lost in a power cut

// Asks the system to put what the file holds on the disk.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

struct Recording {
    bool on = false;
    std::string path;  // empty: in memory only
    std::FILE* file = nullptr;
    std::string text;
    size_t written = 0;   // of text, into the file
    bool failed = false;  // a write to the file failed
    bool seedWritten = false;
    std::vector<uint32_t> reads;  // of the clock, in the frame being made
    uint32_t lastRead = 0;
    int framesSinceSync = 0;
};

struct Playback {
    bool on = false;
    int64_t calendar = 0;
    uint32_t clock = 0;
    std::deque<uint32_t> reads;
    std::deque<host::Event> events;
};

Recording g_recording;
Playback g_playback;

std::string PartPath() { return g_recording.path + ".part"; }

void Line(const std::string& line) {
    g_recording.text += line;
    g_recording.text += '\n';
}

// What is new in the text goes to the file, and out of our buffers, so that
// a crash loses at most the frame being made.
void Flush() {
    Recording& r = g_recording;
    if (r.file == nullptr || r.written == r.text.size()) return;
    size_t length = r.text.size() - r.written;
    if (std::fwrite(r.text.data() + r.written, 1, length, r.file) != length || std::fflush(r.file) != 0) {
        r.failed = true;
    }
    r.written = r.text.size();
}

void NoteEvent(const host::Event& event) {
    switch (event.kind) {
        case host::EventKind::KeyDown:
        case host::EventKind::KeyUp:
            // The host tells only of the keys the game reads; any other would change nothing.
            if (const char* name = platform::KeyNameOf(event.virtualKey)) {
                Line(std::string(event.kind == host::EventKind::KeyDown ? "down " : "up ") + name);
            }
            break;
        case host::EventKind::Activate: Line("activate 1"); break;
        case host::EventKind::Deactivate: Line("activate 0"); break;
        case host::EventKind::Close: Line("close"); break;
    }
}

// The frame's reads of the clock; the last value stays, so repeats at the end go.
void NoteFrame() {
    Recording& r = g_recording;
    if (r.reads.empty()) r.reads.push_back(r.lastRead);
    while (r.reads.size() > 1 && r.reads[r.reads.size() - 2] == r.reads.back()) r.reads.pop_back();
    std::string line = "frame";
    for (uint32_t read : r.reads) line += " " + std::to_string(read);
    Line(line);
    r.reads.clear();
}

// While a script plays, only these of the host's events reach the game.
bool Leaves(const host::Event& event) {
    return event.kind == host::EventKind::Close ||
           (event.kind == host::EventKind::KeyDown && event.virtualKey == VK_ESCAPE);
}

bool NextEvent(host::Event* event) {
    if (!g_playback.on) return host::PollEvent(event);
    host::Event own;
    while (host::PollEvent(&own)) {
        if (Leaves(own)) {
            *event = own;
            return true;
        }
    }
    if (g_playback.events.empty()) return false;
    *event = g_playback.events.front();
    g_playback.events.pop_front();
    return true;
}

}  // namespace

namespace record {

std::string HeaderLine() { return std::string("recording 1 kawauo ") + KAWAUO_VERSION; }

bool Start(const std::string& path, std::string* why) {
    Reset();
    Recording& r = g_recording;
    r.path = path;
    if (!path.empty()) {
        r.file = std::fopen(PartPath().c_str(), "wb");
        if (r.file == nullptr) {
            *why = "cannot write " + PartPath() + ": " + std::strerror(errno);
            return false;
        }
    }
    r.on = true;
    Line(HeaderLine());
    Flush();
    return true;
}

const std::string& Text() { return g_recording.text; }

bool Finish(std::string* why) {
    Recording& r = g_recording;
    if (!r.on) return true;
    r.on = false;
    if (r.file == nullptr) return true;
    Flush();
    bool synced = SyncToDisk(r.file);
    bool closed = std::fclose(r.file) == 0 && synced;
    r.file = nullptr;
    if (r.failed || !closed) {
        *why = "writing " + PartPath() + " failed";
        return false;
    }
    if (std::rename(PartPath().c_str(), r.path.c_str()) != 0) {
        *why = "cannot rename " + PartPath() + " to " + r.path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void Play() { g_playback.on = true; }
void SetCalendar(int64_t seconds) { g_playback.calendar = seconds; }
void SetClock(uint32_t ms) { g_playback.clock = ms; }
uint32_t Clock() { return g_playback.clock; }
void SetReads(std::vector<uint32_t> reads) { g_playback.reads.assign(reads.begin(), reads.end()); }
void Queue(const host::Event& event) { g_playback.events.push_back(event); }

int64_t ReadCalendar() {
    int64_t seconds = g_playback.on ? g_playback.calendar : host::CalendarSeconds();
    // The game reads it once, for its seed.
    if (g_recording.on && !g_recording.seedWritten) {
        g_recording.seedWritten = true;
        Line("seed " + std::to_string(seconds));
    }
    return seconds;
}

uint32_t ReadClock() {
    uint32_t ms = host::Milliseconds();
    if (g_playback.on) {
        if (!g_playback.reads.empty()) {
            g_playback.clock = g_playback.reads.front();
            g_playback.reads.pop_front();
        }
        ms = g_playback.clock;
    }
    if (g_recording.on) {
        g_recording.reads.push_back(ms);
        g_recording.lastRead = ms;
    }
    return ms;
}

bool PollEvent(host::Event* event) {
    if (!NextEvent(event)) return false;
    if (g_recording.on) NoteEvent(*event);
    return true;
}

void EndFrame() {
    if (!g_recording.on) return;
    NoteFrame();
    Flush();
    if (g_recording.file != nullptr && ++g_recording.framesSinceSync >= kFramesBetweenSyncs) {
        g_recording.framesSinceSync = 0;
        if (!SyncToDisk(g_recording.file)) g_recording.failed = true;
    }
}

void Reset() {
    if (g_recording.file != nullptr) std::fclose(g_recording.file);
    g_recording = Recording{};
    g_playback = Playback{};
}

}  // namespace record
