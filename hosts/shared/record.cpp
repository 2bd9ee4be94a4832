// The recorder: hears the game's reads of the outside world and writes them
// as a kawauo-sim script, a frame at a time.
#include "hosts/shared/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "hosts/shared/key_names.h"
#include "hosts/shared/version.h"
#include "winapi/files.h"
#include "winapi/inputs.h"

namespace {

constexpr int kFramesBetweenSyncs = 60;  // a second of play at most is lost in a power cut

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

Recording g_recording;

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

// The game reads the calendar once, for its seed.
void HearCalendar(int64_t seconds) {
    if (g_recording.seedWritten) return;
    g_recording.seedWritten = true;
    Line("seed " + std::to_string(seconds));
}

void HearClock(uint32_t ms) {
    g_recording.reads.push_back(ms);
    g_recording.lastRead = ms;
}

void HearEvent(const host::Event& event) {
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

// The frame's reads of the clock (the last value stays, so repeats at the
// end go), then what is new to the file.
void HearFrameEnd() {
    Recording& r = g_recording;
    if (r.reads.empty()) r.reads.push_back(r.lastRead);
    while (r.reads.size() > 1 && r.reads[r.reads.size() - 2] == r.reads.back()) r.reads.pop_back();
    std::string line = "frame";
    for (uint32_t read : r.reads) line += " " + std::to_string(read);
    Line(line);
    r.reads.clear();
    Flush();
    if (r.file != nullptr && ++r.framesSinceSync >= kFramesBetweenSyncs) {
        r.framesSinceSync = 0;
        if (!platform::SyncToDisk(r.file)) r.failed = true;
    }
}

const inputs::Listener kRecorder{HearCalendar, HearClock, HearEvent, HearFrameEnd};

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
    inputs::Listen(&kRecorder);
    Line(HeaderLine());
    Flush();
    return true;
}

const std::string& Text() { return g_recording.text; }

bool Finish(std::string* why) {
    Recording& r = g_recording;
    if (!r.on) return true;
    r.on = false;
    inputs::Listen(nullptr);
    if (r.file == nullptr) return true;
    Flush();
    bool synced = platform::SyncToDisk(r.file);
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

void Reset() {
    if (g_recording.on) inputs::Listen(nullptr);
    if (g_recording.file != nullptr) std::fclose(g_recording.file);
    g_recording = Recording{};
}

}  // namespace record
