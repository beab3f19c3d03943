#pragma once

#include <QString>

// Places the built starless-image stand-in ($VESPERIX_BIN_DIR/starnet++) where the 3D conversion
// looks for it in a drive root: "C:\StarNetv2CLI_Win\starnet++", a link to the built one. False
// when it is not built or cannot be placed.
bool installStarless(const QString& driveRoot);
