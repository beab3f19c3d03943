#include "ProcessState.h"

namespace {
ProcessState* current = new ProcessState; // lives until the process ends
} // namespace

ProcessState& processState() {
    return *current;
}

void renewProcessState() {
    current = new ProcessState; // the old one too: a thread may still read it
}
