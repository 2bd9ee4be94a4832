// The Windows icon file: the desktop icons' PNG files, as drawn, in one .ico.
#include <string>
#include <vector>

#include "tools/bmpgen/pictures.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/files.h"

namespace pictures {

bool WriteIconFile(const std::string& path, const std::vector<SizedPng>& icons) {
    constexpr uint32_t kDirectory = 6, kEntry = 16;
    std::vector<uint8_t> header, images;
    Put16(header, 0);  // reserved
    Put16(header, 1);  // an icon, not a cursor
    Put16(header, static_cast<uint32_t>(icons.size()));
    uint32_t offset = kDirectory + kEntry * static_cast<uint32_t>(icons.size());
    for (const SizedPng& icon : icons) {
        std::vector<uint8_t> png;
        winapi::FileProblem problem;
        if (!winapi::ReadWholeFile(icon.path, &png, &problem)) return false;
        // 256 is written as 0; Windows reads PNG images of any size since Vista.
        header.push_back(static_cast<uint8_t>(icon.size & 0xFF));
        header.push_back(static_cast<uint8_t>(icon.size & 0xFF));
        header.push_back(0);  // colours: true colour
        header.push_back(0);  // reserved
        Put16(header, 1);     // planes
        Put16(header, 32);    // bits a pixel
        Put32(header, static_cast<uint32_t>(png.size()));
        Put32(header, offset);
        offset += static_cast<uint32_t>(png.size());
        images.insert(images.end(), png.begin(), png.end());
    }
    header.insert(header.end(), images.begin(), images.end());
    return WriteFile(path, header);
}

}  // namespace pictures
