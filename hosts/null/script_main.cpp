// kawauo-null: the game on the null driver, driven by a script as kawauo-sim
// drives it, so that a check can hold the two traces side by side.
#include "hosts/core/script_main.h"

int main(int argc, char** argv) { return core::ScriptMain(argc, argv, "kawauo-null"); }
