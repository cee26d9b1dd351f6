// The entry points libFuzzer calls, for the target named by VELMORA_FUZZ_TARGET.

#include "fuzzsupport.h"
#include "fuzztargets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VELMORA_FUZZ_TARGET(data, size);
    return 0;
}
