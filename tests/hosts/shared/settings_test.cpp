// The player's settings file: what each line sets or why it is refused, the
// text written back, and the file on disk (missing, unreadable, malformed,
// in a folder that cannot be written): nothing of the player's is lost.
#include "hosts/shared/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/support.h"

namespace {

namespace fs = std::filesystem;

bool Known(const std::string& name) {
    static const std::set<std::string> kKnown = {
        "Space", "Tab", "Escape",   "Left", "A", "Keypad 4", "Up", "W",  "Keypad 8", "Right", "D",         "Keypad 6",
        "Down",  "S",   "Keypad 2", "F1",   "1", "F2",       "2",  "F3", "3",        "Z",     "Left Shift"};
    return kKnown.count(name) != 0;
}

constexpr size_t kUp = 4;  // platform::kKeyNames' UP

// fullscreen, window, scale, language, outline (o or -), then the keys of UP.
std::string Describe(const settings::Settings& s) {
    std::string keys;
    for (const std::string& k : s.keys[kUp]) keys += (keys.empty() ? "" : ",") + k;
    return std::to_string(s.fullscreen) + " " + std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) +
           " " + options::NameOf(s.scale) + " " + options::NameOf(s.lang) + (s.outline ? " o " : " - ") + keys;
}

bool Same(const settings::Settings& a, const settings::Settings& b) {
    return a.fullscreen == b.fullscreen && a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.scale == b.scale && a.lang == b.lang && a.outline == b.outline && a.keys == b.keys;
}

TEST(SettingsParse, WhatEachLineSetsOrWhyItIsRefused) {
    struct Row {
        std::string text;
        const char* expected;  // Describe() when read, else the problem's line and what
    };
    const Row rows[] = {
        {"", "1 0x0 fit ja - Up,W,Keypad 8"},
        {"# mine\n\n   \n\t# indented\n", "1 0x0 fit ja - Up,W,Keypad 8"},
        {"fullscreen = no\nwindow = 1280x960\nscale = integer\n", "0 1280x960 integer ja - Up,W,Keypad 8"},
        {"  fullscreen=no  \r\nwindow = 320x240\r\n", "0 320x240 fit ja - Up,W,Keypad 8"},
        {"window = 800x600\nwindow = default\n", "1 0x0 fit ja - Up,W,Keypad 8"},
        {"key.up = Z ,Left Shift\n", "1 0x0 fit ja - Z,Left Shift"},
        {"lang = en\noutline = yes\n", "1 0x0 fit en o Up,W,Keypad 8"},
        {"fullscreen = maybe\n", "1: 'maybe' is not yes or no"},
        {"lang = fr\n", "1: 'fr' is not ja or en"},
        {"outline = 1\n", "1: '1' is not yes or no"},
        {"\n# c\nwindow = 319x240\n",
         "3: '319x240' is not default or a size from 320x240 to 16384x16384 (as 1280x960)"},
        {"window = 1280x\n", "1: '1280x' is not default or a size from 320x240 to 16384x16384 (as 1280x960)"},
        {"window = 1280x960x2\n", "1: '1280x960x2' is not default or a size from 320x240 to 16384x16384 (as 1280x960)"},
        {"window = 16385x960\n", "1: '16385x960' is not default or a size from 320x240 to 16384x16384 (as 1280x960)"},
        {"scale = blurry\n", "1: 'blurry' is not fit or integer"},
        {"scale = fit\nvolume = 3\n", "2: unknown setting 'volume'"},
        {"key.jump = Space\n", "1: unknown setting 'key.jump'"},
        {"fullscreen\n", "1: not a \"name = value\" line"},
        {"key.up = W, Bogus\n", "1: unknown key 'Bogus'"},
        {"key.up = w\n", "1: unknown key 'w'"},
        {"key.f1 =\n", "1: key.f1 names no key"},
        {"key.up = W,,S\n", "1: key.up has an empty key name (names are separated by commas)"},
        {std::string("scale = fit\nA\0B = 1\n", 20), "2: not text"},
    };
    for (const Row& row : rows) {
        settings::Settings s = settings::Defaults();
        settings::Problem problem;
        std::string got = settings::Parse(row.text, Known, &s, &problem)
                              ? Describe(s)
                              : std::to_string(problem.line) + ": " + problem.what;
        EXPECT_EQ(got, row.expected) << "text: " << row.text;
    }
}

