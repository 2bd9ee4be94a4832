// Writes the link fuzzer's seeds: the binary forms of the committed
// recordings, without their check (the fuzzer makes it).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "player/run_link.h"
#include "tests/support/support.h"
#include "tools/bmpwrite/bmp_write.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: link_corpus SEEDS RECORDING...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        std::vector<uint8_t> form;
        std::string why;
        if (!player::run_link::FormOf(testsupport::ReadText(argv[i]), &form, &why)) {
            std::fprintf(stderr, "%s: %s\n", argv[i], why.c_str());
            return 1;
        }
        form.resize(form.size() - 4);
        const std::string name = std::filesystem::path(argv[i]).stem().string() + ".form";
        if (!WriteFile((std::filesystem::path(argv[1]) / name).string(), form)) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
