#include "ProcessState.h"

ProcessState& processState() {
    static ProcessState* state = new ProcessState; // lives until the process ends
    return *state;
}
