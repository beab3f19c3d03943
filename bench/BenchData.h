#pragma once

#include <QString>

// The folder with the shipped catalogues for a benchmark: VESPERIX_BIN_DIR, else bin/ beside
// the benchmark's own folder in the build.
QString catalogueFolder();

// Runs the registered benchmarks, each for at least `minSeconds` unless the command line sets
// --benchmark_min_time: a flag, so the names stay those scripts/bench pairs.
int runBenchmarks(int argc, char** argv, int minSeconds);
