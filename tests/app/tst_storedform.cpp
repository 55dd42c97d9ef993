// The stored main window: its layout file, the loader, the button property
// bags and the art.

#include "radiosala.h"

#include <bag/BagStream.h>
#include <button/kxButtons_H.h>
#include <forms/AnimatedGif.h>
#include <forms/ImageControl.h>
#include <forms/MultiLineTextBox.h>
#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QString formsDir()
{
    return QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala");
}

QByteArray fileBytes(const QString &name)
{
    QFile f(formsDir() + QLatin1Char('/') + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("fontTenThousandths");
    QTest::addColumn<qint64>("back");
    QTest::addColumn<qint64>("fore");      // -1: not stored
    QTest::addColumn<qint64>("hoverBack"); // -1: not stored
    QTest::addColumn<qint64>("hoverFore");
    QTest::addColumn<int>("lock");         // -1: not stored
    QTest::addColumn<int>("imageSize");    // pixels, -1: not stored
    QTest::addColumn<int>("pictureAlign"); // -1: not stored
    QTest::addColumn<int>("iconSide");     // largest image, 0: no picture

    const qint64 face = 0x8000000F;
    auto row = [](const char *n, const char *cap, int pt, qint64 back, qint64 fore, qint64 hb, qint64 hf, int lock, int size,
                  int align, int icon) {
        QTest::newRow(n) << QString::fromLatin1(n) << QString::fromUtf8(cap) << pt << back << fore << hb << hf << lock << size << align
                         << icon;
    };
    row("abre", "Abre", 90000, face, -1, 0x00FFFF, -1, 1, -1, 2, 32);
    row("fecha", "Fecha", 90000, face, -1, 0x00FFFF, -1, 1, -1, -1, 32);
    row("limpa_chat", "Limpar CHAT", 90000, 0x80FFFF, -1, -1, -1, -1, -1, -1, 0);
    row("gravar_chat", "Gravar CHAT", 90000, 0x80FF80, -1, -1, -1, -1, -1, -1, 0);
    row("ler_chat", "Ler CHAT", 90000, 0xFFFF80, -1, -1, -1, -1, -1, -1, 0);
    row("envia_texto", "Envia texto", 90000, face, -1, -1, -1, -1, -1, -1, 0);
    row("limpa_texto", "Limpa texto", 90000, face, -1, -1, -1, -1, -1, -1, 0);
    row("liga_ptt", "LIGA", 97500, 0x0080FF, 0xC00000, 0x0000FF, 0, 3, 32, -1, 32);
    row("desliga_ptt", "DESLIGA", 97500, 0x0080FF, 0xC00000, 0x0000FF, 0, 3, 32, -1, 32);
    row("reinicializa", "Reinicializar", 97500, 0x00FFFF, -1, 0x00FF00, 0x800000, 3, -1, -1, 0);
    row("sobre_", "Sobre", 97500, face, -1, -1, -1, -1, 32, -1, 32);
    row("ajuda", "Ajuda", 97500, face, -1, -1, -1, -1, 32, -1, 48);
    row("encerra", "SAIR", 142500, 0x0000C0, 0xFFFFFF, 0x00FFFF, 0, 3, 32, -1, 32);
    const char *grid[][2] = {{"admin", "Admin"},       {"admins", "Admins"},         {"servidor_ativo", "Servidor"},
                             {"usuarios", "Usuários"}, {"muta", "Mute"},             {"unmute", "UnMute"},
                             {"ocupado", "Ocupado"},   {"mute_chat", "Mute chat"},   {"conecta", "Conecta"},
                             {"desconecta", "DesConecta"}, {"desocupado", "Desocupado"}, {"unmute_chat", "UnMute chat"},
                             {"banir", "Banir"},       {"Desbanir", "DesBanir"},     {"banidos", "Banidos"},
                             {"versao", "Versão"},     {"derrubar", "Derrubar"},     {"kxButtons_H2", "Mostra IP"},
                             {"kxButtons_H1", "Estatística"}, {"lista", "Lista"}};
    for (const auto &g : grid)
        row(g[0], g[1], 90000, face, -1, -1, -1, -1, -1, -1, 0);
}

void tst_storedform::storedBags()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, fontTenThousandths);
    QFETCH(qint64, back);
    QFETCH(qint64, fore);
    QFETCH(qint64, hoverBack);
    QFETCH(qint64, hoverFore);
    QFETCH(int, lock);
    QFETCH(int, imageSize);
    QFETCH(int, pictureAlign);
    QFETCH(int, iconSide);

    const bag::ReadResult stream = bag::readStream(fileBytes(name + QStringLiteral(".bag")));
    QVERIFY2(stream.ok(), stream.ok() ? "" : qPrintable(stream.error->toString()));
    QVERIFY(stream.skipped.isEmpty());
    const bag::PropertyBag &b = stream.bag;

    // What every stored button holds.
    QCOMPARE(b.readInt32(QStringLiteral("CapAlign"), -1), 2);
    QCOMPARE(b.readInt32(QStringLiteral("cGradient"), -1), 0);
    QCOMPARE(b.readInt32(QStringLiteral("Mode"), -1), 0);
    QVERIFY(b.contains(QStringLiteral("Value")));
    QCOMPARE(b.readBool(QStringLiteral("Value"), true), false);

    QCOMPARE(b.readText(QStringLiteral("Caption"), {}), caption);
    const bag::FontValue font = b.readFont(QStringLiteral("Font"), {});
    QCOMPARE(font.name, QStringLiteral("Times New Roman"));
    QCOMPARE(int(font.size), fontTenThousandths);
    QCOMPARE(int(font.weight), 700);
    QCOMPARE(quint32(b.readInt32(QStringLiteral("cBack"), 0)), quint32(back));
    auto optional = [&](const char *key) -> qint64 {
        return b.contains(QString::fromLatin1(key)) ? qint64(quint32(b.readInt32(QString::fromLatin1(key), 0))) : -1;
    };
    QCOMPARE(optional("cFore"), fore);
    QCOMPARE(optional("cBHover"), hoverBack);
    QCOMPARE(optional("cFHover"), hoverFore);
    QCOMPARE(optional("LockHover"), qint64(lock));
    QCOMPARE(b.contains(QStringLiteral("ImgSize")) ? int(b.readInt16(QStringLiteral("ImgSize"), 0)) : -1, imageSize);
    QCOMPARE(optional("ImgAlign"), qint64(pictureAlign));
    const bag::PictureValue picture = b.readPicture(QStringLiteral("Image"));
    QCOMPARE(picture.isEmpty(), iconSide == 0);
    if (iconSide) {
        QCOMPARE(picture.kind(), bag::PictureValue::Kind::Icon);
        QCOMPARE(picture.width(), iconSide);
        QCOMPARE(picture.imageCount(), iconSide == 48 ? 3 : 1);
    }

    // The loaded control holds the same.
    radiosala window(formsDir());
    kxButtons_H *button = window.button(name);
    QVERIFY(button);
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(quint32(button->BackColor()), quint32(back));
    QCOMPARE(button->PictureSize(), imageSize == 32 ? 2 : 0);
    QCOMPARE(button->Mode(), 0);
    QCOMPARE(button->Value(), false);
}

