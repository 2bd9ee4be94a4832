// The entry point libFuzzer calls with each input; each fuzz target defines it.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
