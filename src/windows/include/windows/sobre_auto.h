#pragma once

#include <forms/FormLoader.h>
#include <host/form.h>

class kxButtons_H;

namespace windows {

// The About window: program name, version, author and credits, a donation
// notice and a button that opens the author's web page. Built from the
// stored layout "sobre_auto"; shown modally, centred on the screen.
class sobre_auto : public host::Form
{
    Q_OBJECT

public:
    // Loads "<formsDirectory>/sobre_auto.json". On a fault the window is
    // empty and loadError() says why.
    explicit sobre_auto(const QString &formsDirectory, QWidget *owner = nullptr);

    bool isLoaded() const { return m_loadError.isEmpty(); }
    QString loadError() const { return m_loadError; }
    const forms::LoadedForm &form() const { return m_form; }

    // The author's web page: http, the author's host, port 2000, path "/".
    static QString pageAddress();

public slots:
    void visitar_servidor_Click();
    void retornar_Click();

private:
    forms::LoadedForm m_form;
    QString m_loadError;
};

} // namespace windows
