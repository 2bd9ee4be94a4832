// kawauo-sim: the game on the headless driver, driven by a script, writing a
// trace of every frame; or, asked, a recording's link and a link's recording.
#include "hosts/core/script_main.h"

int main(int argc, char** argv) { return core::ScriptMain(argc, argv, "kawauo-sim"); }
