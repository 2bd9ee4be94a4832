// The player's settings file: what each line sets or why it is refused (and
// that a refused line costs only itself), the text written back (only what
// the game changed), and the file on disk (missing, unreadable, with refused
// lines, edited meanwhile, behind links, read-only, in a folder that cannot
// be written): nothing of the player's is lost.
#include "player/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "player/display_language.h"
#include "player/output_file.h"
#include "tests/support/support.h"

namespace {

namespace fs = std::filesystem;

bool Known(const std::string& name) {
    static const std::set<std::string> kKnown = {
        "Space", "Tab",      "Escape",     "Left", "A",        "Keypad 4", "Up",     "W",  "Keypad 8", "Right",
        "D",     "Keypad 6", "Down",       "S",    "Keypad 2", "F1",       "1",      "F2", "2",        "F3",
        "3",     "Z",        "Left Shift", "I",    ",",        "Keypad ,", "Return", "F12"};
    return kKnown.count(name) != 0;
}

constexpr size_t kUp = 4;  // player::kKeyNames' UP

// fullscreen, window, scale, language, outline (o or -), then the keys of UP.
std::string Describe(const player::settings::Settings& s) {
    std::string keys;
    for (const std::string& k : s.keys[kUp]) keys += (keys.empty() ? "" : ",") + k;
    return std::to_string(s.fullscreen) + " " + std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) +
           " " + player::options::NameOf(s.scale) + " " + player::options::NameOf(s.lang) +
           (s.outline ? " o " : " - ") + keys;
}

bool Same(const player::settings::Settings& a, const player::settings::Settings& b) {
    return a.fullscreen == b.fullscreen && a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.scale == b.scale && a.lang == b.lang && a.outline == b.outline && a.keys == b.keys;
}

// Each refused line as "LINE: what", separated by "; ".
std::string Told(const std::vector<player::settings::Problem>& problems) {
    std::string told;
    for (const player::settings::Problem& p : problems)
        told += (told.empty() ? "" : "; ") + std::to_string(p.line) + ": " + p.what;
    return told;
}

// Describe() of the text read over the defaults, or what was refused.
std::string ReadOrTold(const std::string& text) {
    player::settings::Settings s = player::settings::Defaults();
    std::vector<player::settings::Problem> problems;
    return player::settings::Parse(text, Known, &s, &problems) ? Describe(s) : Told(problems);
}

TEST(SettingsParse, WhatEachLineSetsOrWhyItIsRefused) {
    std::string oneKeyOften = "key.up = W";  // once cost a string for each W
    for (int i = 0; i < 1000000; ++i) oneKeyOften += ", W";
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
        // A NUL or a control byte is shown, not cutting the message short.
        {std::string("fullscreen = a\0b\x1b\\\n", 19), "1: 'a\\0b\\x1b\\\\' is not yes or no"},
        // A byte order mark before the first line, as some editors write.
        {"\xEF\xBB\xBF"
         "fullscreen = no\n",
         "0 0x0 fit ja - Up,W,Keypad 8"},
        // F12 takes screenshots before any binding sees it; Return is taken
        // only with Alt held, so it can be bound.
        {"key.space = F12\n", "1: F12 saves a screenshot and cannot be bound"},
        {"key.up = W, f12\n", "1: F12 saves a screenshot and cannot be bound"},
        {"key.up = Return\n", "1 0x0 fit ja - Return"},
        // Commas separate the names: the comma keys are named Comma.
        {"key.up = comma, Keypad COMMA\n", "1 0x0 fit ja - ,,Keypad ,"},
        {"key.up = Keypad ,\n", "1: unknown key 'Keypad'"},
        // A hostile file costs about its size: lines and bindings are bounded.
        {"key.up = W, W, W, W, W, W, W, W\n", "1 0x0 fit ja - W,W,W,W,W,W,W,W"},
        {"key.up = W, W, W, W, W, W, W, W, W\n", "1: key.up names more than 8 keys"},
        {"key.up = W" + std::string(1014, ' ') + "\n", "1 0x0 fit ja - W"},
        {"key.up = W" + std::string(1015, ' ') + "\n", "1: longer than 1024 bytes"},
        {"# " + std::string(5000, 'c') + "\n" + oneKeyOften + "\n", "2: longer than 1024 bytes"},
    };
    for (const Row& row : rows) EXPECT_EQ(ReadOrTold(row.text), row.expected) << "text: " << row.text.substr(0, 80);
}

