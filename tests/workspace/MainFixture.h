#pragma once

// A main window driven headless: dialogs answered by script, photos written on the fly.

#include <memory>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/files/PhotoPixels.h"
#include "workspace/Main.h"
#include "platform/widgets/PictureSurface.h"
#include "ScriptedDialogs.h"
#include "platform/widgets/ScrollBar.h"
#include "TestPictures.h"

class MainFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<Main>(MainServices{&dialogs});
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

    // The window's photo session, and from it the loaded photo as an image (null before the
    // first load; valid while that photo stays loaded) and the remembered path.
    const view::PhotoSession& session() const { return window->session(); }
    QImage backPic() const {
        const auto& loaded = session().photo();
        return loaded ? imageOf(*loaded) : QImage();
    }
    QString photoFileName() const { return QString::fromStdString(session().PhotoFileName()); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Main> window;
};

// Everything a failed load must leave alone.
struct WindowState {
    std::shared_ptr<const raster::Photo> loadedPhoto;
    QImage viewport, passport;
    QString filenameCaption, info;
    bool zoomEnabled, editEnabled, flipEnabled, saveEnabled, printEnabled, passportEnabled,
        photoLoaded,
        grabberVisible;
    int hMin, hMax, hValue, vMin, vMax, vValue, percent;

    explicit WindowState(Main& w)
        : loadedPhoto(w.session().photo()),
          viewport(w.Pic->image().copy()),
          passport(w.Orgineel->image().copy()),
          filenameCaption(w.Filename->text()),
          info(w.InfoLabel->text()),
          zoomEnabled(w.ZoomSize->menuAction()->isEnabled()),
          editEnabled(w.Edit->menuAction()->isEnabled()),
          flipEnabled(w.Flip->menuAction()->isEnabled()),
          saveEnabled(w.FileSave->menuAction()->isEnabled()),
          printEnabled(w.FilePrint->isEnabled()),
          passportEnabled(w.FilePassport->isEnabled()),
          photoLoaded(w.session().PhotoLoaded()),
          grabberVisible(w.grabberVisible()),
          hMin(w.HScroll1->min()), hMax(w.HScroll1->max()), hValue(w.HScroll1->value()),
          vMin(w.VScroll1->min()), vMax(w.VScroll1->max()), vValue(w.VScroll1->value()),
          percent(w.checkedPercent()) {}

    void expectSame(const WindowState& o) const {
        EXPECT_TRUE(viewport == o.viewport);
        EXPECT_EQ(loadedPhoto, o.loadedPhoto);  // the very same photo, untouched
        EXPECT_TRUE(passport == o.passport);
        EXPECT_EQ(filenameCaption, o.filenameCaption);
        EXPECT_EQ(info, o.info);
        EXPECT_EQ(zoomEnabled, o.zoomEnabled);
        EXPECT_EQ(editEnabled, o.editEnabled);
        EXPECT_EQ(flipEnabled, o.flipEnabled);
        EXPECT_EQ(saveEnabled, o.saveEnabled);
        EXPECT_EQ(printEnabled, o.printEnabled);
        EXPECT_EQ(passportEnabled, o.passportEnabled);
        EXPECT_EQ(photoLoaded, o.photoLoaded);
        EXPECT_EQ(grabberVisible, o.grabberVisible);
        EXPECT_EQ(hMin, o.hMin);
        EXPECT_EQ(hMax, o.hMax);
        EXPECT_EQ(hValue, o.hValue);
        EXPECT_EQ(vMin, o.vMin);
        EXPECT_EQ(vMax, o.vMax);
        EXPECT_EQ(vValue, o.vValue);
        EXPECT_EQ(percent, o.percent);
    }
};
