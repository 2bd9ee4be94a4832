// The soak run's picture folder, which it damages as anyone could, and the
// check that a restore brings every whole picture back exactly.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>

#include "display/registry.h"
#include "tests/soak/soak.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/palette_match.h"
#include "winapi/surface_access.h"

namespace fs = std::filesystem;

namespace soak {
namespace {

using testsupport::ReadBytes;

// "bmp\\x.bmp" -> "x.bmp"
std::string FileOf(const std::string& gameName) {
    const size_t slash = gameName.find_last_of("\\/");
    return slash == std::string::npos ? gameName : gameName.substr(slash + 1);
}

}  // namespace

bool PictureFolder::Create(const std::string& sourceBmp, std::string* why) {
    source_ = sourceBmp;
    std::error_code ec;
    start_ = fs::current_path(ec);
    try {
        folder_.emplace("kawauo-soak");
    } catch (const std::exception&) {
        *why = "cannot make a temporary directory";
        return false;
    }
    dir_ = folder_->path();
    fs::create_directory(fs::path(dir_) / "bmp", ec);
    for (const fs::directory_entry& entry : fs::directory_iterator(source_, ec)) {
        if (entry.path().extension() != ".bmp") continue;
        fs::copy_file(entry.path(), fs::path(dir_) / "bmp" / entry.path().filename(), ec);
        if (ec) break;
        files_.push_back(entry.path().filename().string());
    }
    if (ec || files_.empty() || chdir(dir_.c_str()) != 0) {
        *why = "cannot copy the pictures from " + source_ + " to " + dir_;
        return false;
    }
    std::sort(files_.begin(), files_.end());  // the same order for the same seed
    return true;
}

void PictureFolder::Remove() {
    if (!folder_) return;
    std::error_code ec;
    if (!start_.empty()) fs::current_path(start_, ec);
    folder_.reset();
}

void PictureFolder::Keep() {
    if (folder_) folder_->Keep();
}

std::string PictureFolder::Damage(Rng* rng) {
    const std::string name = files_[rng->Below(static_cast<uint32_t>(files_.size()))];
    const fs::path path = fs::path(dir_) / "bmp" / name;
    std::vector<uint8_t> bytes = ReadBytes(fs::path(source_) / name);
    std::string what;
    std::error_code ec;
    switch (rng->Below(5)) {
        case 0:
            fs::remove(path, ec);
            what = "removed";
            break;
        case 1:
            bytes.resize(rng->Below(static_cast<uint32_t>(bytes.size())));
            what = "cut to " + std::to_string(bytes.size()) + " bytes";
            break;
        case 2: {
            // Mostly the headers and colour table, where a reader must not trust what it finds.
            const uint32_t count = 1 + rng->Below(8);
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t span = rng->OneIn(2) ? std::min<uint32_t>(1078, bytes.size()) : bytes.size();
                bytes[rng->Below(span)] = static_cast<uint8_t>(rng->Next());
            }
            what = "scribbled over in " + std::to_string(count) + " bytes";
            break;
        }
        case 3: {
            const std::string other = files_[rng->Below(static_cast<uint32_t>(files_.size()))];
            bytes = ReadBytes(fs::path(source_) / other);
            what = "replaced by " + other;
            break;
        }
        default: {
            const int width = 1 + static_cast<int>(rng->Below(700));
            const int height = 1 + static_cast<int>(rng->Below(520));
            std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
            for (uint8_t& index : indices) index = static_cast<uint8_t>(rng->Next());
            PALETTEENTRY palette[256];
            for (PALETTEENTRY& entry : palette) {
                const uint64_t bits = rng->Next();
                entry = {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16), 0};
            }
            bytes = EncodeBmp8(width, height, indices, palette);
            what = "replaced by a " + std::to_string(width) + "x" + std::to_string(height) + " bitmap";
            break;
        }
    }
    if (what != "removed") WriteFile(path.string(), bytes);
    if (std::find(damaged_.begin(), damaged_.end(), name) == damaged_.end()) damaged_.push_back(name);
    return name + " " + what;
}

void PictureFolder::Repair() {
    std::error_code ec;
    for (const std::string& name : damaged_)
        fs::copy_file(fs::path(source_) / name, fs::path(dir_) / "bmp" / name, fs::copy_options::overwrite_existing,
                      ec);
    damaged_.clear();
}

bool PictureFolder::Damaged(const std::string& gameName) const {
    return std::find(damaged_.begin(), damaged_.end(), FileOf(gameName)) != damaged_.end();
}

void TakeSnapshot(SurfaceSnapshot* snapshot) {
    for (int32_t i = 0; i < g_surfaceCount; ++i) {
        IDirectDrawSurface* s = g_surfaces[i];
        const int w = SurfaceAccess::Width(s);
        const int h = SurfaceAccess::Height(s);
        const uint8_t* pixels = SurfaceAccess::Pixels(s);
        snapshot->pixels.emplace_back(pixels, pixels + static_cast<size_t>(w) * h);
        snapshot->width.push_back(w);
        snapshot->height.push_back(h);
    }
    std::memcpy(snapshot->palette, winapi::DisplayPalette(), sizeof snapshot->palette);
}

void CheckRestored(const Context& context, const SurfaceSnapshot& snapshot, const std::vector<bool>& dirty,
                   bool paletteDirty) {
    if (static_cast<size_t>(g_surfaceCount) != snapshot.pixels.size())
        Fail(context, "the registry's number of pictures changed");
    for (int32_t i = 0; i < g_surfaceCount; ++i) {
        IDirectDrawSurface* s = g_surfaces[i];
        if (SurfaceAccess::Lost(s)) Fail(context, std::string(g_surfaceNames[i]) + " is still lost after a restore");
        if (SurfaceAccess::Width(s) != snapshot.width[i] || SurfaceAccess::Height(s) != snapshot.height[i])
            Fail(context, std::string(g_surfaceNames[i]) + " changed size on a restore");
        if (paletteDirty || dirty[i]) continue;
        if (std::memcmp(SurfaceAccess::Pixels(s), snapshot.pixels[i].data(), snapshot.pixels[i].size()) != 0)
            Fail(context, std::string(g_surfaceNames[i]) + " does not hold its picture after a restore");
    }
    if (!paletteDirty && std::memcmp(winapi::DisplayPalette(), snapshot.palette, sizeof snapshot.palette) != 0)
        Fail(context, "the screen palette is not back.bmp's after a restore");
}

}  // namespace soak