// A refused line sets nothing and costs only itself: every other line
// applies, and each refused one is told, the first 20 one by one, then one
// that counts the rest.
TEST(SettingsParse, ARefusedLineCostsOnlyItself) {
    player::settings::Settings s = player::settings::Defaults();
    std::vector<player::settings::Problem> problems;
    EXPECT_FALSE(player::settings::Parse(
        "lang = en\nwindow = 100x100\nkey.up = Z, Bogus\nfullscreen = no\nvolume = 3\n", Known, &s, &problems));
    EXPECT_EQ(Describe(s), "0 0x0 fit en - Up,W,Keypad 8");
    EXPECT_EQ(Told(problems),
              "2: '100x100' is not default or a size from 320x240 to 16384x16384 (as 1280x960); "
              "3: unknown key 'Bogus'; 5: unknown setting 'volume'");
    std::string many;
    for (int i = 0; i < 25; ++i) many += "x\n";
    problems.clear();
    s = player::settings::Defaults();
    EXPECT_FALSE(player::settings::Parse(many + "outline = yes\n", Known, &s, &problems));
    EXPECT_TRUE(s.outline);
    ASSERT_EQ(problems.size(), 21u);
    EXPECT_EQ(Told({problems[19], problems[20]}),
              "20: not a \"name = value\" line; 21: 5 more lines, from this one on, cannot be read either");
}

player::settings::Settings Changed() {
    player::settings::Settings s = player::settings::Defaults();
    s.fullscreen = false;
    s.windowWidth = 1000;
    s.windowHeight = 750;
    s.scale = player::options::ScaleMode::kInteger;
    s.lang = winapi::texts::Language::kEnglish;
    s.outline = true;
    s.keys[kUp] = {"Z"};
    s.keys[0] = {"Left Shift", "Space"};
    return s;
}

player::settings::Settings ParseOrFail(const std::string& text) {
    player::settings::Settings s = player::settings::Defaults();
    std::vector<player::settings::Problem> problems;
    EXPECT_TRUE(player::settings::Parse(text, Known, &s, &problems)) << Told(problems) << "\n" << text;
    return s;
}

// A new file explains itself and reads back as written; a file of the
// player's keeps its comments, order and values' places.
TEST(SettingsFormat, ReadsBackAsWrittenAndKeepsThePlayersLines) {
    for (auto [now, before] :
         {std::pair{player::settings::Defaults(), Changed()}, std::pair{Changed(), player::settings::Defaults()}}) {
        std::string fresh = player::settings::Format(now, before, nullptr, Known);
        EXPECT_TRUE(Same(ParseOrFail(fresh), now)) << fresh;
        EXPECT_NE(fresh.find("# fit: the picture fills"), std::string::npos);
    }
    const std::string mine = "# my keys\nkey.up = W\n\n# big\nfullscreen = yes\n";
    std::string got = player::settings::Format(Changed(), player::settings::Defaults(), &mine, Known);
    std::string kept = "# my keys\nkey.up = Z\n\n# big\nfullscreen = no\n";
    EXPECT_EQ(got.substr(0, kept.size()), kept) << got;
    EXPECT_TRUE(Same(ParseOrFail(got), Changed())) << got;
    EXPECT_EQ(got.find("# kawauo's settings"), std::string::npos) << "no second header: " << got;
}

