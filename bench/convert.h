// The conversion of a 640x480 picture of palette indices to ARGB8888 for
// presentation, at its own size or enlarged by a whole factor: ours, and
// SDL's own as the reference.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "hosts/core/argb.h"
#include "winapi/ddraw.h"

namespace bench {

// Ours, into a buffer laid out as the SDL host's streaming texture (at its
// own size) or the window surface (enlarged, from the colours mapped once a frame).
class Converter {
public:
    explicit Converter(int scale = 1) : scale_(scale), argb_(size_t{kScreenWidth} * kScreenHeight * scale * scale) {}
    void Convert(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
        const int pitch = kScreenWidth * scale_ * 4;
        if (scale_ == 1) return core::ConvertToArgb(pixels, palette, argb_.data(), pitch);
        uint32_t colours[256];
        for (int i = 0; i < 256; ++i)
            colours[i] =
                0xFF000000u | uint32_t{palette[i].peRed} << 16 | uint32_t{palette[i].peGreen} << 8 | palette[i].peBlue;
        core::ConvertScaled(pixels, colours, scale_, argb_.data(), pitch);
    }
    const uint32_t* Argb() const { return argb_.data(); }

private:
    int scale_;
    std::vector<uint32_t> argb_;
};

// SDL's: the 8-bit surface blitted to a 32-bit one, then enlarged by SDL's
// own nearest-pixel stretch.
class SdlConverter {
public:
    explicit SdlConverter(int scale = 1)
        : palette_(SDL_AllocPalette(256)),
          argb_(SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888)),
          scaled_(scale == 1 ? nullptr
                             : SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth * scale, kScreenHeight * scale, 32,
                                                              SDL_PIXELFORMAT_ARGB8888)) {
        SDL_SetSurfaceBlendMode(argb_, SDL_BLENDMODE_NONE);
    }
    ~SdlConverter() {
        if (scaled_ != nullptr) SDL_FreeSurface(scaled_);
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
        if (scaled_ != nullptr) SDL_BlitScaled(argb_, nullptr, scaled_, nullptr);
    }
    const uint32_t* Argb() const {
        return static_cast<const uint32_t*>((scaled_ != nullptr ? scaled_ : argb_)->pixels);
    }

private:
    SDL_Palette* palette_;
    SDL_Surface* indices_ = nullptr;
    SDL_Surface* argb_;
    SDL_Surface* scaled_;
    PALETTEENTRY shown_[256] = {};
};

}  // namespace bench