void tst_storedform::art()
{
    // Window icon: one 32 x 32 image of 16 colours.
    const QByteArray ico = fileBytes(QStringLiteral("radiosala.ico"));
    QVERIFY(ico.size() > 22 + 40);
    QCOMPARE(qFromLittleEndian<quint16>(ico.constData() + 4), quint16(1));
    QCOMPARE(quint8(ico.at(6)), quint8(32));
    QCOMPARE(quint8(ico.at(7)), quint8(32));
    const quint32 offset = qFromLittleEndian<quint32>(ico.constData() + 18);
    QCOMPARE(qFromLittleEndian<quint16>(ico.constData() + offset + 14), quint16(4)); // bits per pixel

    // Banner: 274 x 51, 24 bits per pixel.
    const QByteArray bmp = fileBytes(QStringLiteral("banner.bmp"));
    QVERIFY(bmp.startsWith("BM") && bmp.size() > 54);
    QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 18), 274);
    QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 22), 51);
    QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(24));
    {
        // The window holds exactly what Qt's own reader makes of it.
        radiosala window(formsDir());
        const auto *banner = window.form().control<forms::ImageControl>(QStringLiteral("Image1"));
        QVERIFY(banner);
        QVERIFY(banner->isStretched());
        const QImage shown = banner->picture().convertToFormat(QImage::Format_RGB32);
        const QImage read = QImage(formsDir() + QStringLiteral("/banner.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(274, 51));
        QVERIFY(shown == read);
    }

    // Animations: frame count, size, timing and repeats.
    struct Gif
    {
        const char *file;
        QSize size;
        int frames;
        int delay;
        int loops; // QMovie's count: -1 forever
    };
    const Gif gifs[] = {{"mastro.gif", {35, 45}, 10, 100, 9999}, {"onda.gif", {280, 120}, 19, 70, -1}};
    for (const Gif &g : gifs) {
        QImageReader reader(formsDir() + QLatin1Char('/') + QLatin1String(g.file));
        QCOMPARE(reader.size(), g.size);
        QCOMPARE(reader.imageCount(), g.frames);
        QCOMPARE(reader.loopCount(), g.loops);
        for (int i = 0; i < g.frames; ++i) {
            QVERIFY(!reader.read().isNull());
            QCOMPARE(reader.nextImageDelay(), g.delay);
        }
    }

    // In the shown window both animations play, scaled into their controls
    // with their proportions kept, centred on the back colour.
    radiosala window(formsDir());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const Gif &g : gifs) {
        const QString name = QLatin1String(g.file == gifs[0].file ? "AniGIF1" : "AniGIF2");
        auto *gif = window.form().control<forms::AnimatedGif>(name);
        QVERIFY(gif);
        QVERIFY(gif->isPlaying());
        QCOMPARE(gif->naturalSize(), g.size);
        const QSize scaled = g.size.scaled(gif->size(), Qt::KeepAspectRatio);
        QCOMPARE(gif->scaledSize(), scaled);
        QTRY_VERIFY_WITH_TIMEOUT(gif->currentFrame() > 0, 3 * g.delay + 1000);

        const QImage shot = gif->grab().toImage();
        const QRect image(QPoint((gif->width() - scaled.width()) / 2, (gif->height() - scaled.height()) / 2), scaled);
        QVERIFY2(image.top() > 0 || image.left() > 0, name.toLatin1());
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


// Whatever a button's surface holds when someone looks is a full, current
// composition: composing it again changes no pixel. Buttons are drawn by
// the paint that first shows them, so this holds for a window never shown,
// for the buttons on screen, and for those the narrow window clips away
// until it is widened.
void tst_storedform::shownButtonsComposed()
{
    // A button on screen has been drawn by its paint: it owes no picture.
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
