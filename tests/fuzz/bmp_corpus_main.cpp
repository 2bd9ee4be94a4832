// Writes the BMP test cases, one file each, as the BMP fuzzer's seed corpus.
#include <cstdio>

#include "tests/winapi/bmp_cases.h"
#include "tools/bmpwrite/bmp_write.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    int written = 0;
    for (const BmpCase& c : BmpCases()) {
        const std::string path = std::string(argv[1]) + "/" + c.name + ".bmp";
        if (!WriteFile(path, c.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("%d BMP seeds in %s\n", written, argv[1]);
    return 0;
}
