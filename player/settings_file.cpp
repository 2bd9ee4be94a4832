// The settings file on disk: read at start and read again before each save,
// which puts the game's changes in place of the very file it read, whole,
// where its symbolic links lead and in its own encoding (the system's part,
// settings_file_posix.cpp or _win32.cpp, tells what the file is now and
// writes a file of many names where it stands).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "player/output_file.h"
#include "player/settings.h"
#include "player/settings_file.h"
#include "winapi/files.h"
#include "winapi/told.h"

namespace player::settings {
namespace {

namespace fs = std::filesystem;

// Reads and saves tried while the file keeps changing under them (an editor
// saving, another game saving) before the save gives up.
constexpr int kAttempts = 8;

std::string Shown(const std::string& path) { return options::ShownPath(path); }

// As the game reads its files: a FIFO or a device in the file's place
// cannot hold the game, and is refused.
bool ReadBytes(const std::string& path, std::string* bytes, winapi::FileProblem* problem) {
    std::vector<uint8_t> read;
    if (!winapi::ReadWholeFile(path, &read, problem)) return false;
    bytes->assign(read.begin(), read.end());
    return true;
}

// A settings file kept elsewhere behind symbolic links stays there, and is
// made there when the last link's target is missing. (A loop of links ends
// on a link, which cannot be read.)
std::string Target(const std::string& path) {
    fs::path at = winapi::PathOf(path);
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(at, error); ++hop) {
        fs::path to = fs::read_symlink(at, error);
        if (error) break;
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
    return winapi::Utf8Of(at);
}

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | code >> 6);
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | code >> 12);
        *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | code >> 18);
        *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point of the UTF-8 sequence at `text[*at]`, moving past it; a
// byte that begins no whole sequence is U+FFFD.
uint32_t NextCodePoint(const std::string& text, size_t* at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(*at);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool whole = length != 0 && *at + length <= text.size();
    for (size_t i = 1; whole && i < length; ++i) {
        whole = (byte(*at + i) & 0xC0) == 0x80;
        code = code << 6 | (byte(*at + i) & 0x3F);
    }
    *at += whole ? length : 1;
    return whole ? code : 0xFFFD;
}

void AppendUnit(uint32_t unit, Encoding encoding, std::string* out) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    *out += encoding == Encoding::kUtf16Little ? low : high;
    *out += encoding == Encoding::kUtf16Little ? high : low;
}

bool MakeFolderOf(const std::string& path, std::string* why) {
    const fs::path folder = winapi::PathOf(path).parent_path();
    std::error_code made;
    fs::create_directories(folder, made);
    if (made) *why = "cannot make the folder " + Shown(winapi::Utf8Of(folder)) + ": " + made.message();
    return !made;
}

// `bytes` in a new file beside `path`, made as every file the player keeps
// is (an existing file's mode is kept), synced and closed; its name in
// *temporary. False with why (and nothing left) when it cannot be written.
bool WriteBeside(const std::string& path, const std::string& bytes, std::string* temporary, std::string* why) {
    std::FILE* file = CreateFreshFile(path, temporary);
    if (file == nullptr) {
        *why = "cannot write in " + Shown(winapi::Utf8Of(winapi::PathOf(path).parent_path())) + ": " +
               std::strerror(errno);
        return false;
    }
    bool written = KeepMode(path, file) && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                   std::fflush(file) == 0 && winapi::SyncToDisk(file);
    const int error = errno;
    written = std::fclose(file) == 0 && written;
    if (written) return true;
    std::error_code removed;
    fs::remove(winapi::PathOf(*temporary), removed);
    *why = "cannot write " + Shown(path) + ": " + std::strerror(error);
    return false;
}