// Only the settings the game changed are written: a line of one that reads
// takes the new value in its place, a refused one stays as written with the
// new line after it, one without a line gets it at the end; every other line
// (and a file's missing last newline, its byte order mark, a line's CRLF)
// stays as it was, the settings it lacks still lacking.
TEST(SettingsFormat, OnlyTheChangedSettingsAreWritten) {
    player::settings::Settings now = player::settings::Defaults();
    now.fullscreen = false;
    now.outline = true;
    struct Row {
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"scale = integer\n", "scale = integer\nfullscreen = no\noutline = yes\n"},
        {"", "fullscreen = no\noutline = yes\n"},
        {"lang=en", "lang=en\nfullscreen = no\noutline = yes\n"},
        {"\xEF\xBB\xBF# mine\r\nfullscreen = yes\r\noutline = 1\nkey.up = W, Bogus",
         "\xEF\xBB\xBF# mine\r\nfullscreen = no\r\noutline = 1\noutline = yes\nkey.up = W, Bogus"},
        {"outline = no\noutline = maybe\noutline = no\nfullscreen = no\n",
         "outline = yes\noutline = maybe\noutline = yes\nfullscreen = no\n"},
        {"outline = maybe\nfullscreen = yes\noutline = 2",
         "outline = maybe\nfullscreen = no\noutline = 2\noutline = yes\n"},
        // A setting shown commented out, as a new file shows it, takes that
        // line's place, the first of them, where nothing else places it.
        {"# fullscreen = yes\r\n# outline = no\n# outline = no\n",
         "fullscreen = no\r\noutline = yes\n# outline = no\n"},
        {"# fullscreen = yes\nfullscreen = yes\n#outline = no\n# outline = maybe\n",
         "# fullscreen = yes\nfullscreen = no\n#outline = no\n# outline = maybe\noutline = yes\n"},
        {"# outline = no\noutline = 2\n# fullscreen = no\n",
         "# outline = no\noutline = 2\noutline = yes\nfullscreen = no\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(player::settings::Format(now, player::settings::Defaults(), &row.text, Known), row.expected)
            << row.text;
        EXPECT_EQ(player::settings::Format(now, now, &row.text, Known), row.text) << "nothing changed";
    }
    EXPECT_EQ(player::settings::Format(now, now, nullptr, Known), "")
        << "no file and nothing changed: nothing to write";
}

// A window the system made smaller or larger than the reader takes is
// written at the nearest size it takes, which the next start reads.
TEST(SettingsFormat, AWindowOfAnySizeIsWrittenAsOneTheReaderTakes) {
    const std::tuple<int, int, const char*> rows[] = {
        {100, 100, "320x240"}, {20000, 300, "16384x300"}, {640, 16385, "640x16384"}};
    for (auto [width, height, written] : rows) {
        player::settings::Settings now = player::settings::Defaults();
        now.windowWidth = width;
        now.windowHeight = height;
        EXPECT_EQ(ReadOrTold(player::settings::Format(now, player::settings::Defaults(), nullptr, Known)),
                  std::string("1 ") + written + " fit ja - Up,W,Keypad 8");
    }
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
    std::string LoadAndSave(player::settings::Settings* loaded, bool* saved) {
        testing::internal::CaptureStderr();
        player::settings::File file;
        *loaded = player::settings::Load(path_.string(), Known, &file);
        *saved = player::settings::Save(Changed(), &file);
        return testing::internal::GetCapturedStderr();
    }
    // What loading says.
    std::string ToldOnLoad(player::settings::Settings* loaded) {
        testing::internal::CaptureStderr();
        player::settings::File file;
        *loaded = player::settings::Load(path_.string(), Known, &file);
        return testing::internal::GetCapturedStderr();
    }
    testsupport::TempFolder folder_{"kawauo-settings"};  // its folders given back their permissions when it goes
    fs::path root_ = folder_.path();
    fs::path path_ = root_ / "kawauo" / "settings";
};

TEST_F(SettingsFile, MissingGivesTheDefaultsAndIsWrittenWhole) {
    player::settings::Settings loaded;
    bool saved = false;
    EXPECT_EQ(LoadAndSave(&loaded, &saved), "");
    EXPECT_TRUE(Same(loaded, player::settings::SystemDefaults()));
    EXPECT_TRUE(saved);
    EXPECT_TRUE(Same(ParseOrFail(Read()), Changed()));
    EXPECT_EQ(std::distance(fs::directory_iterator(path_.parent_path()), fs::directory_iterator()), 1)
        << "no temporary file left";
}

