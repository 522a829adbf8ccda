// Compressed lists from any bytes: the readers either inflate them or fail
// with a text; they never crash, hang or read past what they were given.
#include "FuzzRun.h"

using namespace lintrim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunPlan plan;
    plan.memoryBudget = 4096;
    fuzz::RunOver(plan, data, size);
    return 0;
}
