#include "FakePlateSolver.h"

#include <QDir>
#include <QFile>

void installFakePlateSolver(const QString& root) {
    const QString folder = root + "/C/Program Files (x86)/PlateSolver";
    QDir().mkpath(folder);
    const QByteArray script = R"(#!/bin/sh
printf '%s\n' "$@" > "$VESPERIX_DRIVES/fake-solver.args"
result=$3
case "$VESPERIX_FAKE_SOLVER" in
ok) printf 'OK\n84.05\n-5.12\n165\n112\n2.39\n-90\n' > "$result" ;;
error) printf 'ERROR no solution\n' > "$result" ;;
exit) exit 1 ;;
never)
    sleep 300 &
    printf '%s %s\n' $$ $! > "$VESPERIX_DRIVES/fake-solver.pids"
    wait ;;
esac
)";
    for (const char* name : {"PlateSolver", "PlateSolver.exe"}) {
        QFile file(folder + "/" + name);
        file.open(QIODevice::WriteOnly);
        file.write(script);
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
}
