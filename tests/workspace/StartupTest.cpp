#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "Main.h"
#include "PictureSurface.h"
#include "ScriptedDialogs.h"

TEST(Startup, Screenshot) {
    ScriptedDialogs dialogs;
    Main window(&dialogs);
    window.show();
    window.grab().save("/tmp/main.png");
}
