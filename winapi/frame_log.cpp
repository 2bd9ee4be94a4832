// The draw log, the reports and the end of each frame, shared by every host.
#include "winapi/frame_log.h"

#include <utility>

#include "winapi/cp932.h"
#include "winapi/host.h"
#include "winapi/inputs.h"

namespace {

struct FrameLog {
    bool recordDraws = false;
    std::vector<winapi::DrawNote> draws;
    bool recordReports = false;
    std::vector<winapi::ReportNote> reports;
    std::function<void()> listener;
};

FrameLog g_frameLog;

}  // namespace

namespace winapi {

void RecordDraws(bool enabled) { g_frameLog.recordDraws = enabled; }
std::vector<DrawNote> TakeDraws() { return std::exchange(g_frameLog.draws, {}); }
void RecordReports(bool enabled) { g_frameLog.recordReports = enabled; }
std::vector<ReportNote> TakeReports() { return std::exchange(g_frameLog.reports, {}); }

void NoteBlt(const BltNote& note) {
    if (g_frameLog.recordDraws) g_frameLog.draws.push_back(DrawNote{DrawNote::kBlt, note, {}});
}

void NoteText(int x, int y, COLORREF colour, const char* cp932, int length) {
    if (!g_frameLog.recordDraws) return;
    std::string text = Cp932ToUtf8(cp932, length > 0 ? static_cast<size_t>(length) : 0);
    g_frameLog.draws.push_back(DrawNote{DrawNote::kText, {}, TextNote{x, y, colour, std::move(text)}});
}

void NoteReport(ReportNote::Kind kind, const char* caption, const char* text) {
    if (g_frameLog.recordReports) g_frameLog.reports.push_back(ReportNote{kind, caption, text});
}

void NoteFlip(HRESULT result) {
    if (g_frameLog.recordDraws) g_frameLog.draws.push_back(DrawNote{DrawNote::kFlip, {}, {}});
    inputs::EndFrame();
    // Held in a copy while it runs, so that it may replace or clear itself.
    if (g_frameLog.listener) {
        std::function<void()> listener = g_frameLog.listener;
        listener();
    }
    host::NoteFlip(result);
}

void OnFrameEnd(std::function<void()> listener) { g_frameLog.listener = std::move(listener); }

void ResetFrameLog() { g_frameLog = FrameLog{}; }

}  // namespace winapi
