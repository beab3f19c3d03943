// PlateSolver /solvefile <image> <result> <focal mm> <pixel um> <ra deg> <dec deg> <radius deg>
//
// Solves the picture with astrometry.net's solve-field near the given position and writes the
// result file. Exit code 0 when solved, 1 when the result file says ERROR (or cannot be
// written), 2 for a wrong command line.
#include "SolveFieldRun.h"
#include "SolveResultFile.h"
#include "SolverArguments.h"
#include "WcsSolution.h"

#include <QCoreApplication>
#include <QImageReader>
#include <cstdio>

namespace {

int fail(const SolverArguments& request, const QString& reason, const QString& detail = {}) {
    std::fprintf(stderr, "PlateSolver: %s%s\n", qPrintable(reason),
                 detail.isEmpty() ? "" : qPrintable(" (" + detail + ")"));
    SolveResultFile::writeError(request.resultPath, reason);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SolveFieldRun::stopOnSignals();
    const SolverArguments request = SolverArguments::parse(app.arguments().mid(1));
    if (!request.valid) {
        std::fprintf(stderr, "usage: PlateSolver /solvefile <image> <result> <focal mm> "
                             "<pixel um> <ra deg> <dec deg> <radius deg>\n");
        if (!request.resultPath.isEmpty())
            SolveResultFile::writeError(request.resultPath, "usage");
        return 2;
    }

    // The header alone tells whether the picture can be read, and its width the downsampling.
    const QSize size = QImageReader(request.imagePath).size();
    if (!size.isValid())
        return fail(request, "unreadable image", request.imagePath);

    SolveFieldRun run;
    switch (run.run(request, size.width(), SolveFieldRun::limitSeconds())) {
    case SolveFieldRun::Missing:
        return fail(request, "solve-field missing");
    case SolveFieldRun::TimedOut:
        return fail(request, "timeout");
    case SolveFieldRun::Stopped:
        return fail(request, "terminated");
    case SolveFieldRun::NoFolder:
        return fail(request, "no work folder");
    case SolveFieldRun::Finished:
        break;
    }
    WcsSolution solution;
    if (run.wcsPath().isEmpty() || !solution.read(run.wcsPath())) {
        if (run.exitCode() != 0)
            return fail(request, "solve-field failed", run.lastOutputLine());
        return fail(request, "no solution");
    }
    if (!SolveResultFile::writeSolution(request.resultPath, solution)) {
        std::fprintf(stderr, "PlateSolver: cannot write %s\n", qPrintable(request.resultPath));
        return 1;
    }
    return 0;
}
