#pragma once

#include <QString>

// A stand-in for the plate solver, placed where the program looks for it in the drive root
// `root`. What it does comes from VESPERIX_FAKE_SOLVER when it runs:
//   "ok"     writes a solved result at once (RA 84.05, Dec -5.12, rotation -90);
//   "error"  writes "ERROR no solution";
//   "exit"   ends without a result;
//   "never"  starts a child and waits for ever, both noting their pids in fake-solver.pids;
// and every run notes its arguments in fake-solver.args, both files in the drive root.
void installFakePlateSolver(const QString& root);
