// The settings file on disk, shared by the desktop hosts: its encodings,
// the reading and replacing that Save does (settings_file.cpp), and the
// system's part (settings_file_posix.cpp, settings_file_win32.cpp): where it
// is, what the file is now, and writing it where it stands. Apart from
// settings.h, so that a file speaking Win32 can define them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace player::settings {

// $XDG_CONFIG_HOME/kawauo/settings, else ~/.config/kawauo/settings; on
// Windows %APPDATA%\kawauo\settings.ini (a name Notepad opens), else in the
// roaming application data known folder. Empty when none is known.
std::string DefaultPath();
// What DefaultPath looks for, for the message when it finds none.
const char* DefaultFolderName();

// Where earlier versions kept the file, when it has moved since (on Windows
// %APPDATA%\kawauo\settings, which had no extension for Explorer to open it
// by); empty where it has not moved.
std::string FormerPath();

// Whether a missing file is written at the start, every setting explained
// (WriteIfMissing), or only by the player's first change.
bool WrittenAtFirstStart();

// How a settings file's text is kept: UTF-8 (with a byte order mark or
// without), or UTF-16 as Windows' Notepad saves "Unicode", recognised by
// its byte order mark and written back in it.
enum class Encoding { kUtf8, kUtf16Little, kUtf16Big };

// The file's bytes as UTF-8 text (a UTF-16 file's mark dropped), and its
// encoding; false, with where, for UTF-16 that is cut or holds a lone half of
// a pair, which is never read nor written.
bool Decode(const std::string& bytes, std::string* text, Encoding* encoding, std::string* why);
// UTF-8 `text` as bytes of `encoding` (UTF-16 with its mark).
std::string Encode(const std::string& text, Encoding encoding);

// What a file is at one moment: Save replaces only the file it read.
struct Stamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t changed = 0;  // the change time, in the system's finest unit
    uint32_t links = 0;
    bool operator==(const Stamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               changed == other.changed && links == other.links;
    }
};
// The file at `path` now (exists false when nothing is there).
Stamp StampOf(const std::string& path);

// The settings file as Save read it, to replace.
struct Reading {
    std::string path;  // where the links lead
    Stamp stamp;       // taken before the read, and the same after it
    std::string text;  // UTF-8
    Encoding encoding = Encoding::kUtf8;
};
// Reads the file at `path` through its symbolic links. False with why when
// it cannot be read (missing is no problem: an empty reading), is read-only,
// or kept changing while it was read.
bool ReadForSave(const std::string& path, Reading* reading, std::string* why);
// Puts `text` in place of the file `reading` read, in its encoding, if it
// is still that file (the same stamp) just before: beside it and renamed
// over it, synced; a file with more than one name written where it stands,
// whole, so that its other names see the new text. False with *changed set
// when the file changed since it was read (nothing written), else with why.
bool ReplaceIfUnchanged(const Reading& reading, const std::string& text, bool* changed, std::string* why);

// Gives `fresh`, the new text's file, the mode of the file at `path` where
// the system keeps one; false when it cannot.
bool KeepMode(const std::string& path, std::FILE* fresh);
// Writes `bytes` over the file at `path` where it stands, cut to their
// length and synced; false with errno set.
bool WriteInPlace(const std::string& path, const std::string& bytes);

}  // namespace player::settings
