// What the platform did in each frame, for the traces of the sim and of the
// real window: every blit, text and flip (the draw log), every message box and
// debug line (the reports), and who is told when a frame ends.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "winapi/ddraw.h"

namespace winapi {

struct BltNote {
    const IDirectDrawSurface* dest;
    const IDirectDrawSurface* src;
    RECT destRect;
    RECT srcRect;
    bool keyed;
};
struct TextNote {
    int x;
    int y;
    COLORREF colour;
    std::string text;  // UTF-8
};
struct DrawNote {
    enum Kind { kBlt, kText, kFlip } kind;
    BltNote blt;    // kBlt
    TextNote text;  // kText
};
struct ReportNote {
    enum Kind { kMessageBox, kDebug } kind;
    std::string caption;  // kMessageBox; UTF-8
    std::string text;     // UTF-8
};

// The draw log is kept while enabled; taking it empties it.
void RecordDraws(bool enabled);
std::vector<DrawNote> TakeDraws();
// The reports likewise, in the order they were made.
void RecordReports(bool enabled);
std::vector<ReportNote> TakeReports();

// Called by the platform's blits, text output, flips, message boxes and debug output.
void NoteBlt(const BltNote& note);
void NoteText(int x, int y, COLORREF colour, const char* cp932, int length);
void NoteReport(ReportNote::Kind kind, const char* caption, const char* text);
// Every call of Flip, shown or not, after any Present: the end of a frame.
// Notes the flip, tells the recorder and the frame listener, then the host.
void NoteFlip(HRESULT result);

// Called at the end of every frame, after the recorder has written it; one
// listener (the sim's runner or the real window's trace), null for none.
void OnFrameEnd(std::function<void()> listener);

// Logs off and empty, no listener: as at program start.
void ResetFrameLog();

}  // namespace winapi
