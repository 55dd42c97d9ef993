#pragma once

#include <windows/DataPaths.h>

#include <forms/FormLoader.h>
#include <host/form.h>

namespace forms {
class MultiLineTextBox;
}

namespace windows {

// The help window: a fixed help text (fresh at every opening, editable but
// never kept), a button that opens the command list modally on top of it and
// one that returns. Built from the stored layout "Ajudas".
class Ajudas : public host::Form
{
    Q_OBJECT

public:
    explicit Ajudas(const QString &formsDirectory, const DataPaths &paths, QWidget *owner = nullptr);

    bool isLoaded() const { return m_loadError.isEmpty(); }
    QString loadError() const { return m_loadError; }
    const forms::LoadedForm &form() const { return m_form; }

    forms::MultiLineTextBox *Text1 = nullptr;

public slots:
    void ler_pdf_Click();
    void retornas_Click();

private:
    forms::LoadedForm m_form;
    QString m_loadError;
    DataPaths m_paths;
};

} // namespace windows
