// The picture folder: the first of the working folder, the program's folder
// and the two installed data folders that holds bmp/back.bmp, whatever other
// bmp/ folders lie earlier in the order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hosts/shared/picture_folder.h"
#include "tests/support/support.h"

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
    void TearDown() override { fs::current_path(start_); }
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
        EXPECT_EQ(platform::EnterPictureFolder(root_ / "usr/games"), row.entered != nullptr);
        EXPECT_EQ(fs::current_path(), root_ / (row.entered ? row.entered : "work"));
    }
}

}  // namespace
