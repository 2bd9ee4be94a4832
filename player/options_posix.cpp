// The game's usage on POSIX systems: the manual page lists the keys.
#include "player/options.h"

namespace player::options {

const char* KeysFooter() { return "See kawauo(6) for the keys.\n"; }

}  // namespace player::options
