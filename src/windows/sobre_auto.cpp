#include <windows/sobre_auto.h>

#include <windows/Author.h>

#include <button/kxButtons_H.h>

#include <QDesktopServices>
#include <QUrl>

namespace windows {

sobre_auto::sobre_auto(const QString &formsDirectory, QWidget *owner)
    : host::Form(owner)
{
    QString error;
    if (!forms::loadForm(formsDirectory, QStringLiteral("sobre_auto"), this, &m_form, &error)) {
        m_loadError = error.isEmpty() ? QStringLiteral("sobre_auto: no stored window") : error;
        return;
    }
    auto *visitar = m_form.control<kxButtons_H>(QStringLiteral("visitar_servidor"));
    auto *retornar = m_form.control<kxButtons_H>(QStringLiteral("retornar"));
    if (!visitar || !retornar) {
        m_loadError = QStringLiteral("sobre_auto: the layout lacks the button visitar_servidor or retornar");
        return;
    }
    connect(visitar, &kxButtons_H::Click, this, &sobre_auto::visitar_servidor_Click);
    connect(retornar, &kxButtons_H::Click, this, &sobre_auto::retornar_Click);
}

QString sobre_auto::pageAddress()
{
    return QStringLiteral("http://%1:%2/").arg(QLatin1String(author::WebHost)).arg(author::WebPort);
}

void sobre_auto::visitar_servidor_Click()
{
    // No browser, no network: nothing is said and the window stays.
    QDesktopServices::openUrl(QUrl(pageAddress()));
}

void sobre_auto::retornar_Click()
{
    Unload();
}

} // namespace windows
