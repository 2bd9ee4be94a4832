// The game's usage on Windows: the read-mes beside kawauo.exe list the keys.
#include "player/options.h"

namespace player::options {

const char* KeysFooter() { return "README-en.txt beside kawauo.exe lists the keys (README-ja.txt in Japanese).\n"; }

}  // namespace player::options
