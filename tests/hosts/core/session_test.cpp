// The game's --record, --play and --trace as the session sets them up, on the
// headless host: what is refused before anything runs (leaving every file as
// it was), and that what is written is whole, written only when a frame was
// shown, and never over a file the player keeps.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "hosts/core/session.h"
#include "hosts/headless/headless.h"
#include "player/run_link.h"
#include "player/version.h"
#include "tests/support/support.h"
#include "winapi/frame_log.h"
#include "winapi/texts.h"
#include "winapi/win.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadText;

const std::string kHeader = "recording 1 kawauo " KAWAUO_VERSION "\n";
constexpr unsigned kSecondsAtMost = 30;  // an open that waits is ended, and fails

enum class Kind { kFile, kFifo, kFolder, kDevice, kLinkTo };

struct Thing {
    std::string name;
    Kind kind;
    std::string text;  // a file's bytes; what a link or a second name points at
};

class Session : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::Reset(); }
    std::string Path(const std::string& name) const { return name.empty() ? "" : folder_ / name; }
    // False when the system will not make it (a device, for all but the superuser).
    bool Make(const Thing& t) {
        const std::string path = Path(t.name);
        switch (t.kind) {
            case Kind::kFile: std::ofstream(path, std::ios::binary) << t.text; return true;
            case Kind::kFifo: return mkfifo(path.c_str(), 0644) == 0;
            case Kind::kFolder: return fs::create_directory(path);
            case Kind::kDevice: return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
            case Kind::kLinkTo: return link(Path(t.text).c_str(), path.c_str()) == 0;
        }
        return false;
    }
    // Every name in the folder, with its kind and a regular file's bytes.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> seen;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_.path())) {
            const fs::file_status s = entry.symlink_status();
            std::string what = fs::is_regular_file(s)     ? "file: " + ReadText(entry.path())
                               : fs::is_directory(s)      ? "folder"
                               : fs::is_fifo(s)           ? "fifo"
                               : fs::is_character_file(s) ? "device"
                                                          : "other";
            seen[entry.path().filename().string()] = what;
        }
        return seen;
    }
    // Frames as the platform ends them: what the recorder and the trace hear.
    static void ShowFrames(int count) {
        for (int i = 0; i < count; ++i) winapi::NoteFlip(DD_OK);
    }
    testsupport::TempFolder folder_{"kawauo-session"};
};