// A line that cannot be read costs that line only: told with its place,
// the file's other lines used, and a save writes the game's changes around
// it, keeping it as the player wrote it. (It once cost the whole file, which
// was then never saved again.)
TEST_F(SettingsFile, ARefusedLineIsToldKeptAndCostsOnlyItself) {
    Put("# mine\nscale = integer\nfullscreen = maybe\nwindow = 100x100\nlang = en\n");
    player::settings::Settings loaded;
    bool saved = false;
    std::string told = LoadAndSave(&loaded, &saved);
    std::string place = path_.string() + ":";
    EXPECT_EQ(told, place + "3: 'maybe' is not yes or no\n" + place +
                        "4: '100x100' is not default or a size from 320x240 to 16384x16384 (as 1280x960)\n");
    EXPECT_EQ(Describe(loaded), "1 0x0 integer en - Up,W,Keypad 8");
    EXPECT_TRUE(saved);
    EXPECT_EQ(Read(),
              "# mine\nscale = integer\nfullscreen = maybe\nfullscreen = no\nwindow = 100x100\nwindow = 1000x750\n"
              "lang = en\noutline = yes\nkey.space = Left Shift, Space\nkey.up = Z\n");
    EXPECT_NE(ToldOnLoad(&loaded).find(":5: '100x100'"), std::string::npos) << "still told, as still there";
    EXPECT_TRUE(Same(loaded, Changed()));
}

// What the player changed in the file while the game ran stays: a save
// writes over only what the game itself changed.
TEST_F(SettingsFile, ASaveKeepsWhatThePlayerWroteMeanwhile) {
    Put("fullscreen = yes\n");
    player::settings::File file;
    player::settings::Settings s = player::settings::Load(path_.string(), Known, &file);
    Put("# mine\nfullscreen = yes\nkey.up = Up, I\nlang = en\n");
    s.fullscreen = false;
    EXPECT_TRUE(player::settings::Save(s, &file));
    EXPECT_EQ(Read(), "# mine\nfullscreen = no\nkey.up = Up, I\nlang = en\n");
    s.fullscreen = true;
    EXPECT_TRUE(player::settings::Save(s, &file));
    EXPECT_EQ(Read(), "# mine\nfullscreen = yes\nkey.up = Up, I\nlang = en\n") << "and again";
}

// Unreadable: told, the defaults used, the file never written over.
TEST_F(SettingsFile, UnreadableIsToldAndKept) {
    struct Row {
        const char* what;
        void (*make)(const fs::path& path);
        const char* told;  // after the path
    };
    const Row rows[] = {
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, ": cannot be read: not a regular file\n"},
        {"a FIFO, which must not hold the start", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         ": cannot be read: not a regular file\n"},
    };
    for (const Row& row : rows) {
        fs::remove_all(path_.parent_path());
        fs::create_directories(path_.parent_path());
        row.make(path_);
        std::string before = fs::is_regular_file(path_) ? Read() : "";
        player::settings::Settings loaded;
        bool saved = true;
        std::string told = LoadAndSave(&loaded, &saved);
        EXPECT_NE(told.find(path_.string() + row.told), std::string::npos) << row.what << ": " << told;
        EXPECT_NE(told.find("the settings are not saved"), std::string::npos) << row.what << ": " << told;
        EXPECT_TRUE(Same(loaded, player::settings::SystemDefaults())) << row.what;
        EXPECT_FALSE(saved) << row.what;
        EXPECT_EQ(fs::is_regular_file(path_) ? Read() : "", before) << row.what;
    }
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenLosesNothing) {
    Put("scale = integer\n");
    fs::path folder = path_.parent_path();
    chmod(folder.c_str(), 0555);
    if (access(folder.c_str(), W_OK) == 0) GTEST_SKIP() << "the superuser writes in read-only folders";
    player::settings::Settings loaded;
    bool saved = true;
    std::string told = LoadAndSave(&loaded, &saved);
    EXPECT_EQ(loaded.scale, player::options::ScaleMode::kInteger);
    EXPECT_FALSE(saved);
    EXPECT_NE(told.find("cannot write in " + folder.string()), std::string::npos) << told;
    EXPECT_EQ(Read(), "scale = integer\n");
}

