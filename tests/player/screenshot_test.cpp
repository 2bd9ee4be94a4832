// The player's screenshots: the folder chosen by the XDG rules, and each shot
// in a file of its own, the palette PNG of the picture.
#include "player/screenshot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "player/png_write.h"
#include "player/user_dirs.h"
#include "tests/support/support.h"

namespace {

namespace fs = std::filesystem;

constexpr std::time_t kWhen = 1714979289;  // 2024-05-06 07:08:09 UTC
const std::string kStamp = "kawauo-20240506-070809";
constexpr int kWidth = 64;
constexpr int kHeight = 48;

// A scratch folder and the player's environment, cleared for each test (the
// clock on UTC) and given back after it.
class Screenshot : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_PICTURES_DIR", "XDG_CONFIG_HOME", "TZ"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        Set("TZ", "UTC0");
        // Noise, so that the PNG is some kilobytes.
        uint32_t seed = 12345;
        for (uint8_t& p : pixels_) p = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        for (int i = 0; i < 256; ++i) palette_[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) Set(name.c_str(), value ? value->c_str() : nullptr);
    }
    // Sets an environment variable, or with nullptr unsets it.
    static void Set(const char* name, const char* value) {
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
        tzset();
    }
    player::screenshot::Picture Picture() const { return {pixels_.data(), kWidth, kHeight, palette_}; }
    bool SaveIn(const fs::path& folder, std::string* path, std::string* why) const {
        return player::screenshot::Save(folder.string(), kWhen, Picture(), path, why);
    }
    // Save with a file-size limit under the PNG's size, as a disk that fills
    // mid-write.
    bool SaveWithTheDiskFull(const fs::path& folder, std::string* path, std::string* why) const {
        rlimit old{};
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit low = old;
        low.rlim_cur = 1000;
        void (*oldSignal)(int) = signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the test
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
        const bool saved = SaveIn(folder, path, why);
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldSignal);
        return saved;
    }
    // The picture as the sim's shots write it.
    std::vector<uint8_t> Png() const {
        const fs::path png = scratch_ / "expected.png";
        std::string why;
        EXPECT_TRUE(player::WritePalettePng(png.string(), pixels_.data(), kWidth, kHeight, palette_, &why)) << why;
        return testsupport::ReadBytes(png);
    }

    testsupport::TempFolder scratch_{"kawauo-shots"};
    fs::path root_ = scratch_.path();

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    std::vector<uint8_t> pixels_ = std::vector<uint8_t>(kWidth * kHeight);
    PALETTEENTRY palette_[256] = {};
};

// XDG_PICTURES_DIR, else the user-dirs.dirs in $XDG_CONFIG_HOME (else in
// ~/.config), else ~/Pictures; the home folder is the scratch folder's home/.
TEST_F(Screenshot, TheFolderFollowsTheEnvironmentThenUserDirs) {
    const std::string home = root_ / "home";
    const struct {
        const char* pictures;  // XDG_PICTURES_DIR, nullptr: unset
        const char* config;    // XDG_CONFIG_HOME, nullptr: unset; "cfg" is the scratch folder's cfg/
        const char* inHome;    // ~/.config/user-dirs.dirs, nullptr: none
        const char* inConfig;  // cfg/user-dirs.dirs, nullptr: none
        std::string expected;
    } rows[] = {
        {nullptr, nullptr, "XDG_PICTURES_DIR=\"$HOME/画像\"\n", nullptr, home + "/画像/kawauo"},
        {nullptr, nullptr, "XDG_MUSIC_DIR=\"$HOME/m\"\n", nullptr, home + "/Pictures/kawauo"},
        {nullptr, "cfg", "XDG_PICTURES_DIR=\"$HOME/a\"\n", "XDG_PICTURES_DIR=\"/srv/b\"\n", "/srv/b/kawauo"},
        {nullptr, "cfg", "XDG_PICTURES_DIR=\"$HOME/a\"\n", nullptr, home + "/Pictures/kawauo"},
        {nullptr, "relative", "XDG_PICTURES_DIR=\"$HOME/a\"\n", nullptr, home + "/a/kawauo"},
        {"/p/q", nullptr, "XDG_PICTURES_DIR=\"$HOME/a\"\n", nullptr, "/p/q/kawauo"},
        {"relative", nullptr, nullptr, nullptr, home + "/Pictures/kawauo"},
    };
    Set("HOME", home.c_str());
    for (const auto& row : rows) {
        fs::remove_all(home);
        fs::remove_all(root_ / "cfg");
        for (auto [text, folder] : {std::pair{row.inHome, fs::path(home) / ".config"}, {row.inConfig, root_ / "cfg"}}) {
            fs::create_directories(folder);
            if (text != nullptr) std::ofstream(folder / "user-dirs.dirs") << text;
        }
        const std::string config = row.config != nullptr && std::string(row.config) == "cfg" ? root_ / "cfg" : "";
        Set("XDG_CONFIG_HOME", config.empty() ? row.config : config.c_str());
        Set("XDG_PICTURES_DIR", row.pictures);
        std::string folder;
        std::string why;
        EXPECT_TRUE(player::screenshot::Folder(&folder, &why)) << why;
        EXPECT_EQ(folder, row.expected) << (row.inHome ? row.inHome : "-");
    }
}