TEST_F(Session, FilesThatCannotBeWrittenAreRefusedBeforeAnythingRuns) {
    const std::string recording = kHeader + "seed 5\nframe 100\n";
    const struct Case {
        const char* what;
        std::vector<Thing> things;
        core::Session session;  // names in the folder
        std::string message;    // after "OPTION FOLDER/"
    } cases[] = {
        {"a recording onto a device", {{"dev", Kind::kDevice, ""}}, {"dev", "", ""}, "dev: not a regular file"},
        {"a trace onto a device", {{"dev", Kind::kDevice, ""}}, {"", "", "dev"}, "dev: not a regular file"},
        {"a recording onto a FIFO", {{"fifo", Kind::kFifo, ""}}, {"fifo", "", ""}, "fifo: not a regular file"},
        {"a trace onto a FIFO no one reads", {{"fifo", Kind::kFifo, ""}}, {"", "", "fifo"}, "fifo: not a regular file"},
        {"a recording onto a folder", {{"dir", Kind::kFolder, ""}}, {"dir", "", ""}, "dir: not a regular file"},
        {"a trace onto a folder", {{"dir", Kind::kFolder, ""}}, {"", "", "dir"}, "dir: not a regular file"},
        {"a recording onto a recording",
         {{"keep.rec", Kind::kFile, recording}},
         {"keep.rec", "", ""},
         "keep.rec: already exists"},
        {"a recording beside what a run cut short left",
         {{"run.rec.part", Kind::kFile, "seed 1\n"}},
         {"run.rec", "", ""},
         "run.rec: run.rec.part already exists"},
        {"a recording into a folder that is not there", {}, {"gone/run.rec", "", ""}, "gone/run.rec: its folder"},
        {"a trace over the recording played",
         {{"play.rec", Kind::kFile, recording}},
         {"", "play.rec", "play.rec"},
         "play.rec: the same file as --play"},
        {"a trace over the recording played, by a second name",
         {{"play.rec", Kind::kFile, recording}, {"other.rec", Kind::kLinkTo, "play.rec"}},
         {"", "play.rec", "other.rec"},
         "other.rec: the same file as --play"},
        {"a recording and a trace in one file", {}, {"run", "", "run"}, "run: the same file as --record"},
        {"a trace where the recording is written", {}, {"run", "", "run.part"}, "run.part: the same file as --record"},
        {"a recording that tells the platform to fail",
         {{"crafted.rec", Kind::kFile, kHeader + "seed 5\nfail SetClipper 0x88760096\nframe 100\n"}},
         {"", "crafted.rec", ""},
         "crafted.rec:3: 'fail' is no line of a recording"},
        {"a recording that loses the surfaces",
         {{"crafted.rec", Kind::kFile, kHeader + "frame 1\nlose\n"}},
         {"", "crafted.rec", ""},
         "crafted.rec:3: 'lose' is no line of a recording"},
        {"a sim script played",
         {{"run.sim", Kind::kFile, "frames 3\n"}},
         {"", "run.sim", ""},
         "run.sim:1: not a recording"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder_.path());
        fs::create_directory(folder_.path());
        bool made = true;
        for (const Thing& t : c.things) made = made && Make(t);
        if (!made) {
            std::cout << "  " << c.what << ": skipped, the system would not make it\n";
            continue;
        }
        const std::map<std::string, std::string> before = Contents();
        const core::Session session{Path(c.session.recordPath), Path(c.session.playPath), Path(c.session.tracePath)};
        std::string why;
        alarm(kSecondsAtMost);
        const bool begun = core::BeginSession(session, &why);
        alarm(0);
        EXPECT_FALSE(begun);
        EXPECT_NE(why.find(folder_.path() + "/" + c.message), std::string::npos) << why;
        if (begun) core::EndSession(0, &why);
        EXPECT_EQ(Contents(), before) << "a refused session leaves everything as it was";
    }
}

TEST_F(Session, ARunThatShowsNoFrameWritesNothing) {
    ASSERT_TRUE(Make({"keep.jsonl", Kind::kFile, "a trace kept\n"}));
    std::string why;
    ASSERT_TRUE(core::BeginSession({Path("new.rec"), "", Path("keep.jsonl")}, &why)) << why;
    // The window never opens: the run ends before its first frame.
    EXPECT_TRUE(core::EndSession(1, &why)) << why;
    EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"keep.jsonl", "file: a trace kept\n"}}));
}

