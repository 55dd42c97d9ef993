// Twips and scale conversions, message boxes, the run-time error report,
// pictures, fonts and the toolkit's language.

#include <Mutator.h>
#include <Pictures.h>

#include <host/msgbox.h>
#include <host/runtimeerror.h>
#include <host/stdfont.h>
#include <host/stdpicture.h>
#include <host/translations.h>
#include <host/twips.h>

#include <gdi/bridge.h>
#include <gdi/testsupport/GdiHooks.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray iconFile() { return pictures::icon(16, qRgb(255, 0, 0)); }
QByteArray cursorFile(QPoint hotSpot = {}) { return pictures::icon(16, qRgb(255, 0, 0), 2, hotSpot); }
QByteArray bitmapFile() { return pictures::bmp24(2, 2, [](int x, int) { return x ? qRgb(0, 255, 0) : qRgb(255, 0, 0); }); }

} // namespace

class tst_HostMisc : public QObject
{
    Q_OBJECT

private slots:
    void twips_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel") << 15.0 << 1;
        QTest::newRow("a stored width") << 1095.0 << 73;
        QTest::newRow("just under a half rounds down") << 22.0 << 1;
        QTest::newRow("just over a half rounds up") << 23.0 << 2;
        QTest::newRow("half to even, down") << 37.5 << 2;
        QTest::newRow("half to even, up") << 22.5 << 2;
        QTest::newRow("half of one pixel to zero") << 7.5 << 0;
        QTest::newRow("negative") << -22.0 << -1;
    }

    void twips()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(host::twipsToPixels(twips), pixels);
        if (twips == int(twips))
            QCOMPARE(host::twipsToPixels(int(twips)), pixels);
        QCOMPARE(host::pixelsToTwips(pixels), pixels * 15);
    }

    void scaleModes_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<double>("expected");
        QTest::newRow("pixels to twips") << 78.0 << int(host::vbPixels) << int(host::vbTwips) << false << 1170.0;
        QTest::newRow("an inch of twips to himetric") << 1440.0 << int(host::vbTwips) << int(host::vbHimetric) << false << 2540.0;
        QTest::newRow("inch to points") << 1.0 << int(host::vbInches) << int(host::vbPoints) << true << 72.0;
        QTest::newRow("character width") << 1.0 << int(host::vbCharacters) << int(host::vbTwips) << false << 120.0;
        QTest::newRow("character height") << 1.0 << int(host::vbCharacters) << int(host::vbTwips) << true << 240.0;
        QTest::newRow("centimetres to millimetres") << 2.0 << int(host::vbCentimeters) << int(host::vbMillimeters) << false << 20.0;
    }

    void scaleModes()
    {
        QFETCH(double, value);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, vertical);
        QFETCH(double, expected);
        double result = 0;
        QVERIFY(host::convertScale(value, from, to, vertical, &result));
        QCOMPARE(result, expected);
        QVERIFY(!host::convertScale(value, host::vbUser, to, vertical, &result));
        QVERIFY(!host::convertScale(value, from, host::vbContainerSize, vertical, &result));
    }

    void messageBoxesCarryTheTitle()
    {
        // (A title given, or set for the program: the control's design messages.)
        host::MsgBoxRecorder boxes(host::vbOK);
        QCoreApplication::setApplicationName("radiosala");
        QCOMPARE(host::MsgBox("Grave o texto primeiro!", host::vbOKOnly), int(host::vbOK));
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].title, QString("radiosala")); // the application's name by default
        host::Beep();
        QCOMPARE(boxes.beeps(), 1);
    }

    void toolkitSpeaksPortuguese()
    {
        QVERIFY(host::installToolkitTranslations());
        QLineEdit edit(QStringLiteral("texto"));
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList items;
        for (const QAction *action : menu->actions())
            items << action->text().section(u'\t', 0, 0).remove(u'&');
        for (const char *item : {"Desfazer", "Copiar", "Colar"})
            QVERIFY2(items.contains(QLatin1String(item)), qPrintable(items.join(u'|')));
        const QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove(u'&'), QStringLiteral("Sim"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Cancelar"));
    }

    void runtimeErrorReport()
    {
        QCOMPARE(host::runtimeErrorText(380, "Invalid property value"),
                 QString("Run-time error '380':\r\n\r\nInvalid property value"));
        {
            host::RuntimeErrorRecorder errors;
            host::raiseRuntimeError(host::RuntimeError(424, host::standardErrorDescription(424)));
            QCOMPARE(errors.reports().size(), 1);
            QCOMPARE(errors.reports()[0].number, 424);
            QCOMPARE(errors.reports()[0].description, QString("Object required"));
        }
        // Without an interceptor the program shows the report and ends with
        // a failure status; nothing after the report runs.
        QProcess helper;
        helper.setProgram(QStringLiteral(HOST_RUNTIMEERROR_HELPER));
        helper.setProcessEnvironment([] {
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            return env;
        }());
        helper.start();
        QVERIFY(helper.waitForFinished(30000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 1);
        const QString out = QString::fromUtf8(helper.readAllStandardOutput());
        QVERIFY2(!out.contains("still running"), qPrintable(out));
        const QString expectedText = QString::fromUtf8(
            QString("Run-time error '53':\r\n\r\nFile not found").toUtf8().toPercentEncoding());
        QCOMPARE(out.trimmed(), QString("box style=16 title=Radiosala text=%1\nexit hook").arg(expectedText));
        QVERIFY(helper.readAllStandardError().contains("Run-time error '53':"));
    }

    void loadPicture_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("type"); // -1: refused
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<int>("himetric"); // the width, in hundredths of a millimetre
        const QByteArray icon = iconFile();
        QTest::newRow("icon") << icon << 3 << QSize(16, 16) << 423;
        QTest::newRow("cursor") << cursorFile(QPoint(3, 5)) << 3 << QSize(16, 16) << 423;
        QTest::newRow("bitmap") << bitmapFile() << 1 << QSize(2, 2) << 53;
        QTest::newRow("nothing is an empty picture") << QByteArray() << 0 << QSize(0, 0) << 0;
        QTest::newRow("unknown format") << QByteArray("GIF-ish nonsense") << -1 << QSize() << 0;
        QTest::newRow("icon cut in its image") << icon.left(100) << -1 << QSize() << 0;
        QTest::newRow("bitmap cut in its pixels") << bitmapFile().chopped(1) << -1 << QSize() << 0;
    }

    void loadPicture()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, type);
        QFETCH(QSize, pixels);
        QFETCH(int, himetric);
        const int before = gdi::liveObjectsTotal();
        QString error;
        host::StdPicturePtr picture = host::LoadPicture(data, &error);
        if (type < 0) {
            QVERIFY(!picture);
            QVERIFY(!error.isEmpty());
            QCOMPARE(gdi::liveObjectsTotal(), before);
            return;
        }
        QVERIFY2(picture, qPrintable(error));
        QCOMPARE(picture->Type(), type);
        QCOMPARE(QSize(picture->pixelWidth(), picture->pixelHeight()), pixels);
        QCOMPARE(picture->Width(), himetric);
        QCOMPARE(picture->data(), data); // kept for storing again
        QCOMPARE(picture->Handle() != 0, type != 0);
        QCOMPARE(gdi::liveObjectsTotal() > before, type != 0);
        picture.reset(); // the picture deletes what it owns
        QCOMPARE(gdi::liveObjectsTotal(), before);
    }

    void damagedPicturesAreRefusedWithoutHarm()
    {
        // Seeded damage (cuts among it) to valid files gives either a
        // picture or an error, never a crash or a leak.
        const int before = gdi::liveObjectsTotal();
        const QList<QByteArray> files{iconFile(), cursorFile(QPoint(1, 1)), bitmapFile()};
        mutator::run(files, 20261206, 3000, [](const QByteArray &file) {
            QString error;
            const host::StdPicturePtr picture = host::LoadPicture(file, &error);
            QVERIFY(picture || !error.isEmpty());
        });
        QCOMPARE(gdi::liveObjectsTotal(), before);
        QString error;
        QVERIFY(!host::LoadPictureFile("/nonexistent/picture.ico", &error));
        QVERIFY(error.contains("/nonexistent/picture.ico"));
    }

    void fontIsSharedAndBoldIsWeight()
    {
        host::StdFontPtr font = std::make_shared<host::StdFont>("Times New Roman", 9);
        host::StdFontPtr same = font; // object assignment shares
        same->setBold(true);
        QVERIFY(font->Bold());
        QCOMPARE(font->Weight(), short(700));
        font->setWeight(400);
        QVERIFY(!same->Bold());
        font->setWeight(600);
        QVERIFY(same->Bold());
        QVERIFY(!font->setSize(0));
        QVERIFY(!font->setSize(std::nan("")));
        QCOMPARE(font->Size(), 9.0);
        const host::StdFontPtr copy = font->clone();
        copy->setItalic(true);
        QVERIFY(!font->Italic());
        QVERIFY(!copy->sameAs(*font));
        QCOMPARE(font->toQFont().pointSizeF(), 9.0);
        QCOMPARE(font->toQFont().weight(), QFont::DemiBold);
    }
};

QTEST_MAIN(tst_HostMisc)
#include "tst_hostmisc.moc"
