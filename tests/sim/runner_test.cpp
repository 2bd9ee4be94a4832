// kawauo-sim itself: its command line, its script's clock and keys, the
// trace's shape, its events and its shots, run as the real program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "display/texts.h"
#include "game/texts.h"
#include "player/version.h"
#include "tests/sim/sim_harness.h"
#include "winapi/cp932.h"

namespace {

using simtest::Json;
using simtest::RunSim;
using simtest::SimRun;

const std::vector<std::string> kFrameKeys = {"frame",         "tick",      "scene",      "fish",
                                             "pollution",     "paused",    "pauseLatch", "keyLatch",
                                             "pollutionTick", "drainTick", "mutation",   "moves",
                                             "objectActive",  "inFlight",  "drift",      "thought",
                                             "thoughtTick",   "scrollX",   "bubbles"};

std::string Utf8(const char* cp932) { return winapi::Cp932ToUtf8(cp932, std::strlen(cp932)); }

class SimRunner : public ::testing::Test {
protected:
    void SetUp() override { simtest::WriteTestPictures(dir_.path()); }
    SimRun Run(const std::string& script, const std::vector<std::string>& args = {}) {
        return RunSim(script, dir_.path(), args);
    }
    testsupport::TempFolder dir_{"kawauo-sim"};
};

std::vector<int64_t> Ticks(const SimRun& run) {
    std::vector<int64_t> ticks;
    for (const Json& f : run.frames) ticks.push_back(f["tick"].get<int64_t>());
    return ticks;
}

// The runtime generator the game seeds with the calendar time.
struct Lcg {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

TEST_F(SimRunner, BadScriptNamesItsLineAndRunsNothing) {
    struct Case {
        const char* script;
        const char* where;  // "-:LINE:" as printed for a script on standard input
    } cases[] = {
        {"frames 3\nclose\nframes 2 2\n", "-:3: 'frames' takes one argument"},
        {"seed 1\nfail Nothing 5\nframes 1\n", "-:2: unknown platform call"},
        {"frames 1\n\n\nshot x\n", "-:4: 'shot' needs a shot directory"},
    };
    for (const Case& c : cases) {
        SimRun run = Run(c.script);
        EXPECT_EQ(run.status, 2) << c.script << simtest::Describe(run);
        EXPECT_NE(run.errors.find(c.where), std::string::npos)
            << "expected \"" << c.where << "\" in: " << run.errors;
        EXPECT_TRUE(run.lines.empty())
            << c.script << ": the program ran and wrote " << run.lines.size() << " trace lines";
    }
}

TEST_F(SimRunner, BadCommandLinesAreRefused) {
    struct Case {
        std::vector<std::string> args;  // RunSim adds "-" at the end
        const char* message;
    } cases[] = {
        {{"--fast"}, "unknown option --fast"},
        {{"extra.txt"}, "more than one script given"},
        {{"--shots", ""}, "--shots needs a value (DIR)"},
        {{"--trace"}, "no script given"},  // "-" became the trace file's name
    };
    for (const Case& c : cases) {
        SimRun run = Run("frames 1\n", c.args);
        EXPECT_EQ(run.status, 2) << c.message << "\n" << simtest::Describe(run);
        // One line, not the whole usage, which would hide it.
        EXPECT_EQ(run.errors, std::string("kawauo-sim: ") + c.message + "; try --help\n");
        EXPECT_TRUE(run.lines.empty());
    }
}

// What the run would write is checked before it starts: never through a
// device, a FIFO or a folder, never over the script or another output.
TEST_F(SimRunner, OutputsThatCannotBeWrittenAreRefusedBeforeTheRun) {
    const std::string plain = "frames 2\n";
    const std::string shooting = "frames 2\nshot a\n";
    const std::string scriptPath = dir_.path() + "/run.sim";
    std::ofstream(scriptPath) << plain;
    const std::string fifo = dir_.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    // A reader, so that a program that opens the FIFO is not held there.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const std::string shots = dir_.path() + "/shots";
    std::filesystem::create_directories(shots + "/a.png");
    struct Case {
        std::string script;
        std::vector<std::string> args;
        std::string message;
        std::string scriptPath;  // on the command line instead of standard input
    } cases[] = {
        {plain, {"--trace", "/dev/null"}, "--trace /dev/null: not a regular file", ""},
        {plain, {"--trace", fifo}, "fifo: not a regular file", ""},
        {plain, {"--trace", scriptPath}, "run.sim: the same file as the script", scriptPath},
        {shooting, {"--shots", shots}, "shot " + shots + "/a.png: not a regular file", ""},
        {shooting,
         {"--shots", shots + "/b", "--trace", shots + "/b"},
         "--shots " + shots + "/b: the same file as --trace",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SimRun run = RunSim(c.script, dir_.path(), c.args, {}, {"", "", c.scriptPath});
        EXPECT_EQ(run.status, 2) << simtest::Describe(run);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_TRUE(run.lines.empty()) << "the run started";
    }
    close(reader);
    EXPECT_EQ(testsupport::ReadText(scriptPath), plain);
    EXPECT_FALSE(std::filesystem::exists(shots + "/b"));
}

// Each message says which file, and the system's reason.
TEST_F(SimRunner, ReadAndWriteProblemsNameTheFileAndWhy) {
    const struct Case {
        const char* what;
        std::string script;
        simtest::Redirect redirect;
        const char* message;
    } cases[] = {
        {"a folder as standard input",
         "",
         {"/", "", ""},
         "kawauo-sim: cannot read standard input: Is a directory"},
        {"a standard input past 64 MiB",
         "#" + std::string(size_t{64} << 20, ' ') + "\nframes 1\n",
         {},
         "kawauo-sim: cannot read standard input: too large: 64 MiB at most"},
        {"a full disk",
         "frames 30\n",
         {"", "/dev/full", ""},
         "kawauo-sim: cannot write standard output: No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRun run = RunSim(c.script, dir_.path(), {"--draws"}, {}, c.redirect);
        EXPECT_EQ(run.status, 2) << simtest::Describe(run);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}

// A long script is checked whole before it runs, in memory of about its
// length: each line costs no memory of its own.
TEST_F(SimRunner, ALongScriptIsCheckedInMemoryOfItsLength) {
    const std::string header = "recording 1 kawauo " KAWAUO_VERSION "\n";
    constexpr size_t kLines = (size_t{16} << 20) / 6;
    std::string longOne = header;
    longOne.reserve(kLines * 6 + 100);
    for (size_t i = 0; i < kLines; ++i) longOne += "close\n";
    // Cut short at the end: refused once all of it has been read.
    SimRun small = Run(header + "frame 1");
    SimRun large = Run(longOne + "frame 1");
    ASSERT_EQ(large.status, 2) << simtest::Describe(large);
    EXPECT_NE(large.errors.find(":" + std::to_string(kLines + 2) + ": cut short"),
              std::string::npos)
        << large.errors;
    const long extraKilobytes = large.peakKilobytes - small.peakKilobytes;
    EXPECT_LT(extraKilobytes, static_cast<long>(longOne.size() / 1024 * 3))
        << "the script is " << longOne.size() / 1024 << " KiB";
}

TEST_F(SimRunner, ClockFollowsTickAndStep) {
    struct Case {
        const char* script;
        std::vector<int64_t> ticks;
    } cases[] = {
        {"frames 3\n", {0, 16, 32}},
        {"tick 1000\nstep 5\nframes 3\n", {1000, 1005, 1010}},
        {"step 0\ntick 7\nframes 3\n", {7, 7, 7}},
        {"frames 1\ntick 500\nframes 2\n", {0, 500, 516}},
        {"frames 2\nstep 100\nframes 2\n", {0, 16, 32, 132}},
        // unsigned 32 bits, wrapping; the game reads them as signed
        {"tick 4294967290\nstep 4\nframes 3\n", {-6, -2, 2}},
        {"tick 0x7FFFFFFF\nframes 2\n", {2147483647, -2147483633}},
    };
    for (const Case& c : cases) {
        SimRun run = Run(c.script);
        EXPECT_EQ(Ticks(run), c.ticks) << c.script << simtest::Describe(run);
        for (size_t i = 0; i < run.frames.size(); ++i) {
            EXPECT_EQ(run.frames[i]["frame"], static_cast<int>(i) + 1) << c.script;
        }
    }
}

TEST_F(SimRunner, SeedIsTheCalendarTimeThatPlacesTheBubbles) {
    for (int64_t seed : {int64_t{0}, int64_t{1}, int64_t{1700000000}}) {
        SimRun run = Run("seed " + std::to_string(seed) + "\nframes 1\n");
        ASSERT_EQ(run.frames.size(), 1u) << simtest::Describe(run);
        const Json& bubbles = run.frames[0]["bubbles"];
        ASSERT_EQ(bubbles.size(), 20u);
        Lcg random{static_cast<uint32_t>(seed)};
        for (int i = 0; i < 20; ++i) {
            int x = random.Next() % 624;
            int y = random.Next() % 464;
            EXPECT_EQ(bubbles[i][0], x) << "seed " << seed << ", bubble " << i;
            EXPECT_EQ(bubbles[i][1], y) << "seed " << seed << ", bubble " << i;
        }
    }
}

TEST_F(SimRunner, FrameLinesHoldEveryKeyInOrder) {
    SimRun run = Run("frames 2\n", {"--draws"});
    ASSERT_EQ(run.frames.size(), 2u) << simtest::Describe(run);
    std::vector<std::string> withDraws = kFrameKeys;
    withDraws.push_back("draws");
    const std::vector<std::pair<const char*, std::vector<size_t>>> shapes = {
        {"fish", {16}},        {"mutation", {9}}, {"moves", {3, 4}},
        {"objectActive", {6}}, {"drift", {6, 7}}, {"bubbles", {20, 9}}};
    for (const Json& frame : run.frames) {
        std::vector<std::string> keys;
        for (const auto& item : frame.items()) keys.push_back(item.key());
        EXPECT_EQ(keys, withDraws);
        for (const auto& [key, shape] : shapes) {
            const Json& value = frame[key];
            ASSERT_EQ(value.size(), shape[0]) << key;
            for (const Json& row : value) {
                EXPECT_EQ(row.is_array() ? row.size() : 0u, shape.size() == 2 ? shape[1] : 0u)
                    << key;
            }
        }
    }
    SimRun plain = Run("frames 1\n");
    ASSERT_EQ(plain.frames.size(), 1u) << simtest::Describe(plain);
    std::vector<std::string> keys;
    for (const auto& item : plain.frames[0].items()) keys.push_back(item.key());
    EXPECT_EQ(keys, kFrameKeys);
}

TEST_F(SimRunner, ProgramEndsWhenTheScriptDoes) {
    struct Case {
        const char* script;
        size_t frames;
    } cases[] = {
        {"", 0},
        {"frames 5\n", 5},
        {"frames 2\nclose\nframes 10\n", 2},
        {"frames 1\ndown ESCAPE\nframes 10\n", 1},
        {"frames 3\nactivate 0\nframes 2\nactivate 1\n", 5},
    };
    for (const Case& c : cases) {
        SimRun run = Run(c.script);
        EXPECT_EQ(run.status, 0) << c.script << simtest::Describe(run);
        EXPECT_EQ(run.frames.size(), c.frames) << c.script;
        ASSERT_FALSE(run.lines.empty()) << c.script;
        EXPECT_EQ(run.lines.back(), Json::parse(R"({"event":"exit","code":0})")) << c.script;
        EXPECT_EQ(run.events.size(), 1u) << c.script;
    }
}

TEST_F(SimRunner, MissingPictureIsToldAndNoFrameRuns) {
    std::filesystem::remove(dir_.path() + "/bmp/fish1.bmp");
    SimRun run = Run("frames 10\n");
    EXPECT_EQ(run.status, 1) << simtest::Describe(run);
    EXPECT_TRUE(run.frames.empty());
    Json box = {{"event", "messagebox"},
                {"caption", Utf8(kTextCreateFailedCaption)},
                {"text", Utf8(kTextCreateFailed)}};
    ASSERT_EQ(run.events.size(), 2u) << simtest::Describe(run);
    EXPECT_EQ(run.events[0], box);
    EXPECT_EQ(run.events[1], Json::parse(R"({"event":"exit","code":1})"));
}

TEST_F(SimRunner, DirectDrawFailuresReportDebugLineThenBoxInOrder) {
    // Loading two pictures fails: the first at GetDC, the second at Lock. Each
    // report's debug line comes with its box, then the registry's box.
    SimRun run = Run("fail GetDC 0x80004005\nfail Lock 0x88760000\nframes 3\n");
    EXPECT_EQ(run.status, 1) << simtest::Describe(run);
    EXPECT_TRUE(run.frames.empty());
    ASSERT_EQ(run.events.size(), 7u) << simtest::Describe(run);
    for (int report : {0, 3}) {
        const Json& debug = run.events[report];
        EXPECT_EQ(debug["event"], "debug") << "event " << report;
        std::string line = debug["text"];
        EXPECT_EQ(line.rfind("DirectDraw Error code| ", 0), 0u) << line;
        EXPECT_NE(line.find(report == 0 ? "GetDC" : "Lock"), std::string::npos) << line;
        EXPECT_EQ(
            run.events[report + 1],
            Json({{"event", "messagebox"}, {"caption", "DirectDraw Error !!"}, {"text", line}}));
        EXPECT_EQ(run.events[report + 2]["caption"], Utf8(kTextCreateFailedCaption));
    }
    EXPECT_EQ(run.events[6], Json::parse(R"({"event":"exit","code":1})"));

    // A display that cannot be set up ends the program at once.
    SimRun display = Run("fail SetClipper 0x88760096\nframes 3\n");
    EXPECT_EQ(display.status, 1) << simtest::Describe(display);
    EXPECT_TRUE(display.frames.empty());
    ASSERT_EQ(display.events.size(), 3u) << simtest::Describe(display);
    EXPECT_EQ(display.events[0]["event"], "debug");
    EXPECT_EQ(display.events[1]["caption"], "DirectDraw Error !!");
    EXPECT_EQ(display.events[1]["text"], display.events[0]["text"]);
    EXPECT_EQ(display.events[2], Json::parse(R"({"event":"exit","code":1})"));
}

TEST_F(SimRunner, TraceFileHoldsWhatStandardOutputWould) {
    const std::string script = "seed 3\nframes 4\n";
    SimRun toStdout = Run(script);
    const std::string tracePath = dir_.path() + "/trace.jsonl";
    SimRun toFile = Run(script, {"--trace", tracePath});
    EXPECT_EQ(toFile.status, 0) << simtest::Describe(toFile);
    EXPECT_TRUE(toFile.lines.empty()) << "the trace went to standard output as well";
    std::ifstream in(tracePath);
    std::vector<Json> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
    EXPECT_EQ(lines, toStdout.lines);
    EXPECT_EQ(lines.size(), 5u);
}

// A trace that cannot be made is refused before the run, with why, told once,
// its name shown escaped and, past the longest path a system opens, cut.
TEST_F(SimRunner, ATraceThatCannotBeWrittenSaysWhy) {
    const std::string big(100000, 'x');
    const struct {
        std::string path;
        std::string told;
    } rows[] = {
        {"/dev/full",
         "--trace /dev/full: not a regular file: nothing is written through a device, a FIFO, a "
         "folder or a broken link"},
        {"none/\x1B[2J",
         "--trace none/\\x1B[2J: its folder " + dir_.path() + "/none does not exist"},
        {big, "--trace " + big.substr(0, 4096) + "...: cannot look at it: File name too long"},
    };
    for (const auto& row : rows) {
        SimRun run = Run("frames 2\n", {"--trace", row.path});
        EXPECT_EQ(run.status, 2) << simtest::Describe(run);
        EXPECT_EQ(run.errors, "kawauo-sim: " + row.told + "\n");
    }
}

// The first write of the trace that fails ends the run, as it ends cat: a
// full disk or a reader gone takes no more frames (a run of two billion
// frames once wrote on for terabytes, and a closed pipe killed the sim
// without a word).
TEST_F(SimRunner, TheFirstFailedWriteEndsTheRun) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);  // nobody reads
    const struct {
        std::string output;
        std::string told;
    } rows[] = {
        {"/dev/full", "kawauo-sim: cannot write standard output: No space left on device\n"},
        {"/proc/self/fd/" + std::to_string(pipeEnds[1]),
         "kawauo-sim: cannot write standard output: Broken pipe\n"},
    };
    for (const auto& row : rows) {
        SimRun run = RunSim("frames 2147483647\n", dir_.path(), {}, {}, {"", row.output, ""});
        EXPECT_EQ(run.status, 2) << simtest::Describe(run);
        EXPECT_EQ(run.errors, row.told);
    }
    close(pipeEnds[1]);
}

// A stop signal (SIGTERM, SIGINT, or SIGHUP from a closed terminal) ends a
// run between frames: its trace put in place whole, ending with the game's
// exit, nothing left beside it, and the sim ended as the signal would end it.
TEST_F(SimRunner, AStopSignalFinishesTheTraceWhole) {
    const std::string script = dir_.path() + "/long.sim";
    std::ofstream(script) << "frames 2147483647\n";
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const std::string trace = dir_.path() + "/trace.jsonl";
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (chdir(dir_.path().c_str()) != 0) _exit(126);
            alarm(120);  // a run the signal does not end is ended, and fails
            execl(simtest::SimProgram(), simtest::SimProgram(), "--trace", trace.c_str(),
                  script.c_str(), nullptr);
            _exit(127);
        }
        // Signalled once its trace has frames in it: the run is under way.
        auto underWay = [&] {
            for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
                if (entry.path().filename().string().rfind(".trace.jsonl.kawauo-", 0) == 0 &&
                    entry.file_size() > 0)
                    return true;
            return false;
        };
        int status = 0;
        pid_t ended = 0;
        while (!underWay() && (ended = waitpid(pid, &status, WNOHANG)) == 0) sched_yield();
        ASSERT_EQ(ended, 0) << "the run ended by itself, status " << status;
        kill(pid, signal);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        std::ifstream in(trace);
        std::string line, last;
        while (std::getline(in, line)) last = line;
        EXPECT_EQ(Json::parse(last)["event"], "exit");
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
            EXPECT_EQ(entry.path().filename().string().find(".trace.jsonl.kawauo-"),
                      std::string::npos);
        std::filesystem::remove(trace);
    }
}

// A recording its game did not finish writing (still in its part) is played
// as far as it goes, and said to be cut short.
TEST_F(SimRunner, ARecordingCutShortIsSaidToBe) {
    const std::string path = dir_.path() + "/run.rec.part";
    std::ofstream(path) << "recording 1 kawauo " KAWAUO_VERSION "\nseed 1\nframe 100\nframe 116\n";
    SimRun run = RunSim("", dir_.path(), {}, {}, {"", "", path});
    EXPECT_EQ(run.status, 0) << simtest::Describe(run);
    EXPECT_EQ(run.frames.size(), 2u);
    EXPECT_EQ(run.errors, "kawauo-sim: " + path +
                              ": a recording cut short (its game did not finish writing it): "
                              "played as far as it goes\n");
}

// Started with standard output or error closed, the sim's messages go
// nowhere and the trace file holds the trace alone.
TEST_F(SimRunner, ClosedStandardStreamsLeaveTheTraceWhole) {
    std::filesystem::remove(dir_.path() + "/bmp/fish1.bmp");  // a box, told on standard error
    const std::string tracePath = dir_.path() + "/trace.jsonl";
    auto traceLines = [&] {
        std::ifstream in(tracePath);
        std::vector<Json> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
        return lines;
    };
    SimRun open = Run("frames 3\n", {"--trace", tracePath});
    const std::vector<Json> expected = traceLines();
    ASSERT_EQ(expected.size(), 2u) << simtest::Describe(open);
    for (const std::vector<int>& closed : {std::vector<int>{2}, {1}, {1, 2}}) {
        SimRun run = RunSim("frames 3\n", dir_.path(), {"--trace", tracePath}, closed);
        EXPECT_EQ(run.status, 1) << closed.size() << " closed, first " << closed[0];
        EXPECT_EQ(traceLines(), expected) << closed.size() << " closed, first " << closed[0];
    }
}

TEST_F(SimRunner, DrawsListTheFramesCallsWithPictureNames) {
    SimRun run = Run("frames 1\ndown SPACE\nframes 1\nup SPACE\nframes 3\n", {"--draws"});
    ASSERT_EQ(run.frames.size(), 5u) << simtest::Describe(run);

    // The first title frame: the river in two pieces (the second one empty),
    // the title picture, the twenty resting bubbles, the flip.
    const Json& title = run.frames[0];
    std::vector<Json> expected = {
        Json::parse(R"(["blt","bmp\\back.bmp",0,0,640,480,0,0,640,480])"),
        Json::parse(R"(["blt","bmp\\back.bmp",640,0,0,480,0,0,0,480])"),
        Json::parse(R"(["keyed","bmp\\opn.bmp",0,0,640,480,0,0,640,480])")};
    for (const Json& b : title["bubbles"]) {
        expected.push_back(
            Json::array({"keyed", "bmp\\awa.bmp", b[0], b[1], 16, 16, 96, 0, 16, 16}));
    }
    expected.push_back(Json::array({"flip"}));
    EXPECT_EQ(title["draws"], Json(expected));

    // The first play frame prints the key help in yellow at the top left.
    const Json& play = run.frames[4];
    ASSERT_EQ(play["scene"], 2);
    Json help = Json::array({"text", 0, 0, 0x0000FFFF, Utf8(kTextKeyHelp)});
    bool found = false;
    for (const Json& d : play["draws"]) found = found || d == help;
    EXPECT_TRUE(found) << "no " << help.dump() << " in " << play["draws"].dump();
}

struct Png {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;
    std::vector<simtest::Rgb> palette;
};

// Reads an 8-bit palette PNG as indices and colours.
Png ReadPng(const std::string& path) {
    Png out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    std::vector<uint8_t> indices(PNG_IMAGE_SIZE(image));
    std::vector<uint8_t> colours(PNG_IMAGE_COLORMAP_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, indices.data(), 0, colours.data())) return out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.indices = std::move(indices);
    for (size_t i = 0; i + 2 < colours.size(); i += 3) {
        out.palette.push_back({colours[i], colours[i + 1], colours[i + 2]});
    }
    return out;
}

