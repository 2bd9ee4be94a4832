// The baked font built into the program: the tables a driver that carries
// them hands the Windows room through the seam.
#include "winapi/baked.h"

winapi::host::FontTables winapi::baked::BuiltIn() { return {Glyphs(), Cp932()}; }