// A file where the folder goes holds no settings to lose: the defaults, and
// a save that says why it cannot be.
TEST_F(SettingsFile, AFolderThatCannotBeMadeIsTold) {
    std::ofstream(root_ / "kawauo") << "a file where the folder goes";
    player::settings::Settings loaded;
    bool saved = true;
    std::string told = LoadAndSave(&loaded, &saved);
    EXPECT_TRUE(Same(loaded, player::settings::SystemDefaults()));
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
    player::settings::Settings loaded;
    bool saved = false;
    LoadAndSave(&loaded, &saved);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_TRUE(Same(ParseOrFail(Read()), Changed()));
    EXPECT_EQ(fs::status(elsewhere).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A link whose target is missing is written through, making the target; a
// file the player made read-only is left as it is, and that is told; a new
// file's mode is the umask's, an existing file's is kept.
TEST_F(SettingsFile, LinksReadOnlyFilesAndModesAreHonoured) {
    fs::create_directories(path_.parent_path());
    fs::create_directories(root_ / "dotfiles");
    fs::create_symlink("../dotfiles/kawauo.conf", path_);
    player::settings::Settings loaded;
    bool saved = false;
    EXPECT_EQ(LoadAndSave(&loaded, &saved), "");
    EXPECT_TRUE(saved);
    EXPECT_TRUE(fs::is_symlink(path_)) << "the link kept";
    EXPECT_TRUE(Same(ParseOrFail(testsupport::ReadText(root_ / "dotfiles" / "kawauo.conf")), Changed()));

    fs::remove(path_);
    Put("scale = integer\n");
    chmod(path_.c_str(), 0444);
    std::string told = LoadAndSave(&loaded, &saved);
    EXPECT_FALSE(saved);
    EXPECT_NE(told.find("the settings are not saved: " + path_.string() + " is read-only"), std::string::npos) << told;
    EXPECT_EQ(Read(), "scale = integer\n");
    EXPECT_EQ(fs::status(path_).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    fs::remove(path_);
    mode_t umasked = umask(077);
    LoadAndSave(&loaded, &saved);
    umask(umasked);
    EXPECT_TRUE(saved);
    EXPECT_EQ(fs::status(path_).permissions(), fs::perms::owner_read | fs::perms::owner_write) << "as the umask says";
}

// The locale variables of one test, put back as they were when it ends.
class Locale {
public:
    // nullptr: unset.
    Locale(const char* all, const char* messages, const char* lang) {
        const char* values[] = {all, messages, lang};
        for (size_t i = 0; i < kNames.size(); ++i) {
            const char* was = std::getenv(kNames[i]);
            before_[i] = was != nullptr ? std::optional<std::string>(was) : std::nullopt;
            Set(kNames[i], values[i]);
        }
    }
    ~Locale() {
        for (size_t i = 0; i < kNames.size(); ++i) Set(kNames[i], before_[i] ? before_[i]->c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value) {
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
    }
    static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::array<std::optional<std::string>, 3> before_;
};

// Where nothing chooses, the game speaks the display's language: the first
// of LC_ALL, LC_MESSAGES and LANG that is set (and not empty) names it.
TEST(DisplayLanguage, TheFirstLocaleVariableSetNamesIt) {
    struct Row {
        const char* all;
        const char* messages;
        const char* lang;
        const char* expected;
    };
    const Row rows[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", "ja"},
        {nullptr, nullptr, "ja", "ja"},
        {nullptr, nullptr, "ja_JP@cjknarrow", "ja"},
        {nullptr, nullptr, "en_US.UTF-8", "en"},
        {nullptr, nullptr, "de_DE.UTF-8", "en"},
        {nullptr, nullptr, "jv_ID.UTF-8", "en"},  // Javanese, not Japanese
        {nullptr, nullptr, "jam", "en"},
        // No language named: the game's own.
        {nullptr, nullptr, nullptr, "ja"},
        {nullptr, nullptr, "C", "ja"},
        {nullptr, nullptr, "C.UTF-8", "ja"},
        {nullptr, nullptr, "POSIX", "ja"},
        // The messages' own variable over LANG, LC_ALL over both; empty is unset.
        {nullptr, "en_GB.UTF-8", "ja_JP.UTF-8", "en"},
        {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", "ja"},
        {"ja_JP.UTF-8", "en_GB.UTF-8", "en_US.UTF-8", "ja"},
        {"fr_FR.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", "en"},
        {"", "", "fr_FR.UTF-8", "en"},
        {"C", nullptr, "en_US.UTF-8", "ja"},
    };
    for (const Row& row : rows) {
        Locale locale(row.all, row.messages, row.lang);
        EXPECT_STREQ(player::options::NameOf(player::DisplayLanguage()), row.expected)
            << (row.all ? row.all : "-") << " " << (row.messages ? row.messages : "-") << " "
            << (row.lang ? row.lang : "-");
    }
}

// The display's language is the default a file's line overrides.
TEST_F(SettingsFile, TheDisplaysLanguageIsWhatTheFileDoesNotSay) {
    Locale english(nullptr, nullptr, "en_US.UTF-8");
    player::settings::Settings loaded;
    ToldOnLoad(&loaded);
    EXPECT_EQ(loaded.lang, winapi::texts::Language::kEnglish) << "no file";
    Put("outline = yes\n");
    ToldOnLoad(&loaded);
    EXPECT_EQ(loaded.lang, winapi::texts::Language::kEnglish) << "a file without lang";
    Put("lang = ja\n");
    ToldOnLoad(&loaded);
    EXPECT_EQ(loaded.lang, winapi::texts::Language::kJapanese) << "the file's lang";
}

// A player who never changed a setting still finds the file, every setting
// explained and shown at its value, commented out; a file (or a link to
// one) already there is never written over.
TEST_F(SettingsFile, WrittenWhenMissingWithEverySettingExplained) {
    player::settings::File file;
    player::settings::Settings loaded = player::settings::Load(path_.string(), Known, &file);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(player::settings::WriteIfMissing(&file));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string text = Read();
    EXPECT_TRUE(Same(ParseOrFail(text), player::settings::Defaults())) << "nothing set:\n" << text;
    for (const char* shown : {"\n# fullscreen = yes\n", "\n# window = default\n", "\n# scale = fit\n",
                              "\n# key.space = Space\n", "\n# key.up = Up, W, Keypad 8\n", "Alt+Enter switches"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
    EXPECT_EQ(text.find("standard error"), std::string::npos) << "no system's words:\n" << text;
    EXPECT_TRUE(player::settings::Save(Changed(), &file));
    const std::string saved = Read();
    EXPECT_TRUE(Same(ParseOrFail(saved), Changed())) << "the first save writes into it";
    EXPECT_NE(saved.find("Alt+Enter switches.\nfullscreen = no\n"), std::string::npos) << "in its place:\n" << saved;

    Put("# mine\n");
    EXPECT_TRUE(player::settings::WriteIfMissing(&file));
    EXPECT_EQ(Read(), "# mine\n");
    fs::remove(path_);
    fs::create_symlink(root_ / "elsewhere", path_);
    EXPECT_TRUE(player::settings::WriteIfMissing(&file));
    EXPECT_FALSE(fs::exists(root_ / "elsewhere")) << "a link to nowhere is the player's, written by the first save";
    fs::remove_all(root_ / "kawauo");
    std::ofstream(root_ / "kawauo") << "a file where the folder goes";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player::settings::WriteIfMissing(&file));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the settings file is not written: cannot make the folder"),
              std::string::npos);
}

// The file of an earlier version's name is moved to the new one once, never
// over a file there; where it cannot be moved it is used where it is.
TEST_F(SettingsFile, TheFormerFileIsMovedOnce) {
    const std::string former = (root_ / "kawauo" / "old").string();
    auto put = [](const std::string& path, const char* text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    };
    put(former, "scale = integer\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(player::settings::MoveFormerFile(path_.string(), former), path_.string());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the settings file is now " + path_.string()),
              std::string::npos);
    EXPECT_EQ(Read(), "scale = integer\n");
    EXPECT_FALSE(fs::exists(former));

    put(former, "scale = fit\n");
    EXPECT_EQ(player::settings::MoveFormerFile(path_.string(), former), path_.string()) << "both there";
    EXPECT_EQ(Read(), "scale = integer\n");
    EXPECT_EQ(testsupport::ReadText(former), "scale = fit\n");
    EXPECT_EQ(player::settings::MoveFormerFile(path_.string(), ""), path_.string());
    fs::remove(path_);
    fs::remove(former);
    EXPECT_EQ(player::settings::MoveFormerFile(path_.string(), former), path_.string()) << "neither there";

    const std::string blocked = (root_ / "file" / "settings").string();
    std::ofstream(root_ / "file") << "a file where the folder goes";
    put(former, "scale = integer\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(player::settings::MoveFormerFile(blocked, former), former);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("it is read and saved where it is"), std::string::npos);
    EXPECT_EQ(testsupport::ReadText(former), "scale = integer\n");
}

// UTF-16 text as a file holds it: its byte order mark, then each unit low
// byte first or high byte first.
std::string Utf16File(const std::u16string& text, bool littleEnd) {
    std::string bytes;
    for (char16_t unit : u"\uFEFF" + text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEnd ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

// A file saved as "Unicode" by Windows' Notepad (UTF-16 with its byte order
// mark, either end first, CRLF lines) is read, and a save keeps it in that
// encoding, characters past the first plane too: never UTF-8 appended to it.
TEST_F(SettingsFile, Utf16IsReadAndKeptInItsEncoding) {
    for (bool littleEnd : {true, false}) {
        SCOPED_TRACE(littleEnd ? "little end first" : "big end first");
        Put(Utf16File(u"# \u8A2D\u5B9A \U0001F41F\r\nlang = en\r\nscale = integer\r\n", littleEnd));
        player::settings::Settings loaded;
        bool saved = false;
        EXPECT_EQ(LoadAndSave(&loaded, &saved), "");
        EXPECT_EQ(Describe(loaded), "1 0x0 integer en - Up,W,Keypad 8");
        EXPECT_TRUE(saved);
        EXPECT_EQ(Read(), Utf16File(u"# \u8A2D\u5B9A \U0001F41F\r\nlang = en\r\nscale = integer\r\nfullscreen = no\n"
                                    u"window = 1000x750\noutline = yes\nkey.space = Left Shift, Space\nkey.up = Z\n",
                                    littleEnd));
    }
}

// UTF-16 cut in the middle of a character, or holding half of a pair, is
// told and left as it is: neither read nor written.
TEST_F(SettingsFile, BrokenUtf16IsToldAndNeverWritten) {
    const std::string halfPair =
        Utf16File(u"lang = en\n", true) + std::string("\x3D\xD8", 2) + Utf16File(u"\n", true).substr(2);
    const struct {
        std::string bytes;
        std::string told;
    } rows[] = {
        {Utf16File(u"lang = en\n", true) + "x", "UTF-16 text cut in the middle of a character"},
        {halfPair, "UTF-16 text with half a character at byte 22"},
    };
    for (const auto& row : rows) {
        Put(row.bytes);
        player::settings::Settings loaded;
        bool saved = true;
        const std::string told = LoadAndSave(&loaded, &saved);
        EXPECT_NE(told.find(path_.string() + ": " + row.told), std::string::npos) << told;
        EXPECT_NE(told.find("the settings are not saved"), std::string::npos) << told;
        EXPECT_TRUE(Same(loaded, player::settings::Defaults()));
        EXPECT_FALSE(saved);
        EXPECT_EQ(Read(), row.bytes);
    }
}

// A file of two names (a folder of dotfiles hard-linked in) is written where
// it stands: both names keep the one file and see the new text.
TEST_F(SettingsFile, AHardLinkedFileKeepsItsOtherName) {
    Put("# mine\nscale = integer\n");
    const fs::path twin = root_ / "dotfiles-kawauo";
    fs::create_hard_link(path_, twin);
    player::settings::Settings loaded;
    bool saved = false;
    EXPECT_EQ(LoadAndSave(&loaded, &saved), "");
    EXPECT_TRUE(saved);
    EXPECT_TRUE(fs::equivalent(path_, twin)) << "the twin was unlinked";
    EXPECT_EQ(fs::hard_link_count(path_), 2u);
    EXPECT_TRUE(Same(ParseOrFail(testsupport::ReadText(twin)), Changed()));
    EXPECT_EQ(testsupport::ReadText(twin).substr(0, 7), "# mine\n");
}

// A file changed between the save's reading and its replacing (an editor
// that saves in place: cut to nothing, then written) is not replaced: the
// save reads it again, and the player's text stays with the game's change.
TEST_F(SettingsFile, AFileChangedSinceItWasReadIsNeverReplaced) {
    Put("scale = integer\n");
    player::settings::Reading reading;
    std::string why;
    ASSERT_TRUE(player::settings::ReadForSave(path_.string(), &reading, &why)) << why;
    for (const std::string& edit : {std::string(), std::string("# the player's\nscale = integer\nlang = en\n")}) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << edit;
    }
    bool changed = false;
    EXPECT_FALSE(player::settings::ReplaceIfUnchanged(reading, "scale = integer\noutline = yes\n", &changed, &why));
    EXPECT_TRUE(changed);
    EXPECT_EQ(Read(), "# the player's\nscale = integer\nlang = en\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(path_.parent_path()), fs::directory_iterator()), 1)
        << "no temporary file left";

    player::settings::File file;
    player::settings::Load(path_.string(), Known, &file);
    player::settings::Settings now = file.settings;
    now.outline = true;
    EXPECT_TRUE(player::settings::Save(now, &file));
    EXPECT_EQ(Read(), "# the player's\nscale = integer\nlang = en\noutline = yes\n");
}

// The temporary file of a save that was killed goes at the next start; one
// that a running game holds stays, and so does every other file.
TEST_F(SettingsFile, AStartRemovesOnlyItsOwnStaleTemporaries) {
    Put("scale = integer\n");
    const fs::path folder = path_.parent_path();
    std::string held;
    std::FILE* running = player::CreateFreshFile(path_.string(), &held);
    ASSERT_NE(running, nullptr);
    const std::vector<std::string> others = {"settings.Ab12Cd", ".settings.kawauo-Ab12C", ".other.kawauo-Ab12Cd",
                                             ".settings.kawauo-Ab12Cd.png"};
    for (const std::string& name : others) std::ofstream(folder / name) << "the player's";
    std::ofstream(folder / ".settings.kawauo-Zz9Yy8") << "a killed save's";
    player::settings::Settings loaded;
    ToldOnLoad(&loaded);
    std::set<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) left.insert(entry.path().filename());
    std::set<std::string> expected(others.begin(), others.end());
    expected.insert({"settings", fs::path(held).filename().string()});
    EXPECT_EQ(left, expected);
    std::fclose(running);
}

// A path with control characters in it is shown escaped in every message.
TEST_F(SettingsFile, MessagesShowThePathEscaped) {
    path_ = root_ / "k\x1b[2Jawauo" / "settings";
    Put("fullscreen = maybe\n");
    player::settings::Settings loaded;
    const std::string told = ToldOnLoad(&loaded);
    EXPECT_EQ(told, root_.string() + "/k\\x1B[2Jawauo/settings:1: 'maybe' is not yes or no\n");
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
        EXPECT_EQ(player::settings::DefaultPath(), row.expected) << (row.config ? row.config : "-");
    }
}

}  // namespace
