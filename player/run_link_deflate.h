// The deflate of a run's link (run_link::kDeflate's settings, raw: no zlib
// header or check): zlib's on the desktops and in the sim
// (run_link_zlib.cpp), the page's own in a browser. Apart from run_link.h,
// so that each build can give its own.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace player::run_link {

// What can be wrong with a raw deflate stream, said one way by every inflater.
enum class InflateProblem { kDamaged, kTruncated, kFollowed, kTooLong, kOutOfMemory };
std::string WhyOf(InflateProblem problem);

// `bytes` deflated; false with why when the deflater fails.
bool Deflate(std::span<const uint8_t> bytes, std::vector<uint8_t>* deflated, std::string* why);
// The bytes of a whole raw deflate stream, at most `most` of them; false
// with what is wrong (the stream damaged, cut short, followed by other
// bytes, or inflating past `most`).
bool Inflate(std::span<const uint8_t> deflated, size_t most, std::vector<uint8_t>* bytes, std::string* why);

}  // namespace player::run_link
