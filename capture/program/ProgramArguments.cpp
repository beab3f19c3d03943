#include "ProgramArguments.h"

#include "DebugLog.h"

ProgramArguments ProgramArguments::parse(const QStringList& arguments) {
    ProgramArguments parsed;
    if (arguments.isEmpty())
        return parsed;
    parsed.exePath = arguments.first();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == "d") {
            parsed.digitalCameraMode = true;
            debugLog("DigiCameMode");
        } else {
            parsed.exePath += ' ' + arguments.at(i);
        }
    }
    return parsed;
}

QString ProgramArguments::appDir() const {
    const int cut = exePath.lastIndexOf('\\');
    return cut < 0 ? QString() : exePath.left(cut);
}
