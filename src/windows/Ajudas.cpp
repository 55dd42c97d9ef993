#include <windows/Ajudas.h>

#include <windows/SecondaryWindows.h>

#include <button/kxButtons_H.h>
#include <forms/MultiLineTextBox.h>
#include <host/msgbox.h>

#include <QIcon>
#include <QPixmap>

namespace windows {

Ajudas::Ajudas(const QString &formsDirectory, const DataPaths &paths, QWidget *owner)
    : host::Form(owner)
    , m_paths(paths)
{
    QString error;
    if (!forms::loadForm(formsDirectory, QStringLiteral("Ajudas"), this, &m_form, &error)) {
        m_loadError = error.isEmpty() ? QStringLiteral("Ajudas: no stored window") : error;
        return;
    }
    Text1 = m_form.control<forms::MultiLineTextBox>(QStringLiteral("Text1"));
    auto *lerPdf = m_form.control<kxButtons_H>(QStringLiteral("ler_pdf"));
    auto *retornas = m_form.control<kxButtons_H>(QStringLiteral("retornas"));
    if (!Text1 || !lerPdf || !retornas) {
        m_loadError = QStringLiteral("Ajudas: the layout lacks Text1, ler_pdf or retornas");
        return;
    }
    Text1->setAccessibleName(QStringLiteral("Texto de ajuda"));
    connect(lerPdf, &kxButtons_H::Click, this, &Ajudas::ler_pdf_Click);
    connect(retornas, &kxButtons_H::Click, this, &Ajudas::retornas_Click);
    // The window has no icon of its own; without one it would show its
    // owner's.
    QPixmap none(16, 16);
    none.fill(Qt::transparent);
    setWindowIcon(QIcon(none));
}

void Ajudas::ler_pdf_Click()
{
    host::Beep();
    showComandos(this, m_paths);
}

void Ajudas::retornas_Click()
{
    Unload();
}

} // namespace windows
