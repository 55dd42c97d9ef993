// The frame control's etched edges and caption gap, read back from pixels.

#include <forms/FrameControl.h>

#include <gdi/gdi.h>
#include <host/olecolor.h>

#include <QImage>
#include <QTest>

using forms::FrameControl;

namespace {

constexpr QRgb Backdrop = 0xFFFF00FF; // shows through wherever the frame draws nothing

} // namespace

class tst_FrameControl : public QObject
{
    Q_OBJECT

private slots:
    void edges_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("captioned") << QStringLiteral("Estações") << QSize(160, 90);
        QTest::newRow("no caption") << QString() << QSize(60, 40);
        QTest::newRow("caption wider than the frame") << QStringLiteral("Controle da Radiosala") << QSize(40, 30);
    }

    void edges()
    {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        FrameControl frame(caption);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        font.setBold(true);
        frame.setFont(font);
        frame.resize(size);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Backdrop);
        frame.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const auto sys = [](int index) { return host::toQColor(0x80000000u + index).rgb(); }; // a system colour
        const QRgb shadow = sys(COLOR_BTNSHADOW);
        const QRgb light = sys(COLOR_BTNHIGHLIGHT);
        const int w = size.width(), h = size.height();
        const int top = frame.edgeTop();
        QCOMPARE(top, QFontMetrics(font).height() / 2);
        const int midY = (top + h) / 2;
        const int midX = w - 4;

        // Left and right grooves: shadow outside-left, highlight inside; the
        // right side mirrored.
        QCOMPARE(image.pixel(0, midY), shadow);
        QCOMPARE(image.pixel(1, midY), light);
        QCOMPARE(image.pixel(2, midY), Backdrop);
        QCOMPARE(image.pixel(w - 2, midY), shadow);
        QCOMPARE(image.pixel(w - 1, midY), light);
        QCOMPARE(image.pixel(w - 3, midY), Backdrop);
        // Bottom groove.
        QCOMPARE(image.pixel(midX, h - 2), shadow);
        QCOMPARE(image.pixel(midX, h - 1), light);
        // Nothing above the top edge at the left corner.
        QCOMPARE(image.pixel(0, top - 1), Backdrop);
        // The top groove left of the caption; the gap where the caption
        // begins; the groove again past a short caption.
        QCOMPARE(image.pixel(2, top), shadow);
        QCOMPARE(image.pixel(2, top + 1), light);
        if (caption.isEmpty()) {
            QCOMPARE(image.pixel(FrameControl::CaptionLeft - 1, top), shadow);
            QCOMPARE(image.pixel(w / 2, top), shadow);
        } else {
            QCOMPARE(image.pixel(FrameControl::CaptionLeft - 1, top), Backdrop);
            QCOMPARE(image.pixel(FrameControl::CaptionLeft - 1, top + 1), Backdrop);
            const int textRight = FrameControl::CaptionLeft + QFontMetrics(font).horizontalAdvance(caption);
            if (textRight + 3 < w - 2) {
                QCOMPARE(image.pixel(textRight + 3, top), shadow);
                QCOMPARE(image.pixel(textRight + 1, top), Backdrop);
            } else {
                QCOMPARE(image.pixel(w - 3, top), Backdrop);
            }
            // The caption is drawn in the text colour somewhere in its box.
            bool inked = false;
            for (int y = 0; y < QFontMetrics(font).height() && !inked; ++y)
                for (int x = FrameControl::CaptionLeft; x < std::min(w - 2, textRight) && !inked; ++x)
                    inked = qGray(image.pixel(x, y)) < 64;
            QVERIFY(inked);
        }
    }
};

QTEST_MAIN(tst_FrameControl)
#include "tst_framecontrol.moc"
