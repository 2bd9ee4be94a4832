// The recorder: hears the game's reads of the outside world and writes them
// as a kawauo-sim script, a frame at a time.
#include "player/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "player/key_names.h"
#include "player/options.h"
#include "player/output_file.h"
#include "player/version.h"
#include "winapi/files.h"
#include "winapi/inputs.h"

namespace {

constexpr int kFramesBetweenSyncs = 60;  // a second of play at most is lost in a power cut

struct Recording {
    bool on = false;
    player::OutputFile out;  // its stream null: in memory only
    std::string text;
    size_t written = 0;  // of text, into the file
    // The first write that failed: its error, and the frames the file holds
    // whole; no more is written after it.
    int failure = 0;
    int framesKept = 0;  // frame lines in the file
    bool seedWritten = false;
    std::vector<uint32_t> reads;  // of the clock, in the frame being made
    uint32_t lastRead = 0;
    int framesSinceSync = 0;
    int frames = 0;
};

Recording g_recording;

void Line(const std::string& line) {
    g_recording.text += line;
    g_recording.text += '\n';
}

// The first failed write ends the file where its last whole frame ended:
// it stays a clean beginning of the run, never a line spliced from two nor a
// run with frames missing from its middle.
void StopWriting(int error) {
    Recording& r = g_recording;
    r.failure = error != 0 ? error : EIO;
    player::CutBack(r.out.stream, r.written);
}

// What is new in the text, whole frames of it, goes to the file (unbuffered,
// so that what failed is never written later), so that a crash loses at
// most the frame being made.
void Flush() {
    Recording& r = g_recording;
    if (r.out.stream == nullptr || r.failure != 0 || r.written == r.text.size()) return;
    size_t length = r.text.size() - r.written;
    errno = 0;
    if (std::fwrite(r.text.data() + r.written, 1, length, r.out.stream) != length) return StopWriting(errno);
    r.written = r.text.size();
    r.framesKept = r.frames;
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

void HearEvent(const winapi::host::Event& event) {
    switch (event.kind) {
        case winapi::host::EventKind::KeyDown:
        case winapi::host::EventKind::KeyUp:
            // The host tells only of the keys the game reads; any other would change nothing.
            if (const char* name = player::KeyNameOf(event.virtualKey)) {
                Line(std::string(event.kind == winapi::host::EventKind::KeyDown ? "down " : "up ") + name);
            }
            break;
        case winapi::host::EventKind::Activate: Line("activate 1"); break;
        case winapi::host::EventKind::Deactivate: Line("activate 0"); break;
        case winapi::host::EventKind::Close: Line("close"); break;
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
    ++r.frames;
    Flush();
    if (r.out.stream != nullptr && r.failure == 0 && ++r.framesSinceSync >= kFramesBetweenSyncs) {
        r.framesSinceSync = 0;
        if (!winapi::SyncToDisk(r.out.stream)) StopWriting(errno);
    }
}

const winapi::inputs::Listener kRecorder{HearCalendar, HearClock, HearEvent, HearFrameEnd};

}  // namespace

namespace player::record {

std::string HeaderLine() { return std::string("recording 1 kawauo ") + KAWAUO_VERSION; }

bool Start(const std::string& path, std::string* why) {
    Reset();
    Recording& r = g_recording;
    if (!path.empty() && !OpenOutput(path, OutputKind::kKept, &r.out, why)) return false;
    if (r.out.stream != nullptr) std::setvbuf(r.out.stream, nullptr, _IONBF, 0);
    r.on = true;
    winapi::inputs::Listen(&kRecorder);
    Line(HeaderLine());  // to the file with the first frame: a run that shows none leaves nothing
    return true;
}

const std::string& Text() { return g_recording.text; }

bool Finish(std::string* why) {
    Recording& r = g_recording;
    if (!r.on) return true;
    r.on = false;
    winapi::inputs::Listen(nullptr);
    if (r.out.stream == nullptr) return true;
    if (r.frames == 0) {
        DropOutput(&r.out);
        return true;
    }
    Flush();
    if (r.failure == 0) return PlaceOutput(&r.out, why);
    const std::string part = options::ShownPath(r.out.partPath);
    *why = "cannot write " + part + " (" + std::strerror(r.failure) + "): ";
    if (StillNamed(r.out.stream, r.out.partPath)) {
        *why += "it holds the run's first " + std::to_string(r.framesKept) + " frames, cut short there";
    } else {
        *why += "it was moved or removed meanwhile, and nothing is kept under that name";
    }
    std::fclose(r.out.stream);
    r.out.stream = nullptr;
    return false;
}

void Reset() {
    if (g_recording.on) winapi::inputs::Listen(nullptr);
    DropOutput(&g_recording.out);
    g_recording = Recording{};
}

}  // namespace player::record
