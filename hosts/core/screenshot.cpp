// F12's screenshot: the picture last shown, copied on the game's thread,
// encoded and written by the core's writer. Apart from shown.cpp, so that a
// driver without screenshots (the page's) links no PNG writer.
#include <memory>

#include "hosts/core/shown.h"
#include "hosts/core/worker.h"
#include "player/screenshot.h"

namespace core {

void TakeScreenshot() {
    const Shown* last = LastShown();
    if (last == nullptr) return;
    auto copy = std::make_shared<Shown>(*last);
    WriteAside([copy] { player::screenshot::Take({copy->pixels.data(), kScreenWidth, kScreenHeight, copy->palette}); });
}

}  // namespace core
