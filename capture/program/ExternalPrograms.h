#pragma once

class QString;
class QWidget;
struct ProcessState;

// Starts the polar-alignment program beside the main program and waits for it, with the main
// window hidden meanwhile. In digital-camera mode the USB camera is opened and released first
// so that it is free for it. A failure shows "spawnlエラー2".
void startAxilo(ProcessState& state, QWidget* mainWindow);

// Opens an image in the user's StellaImage, preferring its colour twin (the last "M" of the
// path turned into "C") when that file exists, and waits for it. A failure shows
// "spawnlエラー3".
void startStellaImage(const ProcessState& state, const QString& imagePath);
