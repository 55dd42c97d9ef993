// The single-line text box's sunken edge, read back from pixels, and the text
// kept inside it.

#include <forms/SingleLineTextBox.h>

#include <gdi/gdi.h>
#include <host/olecolor.h>

#include <QImage>
#include <QTest>

using forms::SingleLineTextBox;

class tst_SingleLineTextBox : public QObject
{
    Q_OBJECT

private slots:
    void edge_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::newRow("empty") << QString() << QSize(80, 25);
        QTest::newRow("text wider than the box") << QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW") << QSize(60, 23);
    }

    void edge()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        SingleLineTextBox box(text);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        font.setBold(true);
        box.setFont(font);
        QPalette palette = box.palette();
        palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xC0));
        box.setPalette(palette);
        box.resize(size);
        box.setCursorPosition(0);
        const QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int w = size.width(), h = size.height();
        const auto sys = [](int index) { return host::toQColor(0x80000000u + index).rgb(); }; // a system colour
        const QRgb shadow = sys(COLOR_BTNSHADOW), dark = sys(COLOR_3DDKSHADOW);
        const QRgb light = sys(COLOR_BTNHIGHLIGHT), face = sys(COLOR_3DLIGHT);
        const QRgb base = qRgb(0xFF, 0xFF, 0xC0);

        // Two rings; just inside them the box is its back colour: the text
        // keeps clear of the edge on every side.
        for (int x = 2; x < w - 2; ++x) {
            QCOMPARE(image.pixel(x, 0), shadow);
            QCOMPARE(image.pixel(x, 1), dark);
            QCOMPARE(image.pixel(x, 2), base);
            QCOMPARE(image.pixel(x, h - 3), base);
            QCOMPARE(image.pixel(x, h - 2), face);
            QCOMPARE(image.pixel(x, h - 1), light);
        }
        for (int y = 2; y < h - 2; ++y) {
            QCOMPARE(image.pixel(0, y), shadow);
            QCOMPARE(image.pixel(1, y), dark);
            QCOMPARE(image.pixel(2, y), base);
            QCOMPARE(image.pixel(w - 2, y), face);
            QCOMPARE(image.pixel(w - 1, y), light);
        }
        // Text, when there is some, is drawn inside.
        bool inked = false;
        for (int y = 3; y < h - 3 && !inked; ++y)
            for (int x = 3; x < w - 3 && !inked; ++x)
                inked = qGray(image.pixel(x, y)) < 64;
        QCOMPARE(inked, !text.isEmpty());
    }
};

QTEST_MAIN(tst_SingleLineTextBox)
#include "tst_singlelinetextbox.moc"
