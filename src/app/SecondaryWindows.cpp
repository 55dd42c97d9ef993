#include "SecondaryWindows.h"

#include <host/twips.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace {

void showEmptyModal(QWidget *owner, const QString &caption, int widthTwips, int heightTwips)
{
    QDialog window(owner);
    window.setWindowTitle(caption);
    window.setFixedSize(host::twipsToPixels(widthTwips), host::twipsToPixels(heightTwips));
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.exec();
}

} // namespace

void showSobre(QWidget *owner)
{
    showEmptyModal(owner, QStringLiteral("Sobre"), 4680, 5175);
}

void showAjudas(QWidget *owner)
{
    showEmptyModal(owner, QStringLiteral("Ajudas"), 5325, 6045);
}
