#pragma once

#include <QString>

// The folder with the shipped catalogues for a benchmark: VESPERIX_BIN_DIR, else bin/ beside
// the benchmark's own folder in the build.
QString catalogueFolder();
