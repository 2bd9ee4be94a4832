// Running kawauo-sim from tests, and the generated pictures it runs on.
#include "tests/sim/sim_harness.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "game/picture_table.h"
#include "tools/bmpwrite/bmp_write.h"

namespace simtest {
namespace {

// A picture's fill index is its number in the game's table, from 1.
std::vector<uint8_t> PictureIndices(const PictureFile& p, int number) {
    std::vector<uint8_t> pixels(static_cast<size_t>(p.width) * p.height,
                                static_cast<uint8_t>(number));
    const std::string file = p.name;
    auto at = [&](int x, int y) -> uint8_t& {
        return pixels[static_cast<size_t>(y) * p.width + x];
    };
    if (file == "back.bmp") {
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x)
                at(x, y) = static_cast<uint8_t>(kBackBandIndex + x / 64);
        }
    } else if (file == "awa.bmp" || file == "push.bmp") {
        std::fill(pixels.begin(), pixels.end(), 0);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                bool inAwaSquare = x % 16 >= 4 && x % 16 < 12 && y >= 4 && y < 12;
                bool inPushBox = x >= 220 && x < 420 && y >= 190 && y < 290;
                if (file == "awa.bmp" ? inAwaSquare : inPushBox) {
                    at(x, y) = static_cast<uint8_t>(file == "awa.bmp" ? 5 : kPushBoxIndex);
                }
            }
        }
    } else if (file == "opn.bmp") {
        std::fill(pixels.begin(), pixels.begin() + 40 * p.width, 0);
    }
    at(0, 0) = 0;
    return pixels;
}

}  // namespace

Rgb TestColour(int index) { return {index, 255 - index, (index * 37) & 255}; }

void WriteTestPictures(const std::string& dir, const std::vector<std::string>& leaveOut) {
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i) {
        Rgb c = TestColour(i);
        palette[i] = {static_cast<BYTE>(c.r), static_cast<BYTE>(c.g), static_cast<BYTE>(c.b), 0};
    }
    std::filesystem::create_directories(dir + "/bmp");
    int number = 0;
    for (const PictureFile& p : kPictureFiles) {
        ++number;
        if (std::find(leaveOut.begin(), leaveOut.end(), p.name) != leaveOut.end()) continue;
        std::string path = dir + "/bmp/" + p.name;
        if (!WriteFile(path, EncodeBmp8(p.width, p.height, PictureIndices(p, number), palette))) {
            throw std::runtime_error("cannot write " + path);
        }
    }
}

// Far beyond any run of the tests, even sanitized.
constexpr unsigned kSecondsAtMost = 120;

SimRun RunSim(const std::string& script, const std::string& workDir,
              const std::vector<std::string>& args, const std::vector<int>& closed,
              const Redirect& redirect) {
    testsupport::TempFolder io("kawauo-sim");
    const std::string scriptPath = io.path() + "/script";
    const std::string outPath = io.path() + "/stdout";
    const std::string errPath = io.path() + "/stderr";
    {
        std::ofstream out(scriptPath, std::ios::binary);
        out << script;
    }
    std::vector<std::string> argStrings = {KAWAUO_SIM_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    argStrings.push_back(redirect.script.empty() ? "-" : redirect.script);
    std::vector<char*> argv;
    for (std::string& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const std::string inPath = redirect.input.empty() ? scriptPath : redirect.input;
        int in = open(inPath.c_str(), O_RDONLY);
        int out = redirect.output.empty()
                      ? open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)
                      : open(redirect.output.c_str(), O_WRONLY);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        alarm(kSecondsAtMost);  // kept across exec: a run that hangs is ended, and fails
        for (int fd : closed) close(fd);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int wstatus = 0;
    rusage usage{};
    while (wait4(pid, &wstatus, 0, &usage) < 0) {
        if (errno != EINTR) throw std::runtime_error("wait4 failed");
    }
    SimRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    run.peakKilobytes = usage.ru_maxrss;
    run.errors = testsupport::ReadText(errPath);
    std::istringstream trace(testsupport::ReadText(outPath));
    std::string line;
    while (std::getline(trace, line)) {
        if (line.empty()) continue;
        Json j = Json::parse(line);
        if (j.contains("frame")) run.frames.push_back(j);
        if (j.contains("event")) run.events.push_back(j);
        run.lines.push_back(std::move(j));
    }
    return run;
}

const char* SimProgram() { return KAWAUO_SIM_PATH; }

std::string Describe(const SimRun& run) {
    return "exit status " + std::to_string(run.status) + ", " + std::to_string(run.frames.size()) +
           " frames, standard error:\n" + run.errors;
}

}  // namespace simtest
