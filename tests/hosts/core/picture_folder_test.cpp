// The picture folder: the first of the working folder, the program's folder
// and the two installed data folders that holds bmp/back.bmp, whatever other
// bmp/ folders lie earlier in the order; when none does, one box in the
// player's language naming them and what to do (on the headless host).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hosts/core/picture_folder.h"
#include "hosts/headless/headless.h"
#include "tests/support/support.h"
#include "winapi/texts.h"

namespace {

namespace fs = std::filesystem;

class PictureFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = fs::current_path();
        root_ = fs::canonical(folder_.path());
        for (const char* dir : {"work", "usr/games", "usr/share/games/kawauo", "usr/share/kawauo"})
            fs::create_directories(root_ / dir);
        fs::current_path(root_ / "work");
    }
    // Out of the folder before it goes, with the fixture.
    void TearDown() override {
        fs::current_path(start_);
        winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
        headless::Reset();
    }
    testsupport::TempFolder folder_{"kawauo-folder"};
    fs::path root_;

private:
    fs::path start_;
};

TEST_F(PictureFolderTest, TheFirstFolderHoldingBackBmpIsEntered) {
    const struct {
        const char* what;
        std::vector<const char*> holding;  // folders given bmp/back.bmp
        std::vector<const char*> bare;     // folders given an empty bmp/
        const char* entered;               // nullptr: none found, the working folder stays
    } rows[] = {
        {"here", {"work", "usr/games"}, {}, "work"},
        {"an empty bmp/ here is passed by",
         {"usr/share/games/kawauo"},
         {"work", "usr/games"},
         "usr/share/games/kawauo"},
        {"beside the program", {"usr/games", "usr/share/kawauo"}, {}, "usr/games"},
        {"the other installed layout", {"usr/share/kawauo"}, {"usr/share/games/kawauo"}, "usr/share/kawauo"},
        {"none", {}, {"work"}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::current_path(root_ / "work");
        for (const char* dir : {"work", "usr/games", "usr/share/games/kawauo", "usr/share/kawauo"})
            fs::remove_all(root_ / dir / "bmp");
        for (const char* dir : row.bare) fs::create_directory(root_ / dir / "bmp");
        for (const char* dir : row.holding) {
            fs::create_directory(root_ / dir / "bmp");
            std::ofstream(root_ / dir / "bmp" / "back.bmp") << "BM";
        }
        EXPECT_EQ(core::EnterPictureFolder(root_ / "usr/games"), row.entered != nullptr);
        EXPECT_EQ(fs::current_path(), root_ / (row.entered ? row.entered : "work"));
    }
}

TEST_F(PictureFolderTest, NoFolderHoldingThePicturesIsSaidInOneBoxInThePlayersLanguage) {
    headless::Reset();
    fs::create_directory(root_ / "work" / "bmp");  // empty: passed by
    const struct {
        winapi::texts::Language language;
        core::PicturesCame came;
        const char* says;  // what to do, in that language
    } rows[] = {
        {winapi::texts::Language::kEnglish, core::PicturesCame::kZip, "Unpack the whole folder"},
        {winapi::texts::Language::kEnglish, core::PicturesCame::kPackage, "Install the package"},
        {winapi::texts::Language::kEnglish, core::PicturesCame::kBundle, "Load the page again"},
        {winapi::texts::Language::kJapanese, core::PicturesCame::kZip, "すべて展開して"},
        {winapi::texts::Language::kJapanese, core::PicturesCame::kPackage, "パッケージを入れ直す"},
        {winapi::texts::Language::kJapanese, core::PicturesCame::kBundle, "ページを読み込み直して"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.says);
        winapi::texts::UseLanguage(row.language);
        const size_t before = headless::MessageBoxes().size();
        EXPECT_FALSE(core::PicturesFound(root_ / "usr/games", row.came));
        EXPECT_EQ(fs::current_path(), root_ / "work");
        ASSERT_EQ(headless::MessageBoxes().size(), before + 1);
        const headless::MessageBoxRecord& box = headless::MessageBoxes().back();
        EXPECT_EQ(box.caption, "kawauo");
        EXPECT_NE(box.text.find(row.says), std::string::npos) << box.text;
        for (const char* dir : {"work", "usr/games", "usr/share/games/kawauo", "usr/share/kawauo"})
            EXPECT_NE(box.text.find("\n  " + (root_ / dir).string()), std::string::npos) << dir << " not named";
    }
    // Found anywhere in the order: no box, and the working folder stays for
    // the game's entry to enter it.
    fs::create_directories(root_ / "usr/share/kawauo/bmp");
    std::ofstream(root_ / "usr/share/kawauo/bmp/back.bmp") << "BM";
    const size_t boxes = headless::MessageBoxes().size();
    EXPECT_TRUE(core::PicturesFound(root_ / "usr/games", core::PicturesCame::kPackage));
    EXPECT_EQ(headless::MessageBoxes().size(), boxes);
    EXPECT_EQ(fs::current_path(), root_ / "work");
}

}  // namespace
