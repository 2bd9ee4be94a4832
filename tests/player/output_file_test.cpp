// The files a player names for writing: names as long as a system takes,
// read-only files refused, and the temporary files of killed runs cleaned
// away without touching anything else.
#include "player/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/support.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// Every name up to the longest a system takes is written, as a kept file
// (through its part) and as a remade one (through a temporary file): a
// temporary name never outgrows it, and is cut between characters.
TEST(OutputFile, NamesUpToTheLongestAreWritten) {
    testsupport::TempFolder folder("kawauo-output");
    const std::string japanese = "\xE9\xAD\x9A";  // three bytes a character
    std::string fishes;
    for (int i = 0; i < 85; ++i) fishes += japanese;
    const std::string names[] = {std::string(249, 'r'), std::string(255, 'r'), std::string(250, 'r') + japanese,
                                 fishes};
    for (const std::string& name : names) {
        SCOPED_TRACE(std::to_string(name.size()) + " bytes");
        for (player::OutputKind kind : {player::OutputKind::kKept, player::OutputKind::kRemade}) {
            player::OutputFile output;
            std::string why;
            ASSERT_TRUE(player::OpenOutput(folder / name, kind, &output, &why)) << why;
            const std::string written = fs::path(output.partPath).filename();
            EXPECT_LE(written.size(), player::kLongestName);
            size_t characters = 0;
            for (size_t at = written.find(japanese); at != std::string::npos; at = written.find(japanese, at + 3))
                ++characters;
            EXPECT_EQ(static_cast<size_t>(std::count(written.begin(), written.end(), '\xE9')), characters)
                << "a character cut in two";
            std::fputs("whole\n", output.stream);
            ASSERT_TRUE(player::PlaceOutput(&output, &why)) << why;
            EXPECT_EQ(testsupport::ReadText(folder / name), "whole\n");
            fs::remove(folder / name);
        }
        EXPECT_TRUE(Names(folder.path()).empty());
    }
}

// A trace or shot the player made read-only is kept as it is, as the
// settings file is: refused before anything is written.
TEST(OutputFile, AReadOnlyFileIsNeverReplaced) {
    testsupport::TempFolder folder("kawauo-output");
    const std::string path = folder / "trace.jsonl";
    std::ofstream(path) << "the player's";
    chmod(path.c_str(), 0444);
    std::vector<player::NamedFile> outputs = {{"--trace", path, player::OutputKind::kRemade}};
    EXPECT_EQ(player::CheckOutputs(&outputs, {}),
              "--trace " + path + ": read-only: the player keeps it as it is; make it writable, or name another file");
    player::OutputFile output;
    std::string why;
    EXPECT_FALSE(player::OpenOutput(path, player::OutputKind::kRemade, &output, &why));
    EXPECT_EQ(testsupport::ReadText(path), "the player's");
    EXPECT_EQ(Names(folder.path()), std::set<std::string>{"trace.jsonl"});
}

// Making a remade file first removes the temporary files a killed run left
// for that name, and only those: not one a running program holds, not
// another name's, not anything else the player keeps there.
TEST(OutputFile, StaleTemporariesOfTheNameAloneAreRemoved) {
    testsupport::TempFolder folder("kawauo-output");
    const std::string path = folder / "t.jsonl";
    std::string held;
    std::FILE* running = player::CreateFreshFile(path, &held);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(fs::path(held).filename().string().substr(0, 16), ".t.jsonl.kawauo-");
    const std::set<std::string> others = {"t.jsonl.Ab12Cd", ".t.jsonl.kawauo-Ab12C", ".u.jsonl.kawauo-Ab12Cd",
                                          ".t.jsonl.kawauo-Ab1-Cd", "t.jsonl.kawauo-Ab12Cd"};
    for (const std::string& name : others) std::ofstream(folder / name) << "the player's";
    std::ofstream(folder / ".t.jsonl.kawauo-Zz9Yy8") << "a killed run's";
    player::OutputFile output;
    std::string why;
    ASSERT_TRUE(player::OpenOutput(path, player::OutputKind::kRemade, &output, &why)) << why;
    std::set<std::string> expected = others;
    expected.insert({fs::path(held).filename(), fs::path(output.partPath).filename()});
    EXPECT_EQ(Names(folder.path()), expected);
    player::DropOutput(&output);
    std::fclose(running);
}

// A file moved or removed while it was written is never reported as put in
// place or kept under its old name.
TEST(OutputFile, AFileMovedWhileWrittenIsToldSo) {
    testsupport::TempFolder folder("kawauo-output");
    for (player::OutputKind kind : {player::OutputKind::kKept, player::OutputKind::kRemade}) {
        player::OutputFile output;
        std::string why;
        ASSERT_TRUE(player::OpenOutput(folder / "run", kind, &output, &why)) << why;
        fs::rename(output.partPath, folder / "elsewhere");
        EXPECT_FALSE(player::PlaceOutput(&output, &why));
        EXPECT_EQ(why, output.partPath + " was moved or removed while it was written: nothing is kept under that name");
        EXPECT_FALSE(fs::exists(folder / "run"));
        fs::remove(folder / "elsewhere");
    }
}

}  // namespace
