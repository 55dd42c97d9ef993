// The stored main window: its layout file, the loader, the button property
// bags and the art.

#include "radiosala.h"

#include <bag/BagListing.h>
#include <bag/BagStream.h>
#include <button/kxButtons_H.h>
#include <forms/AnimatedGif.h>
#include <forms/ImageControl.h>
#include <forms/MultiLineTextBox.h>
#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString formsDir() { return QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala"); }

QString sourceDir() { return QStringLiteral(RADIOSALA_TEST_FORMS_SOURCE_DIR "/radiosala"); }

} // namespace

class tst_storedform : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void tabOrder();
    void storedBags_data();
    void storedBags();
    void art();
    void shownButtonsComposed();
    void damagedStoredFiles_data();
    void damagedStoredFiles();
};

void tst_storedform::placement_data()
{
    // Twips at 15 per pixel, relative to the container's client area.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("Text1") << "Text1" << "Frame1" << QRect(8, 16, 305, 121);
    QTest::newRow("Shape1") << "Shape1" << "Frame4" << QRect(32, 16, 33, 33);
    QTest::newRow("lista") << "lista" << "Frame8" << QRect(344, 152, 81, 25);
    QTest::newRow("Label1") << "Label1" << "radiosala" << QRect(456, 56, 257, 449);
    QTest::newRow("encerra") << "encerra" << "radiosala" << QRect(624, 512, 97, 49);
    QTest::newRow("AniGIF2") << "AniGIF2" << "Picture1" << QRect(312, 0, 96, 48);
}

void tst_storedform::placement()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, pixels);
    radiosala window(formsDir());
    QVERIFY2(window.isLoaded(), qPrintable(window.loadError()));
    auto *widget = qobject_cast<QWidget *>(window.form().find(name));
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), pixels);
}

void tst_storedform::tabOrder()
{
    radiosala window(formsDir());
    // Walk the focus chain from Text1 (tab index 5) through the focusable
    // controls: they come in rising tab index.
    const QStringList expected = {"Text1", "Text2", "abre", "fecha", "limpa_chat", "gravar_chat", "ler_chat",
                                  "envia_texto", "limpa_texto", "reinicializa", "desliga_ptt", "liga_ptt",
                                  "encerra", "ajuda", "sobre_", "admin", "Text3", "muta", "Text4"};
    QStringList walked;
    QWidget *w = window.Text1;
    while (walked.size() < expected.size()) {
        if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty() && window.form().find(w->objectName()))
            walked << w->objectName();
        w = w->nextInFocusChain();
    }
    QCOMPARE(walked, expected);
}

void tst_storedform::storedBags_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &listing : QDir(sourceDir()).entryList({QStringLiteral("*.txt")}))
        QTest::newRow(qPrintable(listing)) << QFileInfo(listing).completeBaseName();
}

void tst_storedform::storedBags()
{
    // Each stored bag holds what its listing says, and the loaded button
    // what its bag holds.
    QFETCH(QString, name);
    const QDir source(sourceDir());
    QFile listing(source.filePath(name + QStringLiteral(".txt")));
    QVERIFY(listing.open(QIODevice::ReadOnly));
    const bag::ListingResult parsed = bag::parseListing(
        QString::fromUtf8(listing.readAll()), [&](const QString &path, QString *) -> std::optional<QByteArray> {
            QFile f(source.filePath(path));
            return f.open(QIODevice::ReadOnly) ? std::optional<QByteArray>(f.readAll()) : std::nullopt;
        });
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : qPrintable(parsed.error->toString()));
    QFile stored(formsDir() + QLatin1Char('/') + name + QStringLiteral(".bag"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const bag::ReadResult stream = bag::readStream(stored.readAll());
    QVERIFY2(stream.ok(), stream.ok() ? "" : qPrintable(stream.error->toString()));
    QVERIFY(stream.skipped.isEmpty());
    const bag::PropertyBag &b = stream.bag;
    QVERIFY(b == parsed.bag);

    radiosala window(formsDir());
    kxButtons_H *button = window.button(name);
    QVERIFY(button);
    QCOMPARE(button->Caption(), b.readText(QStringLiteral("Caption"), {}));
    QCOMPARE(quint32(button->BackColor()), quint32(b.readInt32(QStringLiteral("cBack"), 0)));
    QCOMPARE(button->Picture() != nullptr, !b.readPicture(QStringLiteral("Image")).isEmpty());
}

void tst_storedform::art()
{
    // The banner is stretched; both animations play, scaled into their
    // controls with their proportions kept, centred on the back colour.
    radiosala window(formsDir());
    const auto *banner = window.form().control<forms::ImageControl>(QStringLiteral("Image1"));
    QVERIFY(banner && banner->isStretched() && !banner->picture().isNull());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const auto &[name, file] : {std::pair{"AniGIF1", "/mastro.gif"}, std::pair{"AniGIF2", "/onda.gif"}}) {
        auto *gif = window.form().control<forms::AnimatedGif>(QLatin1String(name));
        QVERIFY(gif && gif->isPlaying());
        QCOMPARE(gif->naturalSize(), QImageReader(formsDir() + QLatin1String(file)).size());
        const QSize scaled = gif->naturalSize().scaled(gif->size(), Qt::KeepAspectRatio);
        QCOMPARE(gif->scaledSize(), scaled);
        QTRY_VERIFY_WITH_TIMEOUT(gif->currentFrame() > 0, 3000);
        const QImage shot = gif->grab().toImage();
        const QRect image(QPoint((gif->width() - scaled.width()) / 2, (gif->height() - scaled.height()) / 2), scaled);
        QVERIFY2(image.top() > 0 || image.left() > 0, name);
        const QPoint outside = image.top() > 0 ? QPoint(gif->width() / 2, 0) : QPoint(0, gif->height() / 2);
        QCOMPARE(shot.pixelColor(outside), QColor(0xC0, 0xC0, 0xC0));
    }

    // Hidden, the clock stops; shown again, it goes on from the same frame.
    auto *wave = window.form().control<forms::AnimatedGif>(QStringLiteral("AniGIF2"));
    window.hide();
    const int stopped = wave->currentFrame();
    QTest::qWait(3 * 70);
    QCOMPARE(wave->currentFrame(), stopped);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(wave->currentFrame() != stopped);
}

