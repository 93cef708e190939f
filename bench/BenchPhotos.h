#pragma once

#include <QImage>
#include <QString>

// A 6000 x 4000 (24-megapixel) camera-like JPEG, made once per run in a temporary folder.
const QString& cameraJpeg();

// A 6000 x 4000 photo of a real face (a test photo enlarged), in memory and as a JPEG file
// made once per run in a temporary folder.
const QImage& faceCameraPhoto();
const QString& faceCameraJpeg();