settings::Settings Changed() {
    settings::Settings s = settings::Defaults();
    s.fullscreen = false;
    s.windowWidth = 1000;
    s.windowHeight = 750;
    s.scale = options::ScaleMode::kInteger;
    s.lang = texts::Language::kEnglish;
    s.outline = true;
    s.keys[kUp] = {"Z"};
    s.keys[0] = {"Left Shift", "Space"};
    return s;
}

settings::Settings ParseOrFail(const std::string& text) {
    settings::Settings s = settings::Defaults();
    settings::Problem problem;
    EXPECT_TRUE(settings::Parse(text, Known, &s, &problem)) << problem.line << ": " << problem.what << "\n" << text;
    return s;
}

// A new file explains itself and reads back as written; a file of the
// player's keeps its comments, order and values' places.
TEST(SettingsFormat, ReadsBackAsWrittenAndKeepsThePlayersLines) {
    for (const settings::Settings& s : {settings::Defaults(), Changed()}) {
        std::string fresh = settings::Format(s, "");
        EXPECT_TRUE(Same(ParseOrFail(fresh), s)) << fresh;
        EXPECT_NE(fresh.find("# fit: the picture fills"), std::string::npos);
    }
    std::string got = settings::Format(Changed(), "# my keys\nkey.up = W\n\n# big\nfullscreen = yes\n");
    std::string kept = "# my keys\nkey.up = Z\n\n# big\nfullscreen = no\n";
    EXPECT_EQ(got.substr(0, kept.size()), kept) << got;
    EXPECT_TRUE(Same(ParseOrFail(got), Changed())) << got;
    EXPECT_EQ(got.find("# kawauo's settings"), std::string::npos) << "no second header: " << got;
}

// A scratch XDG_CONFIG_HOME, removed afterwards.
class SettingsFile : public testing::Test {
protected:
    void Put(const std::string& text) {
        fs::create_directories(path_.parent_path());
        std::ofstream(path_, std::ios::binary) << text;
    }
    std::string Read() const { return testsupport::ReadText(path_); }
    // Loads, then tries to save Changed(): what was said, whether it saved.
    std::string LoadAndSave(settings::Settings* loaded, bool* saved) {
        testing::internal::CaptureStderr();
        settings::File file;
        *loaded = settings::Load(path_.string(), Known, &file);
        *saved = settings::Save(Changed(), &file);
        return testing::internal::GetCapturedStderr();
    }
    testsupport::TempFolder folder_{"kawauo-settings"};  // its folders given back their permissions when it goes
    fs::path root_ = folder_.path();
    fs::path path_ = root_ / "kawauo" / "settings";
};

TEST_F(SettingsFile, MissingGivesTheDefaultsAndIsWrittenWhole) {
    settings::Settings loaded;
    bool saved = false;
    EXPECT_EQ(LoadAndSave(&loaded, &saved), "");
    EXPECT_TRUE(Same(loaded, settings::Defaults()));
    EXPECT_TRUE(saved);
    EXPECT_TRUE(Same(ParseOrFail(Read()), Changed()));
    EXPECT_EQ(std::distance(fs::directory_iterator(path_.parent_path()), fs::directory_iterator()), 1)
        << "no temporary file left";
}

