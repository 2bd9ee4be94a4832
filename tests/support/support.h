// What the test suites share: a folder of their own under the system's
// temporary folder, and files read back whole.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder named PREFIX-XXXXXX, removed with everything in it when the
// object goes (its permissions given back first, for tests that take them).
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "kawauo-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    // A path inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Leaves the folder and all in it where they are when the object goes,
    // for a run kept to be looked at.
    void Keep() { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

// The whole of a file; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);

}  // namespace testsupport
