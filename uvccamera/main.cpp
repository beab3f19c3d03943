#include "DebugLog.h"
#include "SettingsFolder.h"

#include <QCoreApplication>

// Writes the list of video devices for the main program and the polar-alignment program.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SettingsFolder::ensure();
    debugLog("uvc_camera");
    return 0;
}