TEST_F(SimRunner, ShotsShowTheFramesAsShown) {
    const std::string shots = dir_.path() + "/shots";
    SimRun run =
        Run("frames 2\nshot title\n"
            "down SPACE\nframes 1\nup SPACE\nframes 3\n"                // a new game, playing
            "down SPACE\nframes 1\nup SPACE\nframes 2\nshot paused\n",  // paused from frame 8
            {"--shots", shots});
    ASSERT_EQ(run.status, 0) << simtest::Describe(run);
    ASSERT_EQ(run.frames.size(), 9u) << simtest::Describe(run);

    Png title = ReadPng(shots + "/title.png");
    ASSERT_EQ(title.width, 640) << "title.png missing or unreadable";
    ASSERT_EQ(title.height, 480);
    ASSERT_EQ(title.palette.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(title.palette[i], simtest::TestColour(i)) << "palette entry " << i;
    }
    size_t opn = std::count(title.indices.begin(), title.indices.end(), simtest::kOpnIndex);
    EXPECT_GT(opn, title.indices.size() * 8 / 10) << "the title picture does not fill the shot";

    // Paused: the river (as scrolled in that frame), the pause box, bubbles.
    const Json& pausedFrame = run.frames[8];
    ASSERT_EQ(pausedFrame["paused"], 1);
    int scroll = pausedFrame["scrollX"].get<int>() - 1;  // the position it was drawn at
    Png paused = ReadPng(shots + "/paused.png");
    ASSERT_EQ(paused.width, 640) << "paused.png missing or unreadable";
    int wrong = 0;
    int box = 0;
    for (int y = 1; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            int index = paused.indices[static_cast<size_t>(y) * 640 + x];
            if (index == 5) continue;  // a bubble
            bool inBox = x >= 220 && x < 420 && y >= 190 && y < 290;
            int expected =
                inBox ? simtest::kPushBoxIndex : simtest::kBackBandIndex + (x + scroll) % 640 / 64;
            if (index != expected) ++wrong;
            if (inBox && index == expected) ++box;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels that are neither river, pause box nor bubble";
    EXPECT_GT(box, 200 * 100 * 9 / 10);
}

TEST_F(SimRunner, LostFramesAreNotShownUntilReactivated) {
    const std::string shots = dir_.path() + "/shots";
    SimRun run =
        Run("frames 2\nshot before\nlose\nframes 2\nshot lost\n"
            "activate 0\nactivate 1\nframes 1\nshot back\n",
            {"--shots", shots});
    ASSERT_EQ(run.status, 0) << simtest::Describe(run);
    ASSERT_EQ(run.frames.size(), 5u);
    Png before = ReadPng(shots + "/before.png");
    Png lost = ReadPng(shots + "/lost.png");
    Png back = ReadPng(shots + "/back.png");
    ASSERT_EQ(before.width, 640);
    ASSERT_EQ(lost.width, 640);
    ASSERT_EQ(back.width, 640);
    EXPECT_EQ(lost.indices, before.indices) << "a frame was shown while the surfaces were lost";
    EXPECT_NE(back.indices, before.indices) << "no new frame after reactivation";
    size_t opn = std::count(back.indices.begin(), back.indices.end(), simtest::kOpnIndex);
    EXPECT_GT(opn, back.indices.size() * 8 / 10) << "the restored title picture is missing";
}

}  // namespace
