// A run's link: its recording in a compact binary form, deflated and written
// in base64url after "#run=" in the page's address, so that a run can be
// handed on as a link and replayed anywhere, its result proven by the replay.
//
// The link is the site's address (KAWAUO_SITE_URL), "#run=", then in
// base64url without padding: the byte 'k', one byte for the link's format
// (kFormat), and the raw deflate stream (kDeflate's settings) of the binary
// form. The binary
// form, all numbers unsigned LEB128 varints (signed ones zigzagged first):
//   the game's version: its length, then its bytes;
//   the number of frames, then the number of other lines;
//   each other line: the frames written since the one before (the first:
//     since the start), then its code: 0 seed (then the seed, signed),
//     1 activate 0, 2 activate 1, 3 close, 4 lang ja, 5 lang en,
//     8 + 2k down and 9 + 2k up of key k of kKeyNames;
//   each frame: (r << 1) | m, where r (signed) is how far the frame's first
//     reading of the clock is from the one a steady 60 Hz predicts, and m
//     says more readings follow: then their number less two, and each as a
//     signed step from the reading before;
//   last, the CRC-32 of all the above, four bytes, least significant first.
// The prediction is a grid of 60 Hz kept in thirds of a millisecond (a
// period is 50): the time of the next frame lies in [from, to), and is
// predicted at (from + to - 1) / 6 ms, rounded down (the first frame at 0).
// A frame read at R lies in [3R, 3R + 3): for the first frame, or when that
// ends at or before `from`, or starts a period and a half (75) or more past
// it, it becomes the interval; otherwise, when the two meet, their
// intersection does. Then both ends move on by a period.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace player::run_link {

// The link format this game writes and reads. A link of another format is
// refused, a newer one as made by a newer game.
constexpr uint8_t kFormat = 1;

// The deflate every maker of a link uses (zlib's on the desktops and in the
// sim, the page's its port), so that one run has one link wherever it is made.
struct DeflateSettings {
    int level;
    int windowBits;
    int memLevel;
    int strategy;  // 1, zlib's Z_FILTERED: what busy machines' frame times take best
};
constexpr DeflateSettings kDeflate{9, 15, 9, 1};

// The binary form of a recording written as the recorder writes it (its
// header line, then record::LineOf's lines, each ended); false with why
// ("line N: ...") for anything else.
bool FormOf(std::string_view recording, std::vector<uint8_t>* form, std::string* why);
// The recording a binary form holds, byte for byte as it was written; false
// with what is wrong when the form is damaged or would make a recording
// longer than a file the game reads.
bool RecordingOf(std::span<const uint8_t> form, std::string* recording, std::string* why);

// Whether `text` (an argument, or a file's text) is a link rather than a
// recording or a file's name: it holds "#run=", or is a web address.
bool IsLink(std::string_view text);
// The link of a deflated binary form.
std::string LinkOf(std::span<const uint8_t> deflated);
// The deflated binary form a link carries; false with what is wrong.
bool DeflatedOf(std::string_view link, std::vector<uint8_t>* deflated, std::string* why);

// Recording to link and back, deflated by run_link_deflate.h's pair.
bool MakeLink(std::string_view recording, std::string* link, std::string* why);
bool ReadLink(std::string_view link, std::string* recording, std::string* why);
// The link of the run being recorded, or just recorded (record::Text()).
bool MakeRunLink(std::string* link, std::string* why);

}  // namespace player::run_link