// A new file where none stands, not even a link to nowhere (the player's,
// to be written through by the first save); false with *why when it cannot
// be made, true when one is there.
bool WriteNew(const File& file, std::string* why) {
    const fs::path place = winapi::PathOf(file.path);
    std::error_code error;
    if (fs::exists(fs::symlink_status(place, error))) return true;
    std::string temporary;
    if (!MakeFolderOf(file.path, why) || !WriteBeside(file.path, NewFileText(file.settings), &temporary, why))
        return false;
    if (RenameOutput(temporary, file.path, false)) return true;
    const int failure = errno;
    fs::remove(winapi::PathOf(temporary), error);
    if (fs::exists(fs::symlink_status(place, error))) return true;  // made meanwhile
    *why = "cannot write " + Shown(file.path) + ": " + std::strerror(failure);
    return false;
}

}  // namespace

bool Decode(const std::string& bytes, std::string* text, Encoding* encoding, std::string* why) {
    const std::string_view start = std::string_view(bytes).substr(0, 2);
    *encoding = start == "\xFF\xFE"   ? Encoding::kUtf16Little
                : start == "\xFE\xFF" ? Encoding::kUtf16Big
                                      : Encoding::kUtf8;
    if (*encoding == Encoding::kUtf8) {
        *text = bytes;
        return true;
    }
    if (bytes.size() % 2 != 0) {
        *why = "UTF-16 text cut in the middle of a character (an odd number of bytes)";
        return false;
    }
    const bool little = *encoding == Encoding::kUtf16Little;
    const auto unit = [&](size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        return little ? uint32_t{second} << 8 | first : uint32_t{first} << 8 | second;
    };
    text->clear();
    for (size_t i = 2; i < bytes.size(); i += 2) {
        uint32_t code = unit(i);
        const bool high = code >= 0xD800 && code < 0xDC00;
        const bool paired = high && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000;
        if ((code >= 0xD800 && code < 0xE000) && !paired) {
            *why = "UTF-16 text with half a character at byte " + std::to_string(i);
            return false;
        }
        if (paired) {
            i += 2;
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i) - 0xDC00);
        }
        AppendUtf8(code, text);
    }
    return true;
}

std::string Encode(const std::string& text, Encoding encoding) {
    if (encoding == Encoding::kUtf8) return text;
    std::string out;
    AppendUnit(0xFEFF, encoding, &out);
    for (size_t at = 0; at < text.size();) {
        const uint32_t code = NextCodePoint(text, &at);
        if (code < 0x10000) {
            AppendUnit(code, encoding, &out);
            continue;
        }
        AppendUnit(0xD800 + ((code - 0x10000) >> 10), encoding, &out);
        AppendUnit(0xDC00 + ((code - 0x10000) & 0x3FF), encoding, &out);
    }
    return out;
}

bool ReadForSave(const std::string& path, Reading* reading, std::string* why) {
    *reading = Reading{};
    reading->path = Target(path);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        reading->stamp = StampOf(reading->path);
        std::string bytes;
        winapi::FileProblem problem = winapi::FileProblem::kNone;
        const bool read = ReadBytes(reading->path, &bytes, &problem);
        if (!read && problem != winapi::FileProblem::kMissing) {
            *why = Shown(reading->path) + ": cannot be read: " + winapi::ProblemText(problem);
            return false;
        }
        if (!(StampOf(reading->path) == reading->stamp)) continue;  // written while it was read
        if (read && ReadOnlyFile(reading->path)) {
            *why = Shown(reading->path) + " is read-only";
            return false;
        }
        if (!read) return true;
        if (Decode(bytes, &reading->text, &reading->encoding, why)) return true;
        *why = Shown(reading->path) + ": " + *why + ": it is left as it is";
        return false;
    }
    *why = Shown(reading->path) + " kept changing while it was read";
    return false;
}