// A button's surface, when someone looks, is a full and current composition
// (composing again changes no pixel): in a window never shown, on screen, and
// once the narrow window is widened. On screen, it owes no picture.
void tst_storedform::shownButtonsComposed()
{
    const auto composed = [](kxButtons_H *button, bool onScreen = true) {
        if (onScreen && button->isPictureOwed())
            return false;
        const HDC dc = button->hDC();
        const QImage shown = gdi::bitmapImage(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP))).copy();
        if (shown.size() != button->size())
            return false;
        button->Refresh();
        return shown == gdi::bitmapImage(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
    };

    {
        radiosala hidden(formsDir());
        QVERIFY2(hidden.isLoaded(), qPrintable(hidden.loadError()));
        kxButtons_H *sobre = hidden.button(QStringLiteral("sobre_"));
        QVERIFY(sobre && !sobre->isVisible());
        QVERIFY(composed(sobre, false));
    }

    radiosala window(formsDir());
    QVERIFY2(window.isLoaded(), qPrintable(window.loadError()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QList<kxButtons_H *> buttons = window.findChildren<kxButtons_H *>();
    QCOMPARE(buttons.size(), 33);
    QList<kxButtons_H *> clipped;
    for (kxButtons_H *button : buttons) {
        if (button->visibleRegion().isEmpty()) {
            clipped.append(button);
            continue;
        }
        QVERIFY2(composed(button), qPrintable(button->objectName()));
    }
    // The narrow window leaves out the About, help and exit buttons.
    QCOMPARE(clipped.size(), 3);

    window.abre_Click();
    QCoreApplication::processEvents();
    for (kxButtons_H *button : std::as_const(clipped)) {
        QVERIFY2(!button->visibleRegion().isEmpty(), qPrintable(button->objectName()));
        QVERIFY2(composed(button), qPrintable(button->objectName()));
    }
}

// A stored file that is missing, cut short or empty stops the window with
// a message naming that file; nothing is half built from it.
void tst_storedform::damagedStoredFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("keep"); // bytes kept; -1: the file is removed
    QTest::addColumn<QString>("message");

    QTest::newRow("bag missing") << "sobre_.bag" << -1 << "No such file";
    QTest::newRow("bag cut short") << "sobre_.bag" << 100 << "sobre_.bag";
    QTest::newRow("bag empty") << "abre.bag" << 0 << "abre.bag";
    QTest::newRow("layout missing") << "radiosala.json" << -1 << "No such file";
    QTest::newRow("layout cut short") << "radiosala.json" << 2000 << "radiosala.json";
    QTest::newRow("picture missing") << "banner.bmp" << -1 << "not found";
    QTest::newRow("picture cut short") << "banner.bmp" << 40 << "banner.bmp";
}

void tst_storedform::damagedStoredFiles()
{
    QFETCH(QString, file);
    QFETCH(int, keep);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir source(formsDir());
    for (const QString &name : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(name), dir.filePath(name)));
    const QString damaged = dir.filePath(file);
    if (keep < 0) {
        QVERIFY(QFile::remove(damaged));
    } else {
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(keep));
    }

    radiosala window(dir.path());
    QVERIFY(!window.isLoaded());
    QVERIFY2(window.loadError().contains(file) && window.loadError().contains(message), qPrintable(window.loadError()));
}

QTEST_MAIN(tst_storedform)
#include "tst_storedform.moc"
