// Fuzz target: any bytes as the binary form a run's link carries (its check
// made to match, as a link only a forger could make): what is read must be a
// recording that gives the very same form again, so that a link is read as
// nothing but the one run it was made of; and one that --play takes, but
// for what only the recording's reader knows to refuse (a frame reading the
// clock more often than a recording may say, a seed or language after the
// first frame).
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "player/record.h"
#include "player/run_link.h"
#include "sim/script.h"
#include "tests/fuzz/fuzz_entry.h"

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> form(data, data + size);
    const uint32_t crc = static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size)));
    for (int i = 0; i < 4; ++i) form.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    std::string recording, why;
    if (!player::run_link::RecordingOf(form, &recording, &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    std::vector<uint8_t> again;
    if (!player::run_link::FormOf(recording, &again, &why) || again != form) std::abort();
    if (player::record::VersionOf(recording.substr(0, recording.find('\n'))) !=
        player::record::VersionOf(player::record::HeaderLine()))
        return 0;  // another version's, which --play refuses by its first line
    sim::ScriptError error{};
    if (!sim::ParseRecording(recording, nullptr, &error) &&
        error.message.find("readings of the clock") == std::string::npos &&
        error.message.find("must come before the first") == std::string::npos)
        std::abort();
    return 0;
}
