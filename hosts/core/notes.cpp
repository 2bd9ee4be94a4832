// The notes' queue: posted from any thread, shown from the game's, each for
// its few seconds.
#include "hosts/core/notes.h"

#include <deque>
#include <mutex>
#include <string_view>

#include "winapi/told.h"

namespace core::notes {
namespace {

struct Board {
    std::mutex lock;
    std::deque<std::string> waiting;  // under the lock
    size_t untold = 0;                // posted past kMostWaiting, under the lock
    bool showing = false;             // the game's thread's alone
    uint32_t since = 0;
};

Board g_board;

// The next note to show, or "" when none waits.
std::string Next() {
    std::lock_guard<std::mutex> held(g_board.lock);
    std::string next;
    if (!g_board.waiting.empty()) {
        next = std::move(g_board.waiting.front());
        g_board.waiting.pop_front();
    } else if (g_board.untold > 0) {
        next = "and " + std::to_string(g_board.untold) + (g_board.untold == 1 ? " more note" : " more notes");
        g_board.untold = 0;
    }
    return next;
}

void PostTold(const std::string& line) {
    constexpr std::string_view kName = "kawauo: ";
    Post(line.rfind(kName, 0) == 0 ? line.substr(kName.size()) : line);
}

}  // namespace

void NoteWhatIsTold() { winapi::ListenToTold(PostTold); }

void Post(const std::string& text) {
    std::lock_guard<std::mutex> held(g_board.lock);
    if (g_board.waiting.size() < kMostWaiting) g_board.waiting.push_back(text);
    else ++g_board.untold;
}

bool Tick(uint32_t nowMs, void (*show)(const char* text)) {
    if (g_board.showing && nowMs - g_board.since < kShownMs) return false;
    const std::string next = Next();
    if (next.empty()) {
        if (!g_board.showing) return false;
        g_board.showing = false;
        show("");
        return true;
    }
    g_board.showing = true;
    g_board.since = nowMs;
    show(next.c_str());
    return true;
}

std::string TakeWaiting() {
    std::string lines;
    for (std::string next; !(next = Next()).empty();) lines += (lines.empty() ? "" : "\n") + next;
    return lines;
}

void Forget() {
    std::lock_guard<std::mutex> held(g_board.lock);
    g_board.waiting.clear();
    g_board.untold = 0;
    g_board.showing = false;
}

}  // namespace core::notes
