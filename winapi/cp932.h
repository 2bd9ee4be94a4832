// The game's code page: CP932 <-> UTF-8 from the baked tables, exactly as
// glibc's iconv converts.
#pragma once
#include <cstddef>
#include <string>

namespace winapi {

// Undecodable bytes become U+FFFD; characters the code page lacks, '?'.
std::string Cp932ToUtf8(const char* text, size_t length);
std::string Utf8ToCp932(const std::string& text);

}  // namespace winapi
