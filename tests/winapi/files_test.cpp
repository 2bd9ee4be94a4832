// The game's files as the system refuses them: a file the player may not
// read is told with the system's reason.
#include "winapi/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "tests/support/support.h"

namespace {

// The superuser reads every file, so there this skips; CMake runs it again
// as nobody.
TEST(Files, AFileWithoutReadPermissionSaysWhy) {
    testsupport::TempFolder dir;
    const std::string path = dir / "locked.bmp";
    std::ofstream(path) << "BM";
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (access(path.c_str(), R_OK) == 0) GTEST_SKIP() << "the superuser reads unreadable files";
    std::vector<uint8_t> bytes;
    winapi::FileProblem problem;
    EXPECT_FALSE(winapi::ReadWholeFile(path, &bytes, &problem));
    EXPECT_STREQ(winapi::ProblemText(problem), std::strerror(EACCES));
}

}  // namespace