// What a line of user-dirs.dirs names as the pictures folder, for the home
// folder /home/p; the last such line counts.
TEST(UserDirs, TheLinesThatNameThePicturesFolder) {
    const struct {
        const char* text;
        const char* expected;  // empty: none named
    } rows[] = {
        {"# written by the desktop\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
         "/home/p/Bilder"},
        {"XDG_PICTURES_DIR=\"/srv/pics/\"", "/srv/pics"},
        {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/p"},
        {"XDG_PICTURES_DIR=\"$HOME/\"\n", "/home/p"},
        {"  XDG_PICTURES_DIR=\"$HOME/a\"\r\nXDG_PICTURES_DIR=\"$HOME/b//c\"\r\n", "/home/p/b/c"},
        {R"(XDG_PICTURES_DIR="$HOME/My \"Shots\" \\ \$HOME \x")", R"(/home/p/My "Shots" \ $HOME \x)"},
        {"XDG_PICTURES_DIR=\"Pictures\"\n", ""},
        {"XDG_PICTURES_DIR=\"$HOMEWORK/x\"\n", ""},
        {"XDG_PICTURES_DIR=\"\\$HOME/x\"\n", ""},
        {"XDG_PICTURES_DIR=\"$HOME/x\n", ""},
        {"XDG_PICTURES_DIR=$HOME/x\n", ""},
        {"XDG_PICTURES_DIRS=\"$HOME/x\"\n", ""},
        {"# XDG_PICTURES_DIR=\"$HOME/x\"\n", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(player::PicturesFolderIn(row.text, "/home/p"), row.expected) << row.text;
    EXPECT_EQ(player::PicturesFolderIn("XDG_PICTURES_DIR=\"$HOME/x\"\n", ""), "") << "no home folder known";
}

// A user-dirs.dirs that is there but cannot be read costs no screenshot:
// ~/Pictures takes it, and the note names the file and why.
TEST_F(Screenshot, AnUnreadableUserDirsIsNamedAndPicturesServes) {
    const fs::path file = root_ / ".config" / "user-dirs.dirs";
    fs::create_directories(file);
    Set("HOME", root_.c_str());
    std::string folder;
    std::string why;
    EXPECT_TRUE(player::screenshot::Folder(&folder, &why)) << why;
    EXPECT_EQ(folder, (root_ / "Pictures" / "kawauo").string());
    EXPECT_EQ(why, "cannot read " + file.string() + ": not a regular file; using " + root_.string() + "/Pictures");
}

// The folder is made; a second shot in the same second takes the next name;
// nothing else is left in the folder (a shot is written aside, then named).
TEST_F(Screenshot, ShotsWithinASecondTakeNamesOfTheirOwn) {
    const fs::path folder = root_ / "made" / "kawauo";
    for (const std::string& name : {kStamp + ".png", kStamp + "-2.png"}) {
        std::string path;
        std::string why;
        ASSERT_TRUE(SaveIn(folder, &path, &why)) << why;
        EXPECT_EQ(path, (folder / name).string());
        EXPECT_TRUE(testsupport::ReadBytes(path) == Png()) << path;
    }
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{kStamp + "-2.png", kStamp + ".png"}));
}

// However many names of that second are taken, by files, folders or links
// (one leading nowhere, one to a file of the player's), the shot takes the
// next free one and leaves them all as they were.
TEST_F(Screenshot, AShotTakesTheNextFreeNameAndTouchesNoOther) {
    const fs::path folder = root_ / "kawauo";
    fs::create_directories(folder / (kStamp + "-3.png"));
    std::ofstream(root_ / "mine") << "mine";
    fs::create_symlink(root_ / "nowhere", folder / (kStamp + ".png"));
    fs::create_symlink(root_ / "mine", folder / (kStamp + "-2.png"));
    for (int n = 4; n < 100; ++n) std::ofstream(folder / (kStamp + "-" + std::to_string(n) + ".png")) << n;
    std::string path;
    std::string why;
    ASSERT_TRUE(SaveIn(folder, &path, &why)) << why;
    EXPECT_EQ(path, (folder / (kStamp + "-100.png")).string());
    EXPECT_TRUE(testsupport::ReadBytes(path) == Png());
    EXPECT_FALSE(fs::exists(root_ / "nowhere"));
    EXPECT_EQ(testsupport::ReadText(root_ / "mine"), "mine");
    for (int n = 4; n < 100; ++n)
        EXPECT_EQ(testsupport::ReadText(folder / (kStamp + "-" + std::to_string(n) + ".png")), std::to_string(n));
}

// A disk that fills mid-write (here a file-size limit under the PNG's size)
// leaves no part of a shot behind.
TEST_F(Screenshot, AWriteThatFailsLeavesNothing) {
    const fs::path folder = root_ / "kawauo";
    fs::create_directories(folder);
    std::string path;
    std::string why;
    EXPECT_FALSE(SaveWithTheDiskFull(folder, &path, &why)) << path;
    EXPECT_TRUE(fs::is_empty(folder)) << fs::directory_iterator(folder)->path();
}

// Every refusal names the file or folder and why, or says that no home
// folder is known.
TEST_F(Screenshot, EachRefusalSaysWhereAndWhy) {
    std::string folder;
    std::string path;
    std::string why;
    EXPECT_FALSE(player::screenshot::Folder(&folder, &why)) << folder;
    EXPECT_EQ(why, "no home folder is known (HOME is unset or not a full path), nor XDG_PICTURES_DIR");
    std::ofstream(root_ / "file") << "a file";
    EXPECT_FALSE(SaveIn(root_ / "file" / "kawauo", &path, &why));
    EXPECT_EQ(why, "cannot make the folder " + (root_ / "file" / "kawauo").string() + ": Not a directory");
    EXPECT_FALSE(SaveWithTheDiskFull(root_, &path, &why));
    EXPECT_EQ(why, "cannot write " + (root_ / (kStamp + ".png")).string() + ": File too large");
}

}  // namespace
