// The sim's trace: one JSON object a line, for every frame and every event.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "winapi/frame_log.h"

namespace sim {

class TraceWriter {
public:
    explicit TraceWriter(std::FILE* out) : out_(out) {}

    // The game's state after frame `frameNumber`, and with `draws` the
    // drawing calls of that frame.
    void Frame(int frameNumber, const std::vector<winapi::DrawNote>* draws);
    void MessageBox(const std::string& caption, const std::string& text);
    void Debug(const std::string& text);
    void Exit(int code);
    // False once a write has failed. After a failed write the stream is
    // never touched again: its owner may close it.
    bool Flush();
    // The system's error number of the first write that failed; 0 while none has.
    int Error() const { return error_; }
    // Frame lines written so far.
    int Frames() const { return frames_; }

private:
    void Int(int64_t value);
    void Str(const std::string& text);
    template <typename T>
    void Ints(const T* values, size_t count);
    void Key(const char* name);  // ,"name": (the comma only after the first key)
    void Line();
    void Failed();  // keeps the first failed write's error number

    std::FILE* out_;
    std::string line_;
    bool firstKey_ = true;
    int error_ = 0;
    int frames_ = 0;
};

}  // namespace sim
