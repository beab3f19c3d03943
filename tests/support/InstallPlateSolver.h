#pragma once

#include <QString>

// Places the built plate solver ($VESPERIX_BIN_DIR/PlateSolver) where the main program looks for
// it in a drive root: "C:\Program Files (x86)\PlateSolver\" as PlateSolver and PlateSolver.exe,
// both links to the built one. False when it is not built or cannot be placed.
bool installPlateSolver(const QString& driveRoot);
