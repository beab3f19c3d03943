#include "SystemGamepad.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "XInputGamepadQuery.h"
using SystemGamepadQuery = XInputGamepadQuery;
#else
#include "SdlGamepadQuery.h"
using SystemGamepadQuery = SdlGamepadQuery;
#endif

void installSystemGamepad() {
    if (!GamepadQuery::hasInstalled())
        GamepadQuery::install(new SystemGamepadQuery);
}
