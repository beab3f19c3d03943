#pragma once

#include <QString>

class CameraEntryList;

// Each appends the cameras of one vendor to the list, leaving out the camera whose ID is
// `excludeId` (-1 leaves out none), so the guide camera's list skips the main camera.
bool enumeratePlayerOne(CameraEntryList& list, int excludeId);
void enumerateAsi(CameraEntryList& list, int excludeId);
void enumerateSvbony(CameraEntryList& list, int excludeId);
// Runs "uvc_camera.exe" from the program folder and reads the device list it leaves in the
// settings folder.
void enumerateUvc(CameraEntryList& list, int excludeId, const QString& programFolder);
void enumerateCanon(CameraEntryList& list, int excludeId);
