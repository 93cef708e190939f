#pragma once

#include <QString>

// A 6000 x 4000 (24-megapixel) camera-like JPEG, made once per run in a temporary folder.
const QString& cameraJpeg();