// Unreadable or malformed: told with its place, the defaults used, the file
// never written over.
TEST_F(SettingsFile, UnreadableOrMalformedIsToldAndKept) {
    struct Row {
        const char* what;
        void (*make)(const fs::path& path);
        const char* told;  // after the path
    };
    const Row rows[] = {
        {"malformed", [](const fs::path& p) { std::ofstream(p) << "# mine\nscale = integer\nfullscreen = maybe\n"; },
         ":3: 'maybe' is not yes or no\n"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, ": cannot be read: not a regular file\n"},
        {"a FIFO, which must not hold the start", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         ": cannot be read: not a regular file\n"},
    };
    for (const Row& row : rows) {
        fs::remove_all(path_.parent_path());
        fs::create_directories(path_.parent_path());
        row.make(path_);
        std::string before = fs::is_regular_file(path_) ? Read() : "";
        settings::Settings loaded;
        bool saved = true;
        std::string told = LoadAndSave(&loaded, &saved);
        EXPECT_NE(told.find(path_.string() + row.told), std::string::npos) << row.what << ": " << told;
        EXPECT_NE(told.find("the settings are not saved"), std::string::npos) << row.what << ": " << told;
        EXPECT_TRUE(Same(loaded, settings::Defaults())) << row.what;
        EXPECT_FALSE(saved) << row.what;
        EXPECT_EQ(fs::is_regular_file(path_) ? Read() : "", before) << row.what;
    }
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenLosesNothing) {
    Put("scale = integer\n");
    fs::path folder = path_.parent_path();
    chmod(folder.c_str(), 0555);
    if (access(folder.c_str(), W_OK) == 0) GTEST_SKIP() << "the superuser writes in read-only folders";
    settings::Settings loaded;
    bool saved = true;
    std::string told = LoadAndSave(&loaded, &saved);
    EXPECT_EQ(loaded.scale, options::ScaleMode::kInteger);
    EXPECT_FALSE(saved);
    EXPECT_NE(told.find("cannot write in " + folder.string()), std::string::npos) << told;
    EXPECT_EQ(Read(), "scale = integer\n");
}

// A file where the folder goes holds no settings to lose: the defaults, and
// a save that says why it cannot be.
TEST_F(SettingsFile, AFolderThatCannotBeMadeIsTold) {
    std::ofstream(root_ / "kawauo") << "a file where the folder goes";
    settings::Settings loaded;
    bool saved = true;
    std::string told = LoadAndSave(&loaded, &saved);
    EXPECT_TRUE(Same(loaded, settings::Defaults()));
    EXPECT_FALSE(saved);
    EXPECT_NE(told.find("cannot make the folder"), std::string::npos) << told;
}

// A file behind a symbolic link is written where it is; its mode is kept.
TEST_F(SettingsFile, LinkAndPermissionsKept) {
    fs::path elsewhere = root_ / "dotfiles" / "kawauo.conf";
    fs::create_directories(elsewhere.parent_path());
    std::ofstream(elsewhere) << "fullscreen = yes\n";
    chmod(elsewhere.c_str(), 0600);
    fs::create_directories(path_.parent_path());
    fs::create_symlink(elsewhere, path_);
    settings::Settings loaded;
    bool saved = false;
    LoadAndSave(&loaded, &saved);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_TRUE(Same(ParseOrFail(Read()), Changed()));
    EXPECT_EQ(fs::status(elsewhere).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SettingsPath, FollowsTheXdgRules) {
    struct Row {
        const char* config;  // nullptr: unset
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"/c", "/h", "/c/kawauo/settings"},
        {"relative", "/h", "/h/.config/kawauo/settings"},
        {nullptr, "/h", "/h/.config/kawauo/settings"},
        {nullptr, nullptr, ""},
    };
    for (const Row& row : rows) {
        for (auto [name, value] : {std::pair{"XDG_CONFIG_HOME", row.config}, std::pair{"HOME", row.home}}) {
            if (value != nullptr) setenv(name, value, 1);
            else unsetenv(name);
        }
        EXPECT_EQ(settings::DefaultPath(), row.expected) << (row.config ? row.config : "-");
    }
}

}  // namespace
