// File / "Print Photo" of the main window: a fresh modal print window on the passport photo,
// gone once closed.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "printing/Afdrukken.h"
#include "workspace/Main.h"
#include "platform/widgets/PictureButton.h"
#include "platform/widgets/PictureSurface.h"
#include "PrintTestSupport.h"
#include "TestPictures.h"

namespace {

TEST(MainPrint, OpensAFreshModalWindowEachTimeAndDestroysItAfter) {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Main main(MainServices{&dialogs, {}, {QString(), dir.filePath(QStringLiteral("chosen.pdf"))}});
    const QImage photo = codedPicture(127, 163);
    main.passportPhoto() = photo;

    QPointer<Afdrukken> first;
    QTimer::singleShot(0, [&] {
        first = main.findChild<Afdrukken*>();
        ASSERT_TRUE(first);
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), first.data());
        // Preview pixel (6, 6) samples photo pixel (3, 3).
        EXPECT_EQ(first->Picture1->image().pixel(6, 6), photo.pixel(3, 3));
        first->Text1->setText(QStringLiteral("Changed"));
        first->PrintKnop->click();  // onto the printer File / "Setup Printer" chose
        first->ExitKnop->click();
    });
    main.onFilePrint();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(pdfFacts(main.printerChoice().pdfFile).pages, 1);
    EXPECT_EQ(main.passportPhoto(), photo);

    QString secondText;
    QTimer::singleShot(0, [&] {
        Afdrukken* second = main.findChild<Afdrukken*>();
        ASSERT_TRUE(second);
        secondText = second->Text1->text();
        second->reject();  // the title bar's close: no animation
    });
    main.onFilePrint();
    EXPECT_EQ(secondText, QStringLiteral("Nederland"));
    EXPECT_EQ(main.findChild<Afdrukken*>(), nullptr);
}

}  // namespace
