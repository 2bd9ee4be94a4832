// The deflate of a run's link with zlib, raw, at the settings every maker
// of a link uses (run_link::kDeflate), and its inflate, bounded.
#include <zlib.h>

#include "player/run_link.h"
#include "player/run_link_deflate.h"

namespace player::run_link {
namespace {

constexpr size_t kChunk = 1 << 16;

// zlib counts in 32-bit sizes: larger inputs are handed over a piece at a time.
uInt PieceOf(size_t left) { return static_cast<uInt>(left < kChunk ? left : kChunk); }

}  // namespace

bool Deflate(std::span<const uint8_t> bytes, std::vector<uint8_t>* deflated, std::string* why) {
    z_stream stream{};
    if (deflateInit2(&stream, kDeflate.level, Z_DEFLATED, -kDeflate.windowBits, kDeflate.memLevel, kDeflate.strategy) !=
        Z_OK) {
        *why = "the deflater cannot start";
        return false;
    }
    deflated->clear();
    size_t given = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_in = const_cast<Bytef*>(bytes.data() + given);
        stream.avail_in = PieceOf(bytes.size() - given);
        given += stream.avail_in;
        const size_t had = deflated->size();
        deflated->resize(had + kChunk);
        stream.next_out = deflated->data() + had;
        stream.avail_out = kChunk;
        status = deflate(&stream, given == bytes.size() ? Z_FINISH : Z_NO_FLUSH);
        deflated->resize(had + kChunk - stream.avail_out);
        given -= stream.avail_in;
        if (status == Z_BUF_ERROR) status = Z_OK;  // no progress this turn: more room comes next
    }
    deflateEnd(&stream);
    if (status != Z_STREAM_END) *why = "the deflater failed";
    return status == Z_STREAM_END;
}

bool Inflate(std::span<const uint8_t> deflated, size_t most, std::vector<uint8_t>* bytes, std::string* why) {
    z_stream stream{};
    if (inflateInit2(&stream, -kDeflate.windowBits) != Z_OK) {
        *why = "the inflater cannot start";
        return false;
    }
    bytes->clear();
    size_t given = 0;
    int status = Z_OK;
    while (status == Z_OK && bytes->size() <= most) {
        stream.next_in = const_cast<Bytef*>(deflated.data() + given);
        stream.avail_in = PieceOf(deflated.size() - given);
        given += stream.avail_in;
        const size_t had = bytes->size();
        bytes->resize(had + kChunk);
        stream.next_out = bytes->data() + had;
        stream.avail_out = kChunk;
        status = inflate(&stream, Z_NO_FLUSH);
        bytes->resize(had + kChunk - stream.avail_out);
        given -= stream.avail_in;
        // No progress with all the input given: the stream stops short of its end.
        if (status == Z_BUF_ERROR && given == deflated.size()) break;
        if (status == Z_BUF_ERROR) status = Z_OK;
    }
    inflateEnd(&stream);
    if (status == Z_STREAM_END && bytes->size() <= most && given == deflated.size()) return true;
    if (bytes->size() > most) *why = WhyOf(InflateProblem::kTooLong);
    else if (status == Z_STREAM_END) *why = WhyOf(InflateProblem::kFollowed);
    else if (status == Z_DATA_ERROR) *why = WhyOf(InflateProblem::kDamaged);
    else if (status == Z_MEM_ERROR) *why = WhyOf(InflateProblem::kOutOfMemory);
    else *why = WhyOf(InflateProblem::kTruncated);
    return false;
}

}  // namespace player::run_link
