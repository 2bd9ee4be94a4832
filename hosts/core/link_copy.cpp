// Ctrl+C on the result screen: the run's link on the clipboard.
#include "hosts/core/link_copy.h"

#include <string>

#include "hosts/core/driver.h"
#include "player/run_link.h"
#include "sim/showing.h"
#include "winapi/told.h"

namespace core {
namespace {

void CopyRunLink() {
    std::string link, why;
    if (player::run_link::MakeRunLink(&link, &why) && !TheDriver().copyText(link.c_str()))
        why = "the clipboard refused it";
    // Told on standard error and, as the core's note, in the window's title.
    winapi::Tell(why.empty() ? "kawauo: the run's link is copied (" + std::to_string(link.size()) + " characters)"
                             : "kawauo: the run's link cannot be copied: " + why);
}

}  // namespace

bool CopiesRunLink(const RawEvent& key) {
    const bool keyC = key.key[0] == 'C' && key.key[1] == '\0';
    if (!key.ctrl || !keyC || TheDriver().copyText == nullptr || sim::ShowingNow() != sim::Showing::kResult)
        return false;
    if (key.down && !key.repeat) CopyRunLink();
    return true;
}

}  // namespace core
