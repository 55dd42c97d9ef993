// Writes the fuzzer's seed corpus: small valid .ico files at every depth,
// several sizes in one file, a PNG entry, and .bmp files.

#include <Pictures.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>

using pictures::Image;
using pictures::sample;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));
    auto write = [&](const QString &name, const QByteArray &data) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    };
    bool ok = true;
    for (int bpp : {1, 4, 8, 24, 32})
        ok &= write(QStringLiteral("ico%1.ico").arg(bpp), pictures::ico({sample(bpp, 3, 2)}));
    ok &= write(QStringLiteral("sizes.ico"), pictures::ico({sample(8, 16, 16), sample(32, 5, 4), sample(24, 2, 7)}));
    QImage png(3, 3, QImage::Format_ARGB32);
    png.fill(qRgba(10, 20, 30, 128));
    Image entry;
    entry.width = entry.height = 3;
    entry.png = pictures::pngOf(png);
    ok &= write(QStringLiteral("png.ico"), pictures::ico({entry, sample(4, 3, 3)}));
    ok &= write(QStringLiteral("b24.bmp"), pictures::bmp(sample(24, 3, 2)));
    ok &= write(QStringLiteral("b8.bmp"), pictures::bmp(sample(8, 5, 3), true));
    return ok ? 0 : 1;
}
