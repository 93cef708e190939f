#pragma once

// A main window driven headless: dialogs answered by script, photos written on the fly.

#include <memory>

#include <QAction>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "Main.h"
#include "PictureSurface.h"
#include "ScriptedDialogs.h"
#include "ScrollBar.h"
#include "TestPictures.h"

class MainFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<Main>(&dialogs);
        window->show();
    }

    // Loads `path` through File / "Load Photo".
    void load(const QString& path) {
        dialogs.openAnswers.push_back(path);
        window->onFileLoad();
    }

    // Writes `image` as a lossless BMP and loads it.
    void loadPicture(const QImage& image, const QString& name = QStringLiteral("photo.bmp")) {
        load(writePicture(dir, name, image, "BMP"));
    }

    const QImage& viewport() const { return window->Pic->image(); }
    const QImage& photo() const { return window->Orgineel->image(); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Main> window;
};
