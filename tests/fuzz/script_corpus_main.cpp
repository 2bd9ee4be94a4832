// Writes the script and recording fuzzers' seeds from the committed scripts
// and recordings: each file's lines for the script fuzzer, and those after
// its header line for the recording fuzzer (which writes the header itself).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/support.h"
#include "tools/bmpwrite/bmp_write.h"

namespace {

// A seed holds a file's first whole lines up to this size. A recording's
// later lines are more frames and keys, and inputs this long keep the
// sanitized reader past a thousand runs a second.
constexpr size_t kSeedBytes = 4096;

std::string Head(const std::string& text) {
    if (text.size() <= kSeedBytes) return text;
    return text.substr(0, text.rfind('\n', kSeedBytes - 1) + 1);
}

// The text after a recording's first line; a script whole.
std::string Body(const std::string& text) {
    if (text.rfind("recording ", 0) != 0) return text;
    const size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

bool Write(const std::filesystem::path& path, const std::string& text) {
    if (std::filesystem::exists(path)) {
        std::fprintf(stderr, "two seeds named %s\n", path.filename().c_str());
        return false;
    }
    if (WriteFile(path.string(), std::vector<uint8_t>(text.begin(), text.end()))) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <script-directory> <recording-directory> FILE...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path scripts = argv[1];
    const std::filesystem::path recordings = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::filesystem::path file = argv[i];
        const std::string text = testsupport::ReadText(file);
        if (text.empty()) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        if (!Write(scripts / file.filename(), Head(text)) || !Write(recordings / file.filename(), Head(Body(text))))
            return 1;
    }
    std::printf("%d script and recording seeds in %s and %s\n", argc - 3, argv[1], argv[2]);
    return 0;
}