TEST_F(Session, TheFilesArePutInPlaceWholeAtTheEnd) {
    ASSERT_TRUE(Make({"old.jsonl", Kind::kFile, "an old trace\n"}));
    fs::create_symlink(Path("old.jsonl"), Path("link.jsonl"));
    std::string why;
    ASSERT_TRUE(core::BeginSession({Path("run.rec"), "", Path("link.jsonl")}, &why)) << why;
    headless::SetMilliseconds(100);
    GetTickCount();
    ShowFrames(2);
    EXPECT_EQ(ReadText(Path("old.jsonl")), "an old trace\n") << "the old trace stays until the new one is whole";
    EXPECT_FALSE(fs::exists(Path("run.rec")));
    ASSERT_TRUE(core::EndSession(0, &why)) << why;
    EXPECT_EQ(ReadText(Path("run.rec")).substr(0, kHeader.size()), kHeader);
    const std::string trace = ReadText(Path("old.jsonl"));
    EXPECT_EQ(trace.rfind("{\"frame\":1,", 0), 0u) << trace.substr(0, 100);
    EXPECT_NE(trace.find("\n{\"event\":\"exit\",\"code\":0}\n"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(Path("link.jsonl"))) << "a trace kept behind a link stays there";
    EXPECT_EQ(Contents().size(), 3u) << "no temporary file is left";
}

TEST_F(Session, ARecordingNeverReplacesAFileMadeDuringTheRun) {
    std::string why;
    ASSERT_TRUE(core::BeginSession({Path("run.rec"), "", ""}, &why)) << why;
    ShowFrames(3);
    ASSERT_TRUE(Make({"run.rec", Kind::kFile, "made meanwhile\n"}));
    EXPECT_FALSE(core::EndSession(0, &why));
    EXPECT_NE(why.find("what was written is in " + Path("run.rec.part")), std::string::npos) << why;
    EXPECT_EQ(ReadText(Path("run.rec")), "made meanwhile\n");
    EXPECT_EQ(ReadText(Path("run.rec.part")).substr(0, kHeader.size()), kHeader);
}

// A session that starts no run of its own (a recording alone) finishes
// nothing of the one before it, whose trace is closed and in place.
TEST_F(Session, ASecondSessionLeavesTheFirstOnesTraceAlone) {
    std::string why;
    ASSERT_TRUE(core::BeginSession({"", "", Path("first.jsonl")}, &why)) << why;
    ShowFrames(1);
    ASSERT_TRUE(core::EndSession(0, &why)) << why;
    const std::string first = ReadText(Path("first.jsonl"));
    ASSERT_TRUE(core::BeginSession({Path("second.rec"), "", ""}, &why)) << why;
    ShowFrames(1);
    EXPECT_TRUE(core::EndSession(0, &why)) << why;
    EXPECT_EQ(ReadText(Path("first.jsonl")), first);
}

// Every player's run is kept in memory for its link, recorded to a file or
// not, and kept after the game for the page's download; a run shown is not
// the player's, and keeps nothing.
TEST_F(Session, APlayersRunIsKeptForItsLink) {
    std::string shown, why;
    ASSERT_TRUE(player::run_link::MakeLink(kHeader + "lang ja\nseed 5\nframe 100\n", &shown, &why)) << why;
    struct Case {
        const char* what;
        core::Session session;
        bool kept;
    };
    const Case cases[] = {
        {"recorded to no file", {"", "", ""}, true},
        {"recorded to a file", {Path("run.rec"), "", ""}, true},
        {"a link shown", {"", shown, ""}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(core::BeginSession(c.session, &why)) << why;
        headless::SetMilliseconds(100);
        GetTickCount();
        ShowFrames(2);
        ASSERT_TRUE(core::EndSession(0, &why)) << why;
        std::string link, recording;
        ASSERT_EQ(player::run_link::MakeRunLink(&link, &why), c.kept) << why;
        if (!c.kept) continue;
        ASSERT_TRUE(player::run_link::ReadLink(link, &recording, &why)) << why;
        EXPECT_EQ(recording.substr(0, kHeader.size()), kHeader);
        EXPECT_NE(recording.find("\nframe 100\nframe 100\n"), std::string::npos) << recording;
        fs::remove(Path("run.rec"));
    }
}

// A link played shows the run in the language it was played in, unless the
// viewer's command line chose one.
TEST_F(Session, ALinkIsShownInItsRunsLanguageUnlessOneWasChosen) {
    std::string link, why;
    ASSERT_TRUE(player::run_link::MakeLink(kHeader + "lang en\nseed 5\nframe 100\n", &link, &why)) << why;
    for (const bool chosen : {false, true}) {
        SCOPED_TRACE(chosen ? "chosen on the command line" : "none chosen");
        winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
        core::Session session{"", link, ""};
        session.languageChosen = chosen;
        ASSERT_TRUE(core::BeginSession(session, &why)) << why;
        EXPECT_EQ(winapi::texts::CurrentLanguage(),
                  chosen ? winapi::texts::Language::kJapanese : winapi::texts::Language::kEnglish);
        EXPECT_TRUE(core::EndSession(0, &why)) << why;
    }
    winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
}

// A trace that cannot be written whole (here: past the largest file the
// system lets this process write) leaves the old one as it was.
TEST_F(Session, ATraceNotWrittenWholeLeavesTheOldOne) {
    ASSERT_TRUE(Make({"run.jsonl", Kind::kFile, "an old trace\n"}));
    std::string why;
    ASSERT_TRUE(core::BeginSession({"", "", Path("run.jsonl")}, &why)) << why;
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 100;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ShowFrames(10);
    const bool ended = core::EndSession(0, &why);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(ended);
    EXPECT_NE(why.find("cannot write it whole (File too large)"), std::string::npos) << why;
    EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"run.jsonl", "file: an old trace\n"}}));
}

}  // namespace
