// Pictures that are not pictures through the whole program (kawauo-sim): a
// FIFO, a folder, a loop of links, a file too large, bytes that are no BMP, a
// picture past the budget. Each is refused with the creation-error box, told on standard error
// with the file and the reason, and the run ends with 1; nothing waits.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "display/texts.h"
#include "tests/sim/sim_harness.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/cp932.h"

namespace {

using simtest::Json;

namespace fs = std::filesystem;

// An RLE8 picture of `width` x `height` whose stream is only the end mark:
// a few bytes on disk, the whole of its claimed size once decoded.
std::vector<uint8_t> RleBomb(int32_t width, int32_t height) {
    std::vector<uint8_t> bytes(54 + 1024 + 2, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(2, uint32_t(bytes.size()), 4), put(10, 54 + 1024, 4), put(14, 40, 4), put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4), put(26, 1, 2), put(28, 8, 2), put(30, 1, 4), put(34, 2, 4);
    bytes[bytes.size() - 1] = 1;  // 00 01: end of bitmap
    return bytes;
}

// A 24-bit picture in which every pixel has a colour of its own.
std::vector<uint8_t> DistinctColours(int32_t width, int32_t height) {
    const size_t stride = size_t(width) * 3;  // a multiple of 4 for the widths used
    std::vector<uint8_t> bytes(54 + stride * size_t(height), 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(10, 54, 4), put(14, 40, 4), put(18, uint32_t(width), 4), put(22, uint32_t(height), 4);
    put(26, 1, 2), put(28, 24, 2);
    for (uint32_t p = 0; p < uint32_t(width) * uint32_t(height); ++p) put(54 + 3 * size_t(p), p * 7919, 3);
    return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) { ASSERT_TRUE(WriteFile(path, bytes)); }

std::string Utf8(const char* cp932) { return winapi::Cp932ToUtf8(cp932, std::strlen(cp932)); }

TEST(HostileFiles, EachIsRefusedWithTheBoxAndItsReason) {
    const struct {
        const char* what;
        const char* file;
        std::function<void(const std::string&)> make;
        const char* reason;
    } rows[] = {
        {"missing", "fish1.bmp", [](const std::string& p) { fs::remove(p); }, "missing"},
        {"FIFO as a picture", "fish1.bmp", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
         "not a regular file"},
        {"FIFO as back.bmp", "back.bmp", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
         "not a regular file"},
        {"folder", "opn.bmp", [](const std::string& p) { fs::create_directory(p); }, "not a regular file"},
        {"a loop of symbolic links", "fisht.bmp", [](const std::string& p) { fs::create_symlink(p, p); },
         "Too many levels of symbolic links"},
        {"over 64 MiB (sparse)", "awa.bmp",
         [](const std::string& p) {
             Write(p, RleBomb(16, 16));
             fs::resize_file(p, (int64_t{64} << 20) + 1);
         },
         "too large"},
        {"not a BMP", "push.bmp", [](const std::string& p) { Write(p, std::vector<uint8_t>(100, 'x')); }, "not a BMP"},
        {"RLE claiming 16384x4096", "henge3.bmp", [](const std::string& p) { Write(p, RleBomb(16384, 4096)); },
         "over the budget"},
        {"1.2 million distinct true colours", "fait2.bmp",
         [](const std::string& p) { Write(p, DistinctColours(1200, 1000)); }, "over the budget"},
    };
    const Json box = {
        {"event", "messagebox"}, {"caption", Utf8(kTextCreateFailedCaption)}, {"text", Utf8(kTextCreateFailed)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testsupport::TempFolder dir("kawauo-sim");
        simtest::WriteTestPictures(dir.path());
        const std::string path = dir.path() + "/bmp/" + row.file;
        fs::remove(path);
        row.make(path);
        simtest::SimRun run = simtest::RunSim("frames 3\n", dir.path());
        EXPECT_EQ(run.status, 1) << simtest::Describe(run);
        EXPECT_TRUE(run.frames.empty());
        ASSERT_EQ(run.events.size(), 2u) << simtest::Describe(run);
        EXPECT_EQ(run.events[0], box);
        const std::string told = std::string("bmp/") + row.file + ": " + row.reason;
        EXPECT_NE(run.errors.find(told), std::string::npos) << "no \"" << told << "\" in:\n" << run.errors;
    }
}

TEST(HostileFiles, ATrueColourBackKeepsThePaletteAndSaysSo) {
    testsupport::TempFolder dir("kawauo-sim");
    simtest::WriteTestPictures(dir.path());
    Write(dir.path() + "/bmp/back.bmp", DistinctColours(640, 480));
    simtest::SimRun run = simtest::RunSim("frames 1\n", dir.path());
    EXPECT_EQ(run.status, 0) << simtest::Describe(run);
    EXPECT_NE(run.errors.find("has no colour table (24 bits a pixel)"), std::string::npos) << run.errors;
}

}  // namespace
