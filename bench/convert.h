// The conversion of a 640x480 picture of palette indices to ARGB8888 for
// presentation: ours, and SDL's own as the reference.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "hosts/shared/argb.h"
#include "winapi/ddraw.h"

namespace bench {

// Ours, into a buffer laid out as the SDL host's streaming texture.
class Converter {
public:
    void Convert(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
        platform::ConvertToArgb(pixels, palette, argb_.data(), kScreenWidth * 4);
    }
    const uint32_t* Argb() const { return argb_.data(); }

private:
    std::vector<uint32_t> argb_ = std::vector<uint32_t>(size_t{kScreenWidth} * kScreenHeight);
};

class SdlConverter {
public:
    SdlConverter()
        : palette_(SDL_AllocPalette(256)),
          argb_(SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888)) {}
    ~SdlConverter() {
        SDL_FreeSurface(argb_);
        if (indices_ != nullptr) SDL_FreeSurface(indices_);
        SDL_FreePalette(palette_);
    }
    SdlConverter(const SdlConverter&) = delete;
    SdlConverter& operator=(const SdlConverter&) = delete;

    // The palette goes to SDL only when it changed, as a host would do it.
    void Convert(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
        if (std::memcmp(shown_, palette, sizeof shown_) != 0) {
            std::memcpy(shown_, palette, sizeof shown_);
            SDL_Color colours[256];
            for (int i = 0; i < 256; ++i)
                colours[i] = SDL_Color{palette[i].peRed, palette[i].peGreen, palette[i].peBlue, 255};
            SDL_SetPaletteColors(palette_, colours, 0, 256);
        }
        // SDL reads the picture where it lies, as the host's conversion does.
        if (indices_ == nullptr || indices_->pixels != pixels) {
            if (indices_ != nullptr) SDL_FreeSurface(indices_);
            indices_ = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(pixels), kScreenWidth, kScreenHeight, 8,
                                                          kScreenWidth, SDL_PIXELFORMAT_INDEX8);
            SDL_SetSurfacePalette(indices_, palette_);
        }
        SDL_BlitSurface(indices_, nullptr, argb_, nullptr);
    }
    const uint32_t* Argb() const { return static_cast<const uint32_t*>(argb_->pixels); }

private:
    SDL_Palette* palette_;
    SDL_Surface* indices_ = nullptr;
    SDL_Surface* argb_;
    PALETTEENTRY shown_[256] = {};
};

}  // namespace bench
