#pragma once

#include <QString>

class CameraDevice;

// The camera label of the main window: "No Camera", or the name (with the sensor's, where
// the camera has one), the size and, for a colour sensor, its Bayer code.
QString cameraLabelText(const CameraDevice& camera, bool noCamera);
