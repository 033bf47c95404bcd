// One libFuzzer entry point, built once for every target (FUZZ_TARGET names its function).
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return FUZZ_TARGET(data, size); }