bool ReplaceIfUnchanged(const Reading& reading, const std::string& text, bool* changed, std::string* why) {
    const std::string bytes = Encode(text, reading.encoding);
    *changed = false;
    if (reading.stamp.links > 1) {
        // Another name of the file (a folder of the player's own files) must see the new text too.
        *changed = !(StampOf(reading.path) == reading.stamp);
        if (*changed || WriteInPlace(reading.path, bytes)) return !*changed;
        *why = "cannot write " + Shown(reading.path) + ": " + std::strerror(errno);
        return false;
    }
    std::string temporary;
    if (!WriteBeside(reading.path, bytes, &temporary, why)) return false;
    // Just before the file is replaced: an editor that saved meanwhile keeps its text.
    *changed = !(StampOf(reading.path) == reading.stamp);
    if (!*changed && RenameOutput(temporary, reading.path, true)) return true;
    const int error = errno;
    std::error_code removed;
    fs::remove(winapi::PathOf(temporary), removed);
    if (!*changed) *why = "cannot write " + Shown(reading.path) + ": " + std::strerror(error);
    return false;
}

Settings Load(const std::string& path, KeyKnown known, File* file) {
    *file = File{path, known, SystemDefaults()};
    if (path.empty()) return file->settings;
    RemoveStaleTemporaries(Target(path));
    std::string bytes, text, why;
    Encoding encoding = Encoding::kUtf8;
    winapi::FileProblem problem = winapi::FileProblem::kNone;
    if (!ReadBytes(path, &bytes, &problem)) {
        // Nothing to lose; where players look for the file, it is made.
        if (problem == winapi::FileProblem::kMissing && WrittenAtFirstStart()) WriteIfMissing(file);
        if (problem == winapi::FileProblem::kMissing) return file->settings;
        why = std::string("cannot be read: ") + winapi::ProblemText(problem);
    } else if (Decode(bytes, &text, &encoding, &why)) {
        Apply(text, file);
        return file->settings;
    }
    winapi::Tell("kawauo: " + Shown(path) + ": " + why);
    winapi::Tell("kawauo: using the default settings; " + Shown(path) + " is left as it is");
    return file->settings;
}

std::string MoveFormerFile(const std::string& path, const std::string& former) {
    std::error_code error;
    if (former.empty() || !fs::exists(fs::symlink_status(winapi::PathOf(former), error)) ||
        fs::exists(fs::symlink_status(winapi::PathOf(path), error)))
        return path;
    std::string why;
    if (MakeFolderOf(path, &why)) {
        if (RenameOutput(former, path, false)) {
            winapi::Tell("kawauo: the settings file is now " + Shown(path) + " (moved from " + Shown(former) + ")");
            return path;
        }
        why = std::strerror(errno);
    }
    winapi::Tell("kawauo: " + Shown(former) + " cannot be moved to " + Shown(path) + " (" + why +
                 "): it is read and saved where it is");
    return former;
}

bool WriteIfMissing(File* file) {
    std::string why;
    if (file->path.empty()) why = "no home folder is known";
    else if (WriteNew(*file, &why)) return true;
    winapi::Tell("kawauo: the settings file is not written: " + why);
    return false;
}

bool Save(const Settings& settings, File* file) {
    std::string why = file->path.empty() ? "no home folder is known" : "";
    if (why.empty()) MakeFolderOf(file->path, &why);
    for (int attempt = 0; why.empty() && attempt < kAttempts; ++attempt) {
        Reading reading;
        if (!ReadForSave(file->path, &reading, &why)) break;
        // Written over the file as it is now: what the player changed in it meanwhile stays.
        const std::string text =
            Format(settings, file->settings, reading.stamp.exists ? &reading.text : nullptr, file->known);
        bool changed = false;
        if (text == reading.text || ReplaceIfUnchanged(reading, text, &changed, &why)) {
            file->settings = settings;
            return true;
        }
        if (!changed) break;
        if (attempt + 1 == kAttempts) why = Shown(reading.path) + " kept changing while the game saved it";
    }
    winapi::Tell("kawauo: the settings are not saved: " + why);
    return false;
}

}  // namespace player::settings
