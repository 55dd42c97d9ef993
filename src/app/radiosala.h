#pragma once

#include <forms/FormLoader.h>
#include <host/form.h>

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class ChatJournal;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class kxButtons_H;

namespace echolink {
class Automation;
}
namespace forms {
class Announcer;
class MultiLineTextBox;
class ShapeControl;
}

// The conference control window. Built from its stored layout; the handlers
// keep the names of the controls and events that raise them. The automation
// link `Echo` is handed in by Form_Load and is not owned here.
class radiosala : public host::Form
{
    Q_OBJECT

public:
    // Outer widths of the two display states, in twips, and the frame the
    // window has on each side around its client area.
    static constexpr int NarrowWidth = 6810;
    static constexpr int WideWidth = 11055;
    static constexpr int FrameTwips = 45;

    // Builds the window from "<formsDirectory>/radiosala.json". On a fault
    // the window is empty and loadError() says why.
    explicit radiosala(const QString &formsDirectory, QWidget *parent = nullptr);
    ~radiosala() override;

    bool isLoaded() const { return m_loadError.isEmpty(); }
    QString loadError() const { return m_loadError; }
    const forms::LoadedForm &form() const { return m_form; }

    // Opening the secondary windows; replaceable so that the About and help
    // windows plug in (and tests can watch).
    using WindowOpener = std::function<void(QWidget *owner)>;
    void setAboutOpener(WindowOpener opener) { m_openAbout = std::move(opener); }
    void setHelpOpener(WindowOpener opener) { m_openHelp = std::move(opener); }

    // The automation link; null before Form_Load.
    echolink::Automation *Echo = nullptr;

    // The file name the chat is saved to and loaded from (relative: the
    // current directory).
    static QString chatFileName();

    // The journal that every line received or sent is copied to; none by
    // default. Not owned. Its failures are reported in a message box once
    // the handler that met them is done.
    void setJournal(ChatJournal *journal);

public slots:
    // Start-up after the automation object exists: binds it and its two
    // events, sets the caption, empties and focuses Text2.
    void Form_Load(echolink::Automation &echo);

    void abre_Click();
    void fecha_Click();
    void sobre__Click();
    void ajuda_Click();
    void encerra_Click();

    // Command grid.
    void admin_Click();
    void admins_Click();
    void servidor_ativo_Click();
    void usuarios_Click();
    void muta_Click();
    void unmute_Click();
    void ocupado_Click();
    void mute_chat_Click();
    void conecta_Click();
    void desconecta_Click();
    void desocupado_Click();
    void unmute_chat_Click();
    void banir_Click();
    void Desbanir_Click();
    void banidos_Click();
    void versao_Click();
    void derrubar_Click();
    void kxButtons_H2_Click();
    void kxButtons_H1_Click();
    void lista_Click();

    void Text3_Click();
    void Text4_Click();
    void Text5_Click();
    void Text6_Click();
    void Text7_Click();

    void liga_ptt_Click();
    void desliga_ptt_Click();
    void reinicializa_Click();

    void envia_texto_Click();
    void Text2_KeyPress(int &KeyAscii);
    void limpa_texto_Click();

    void Echo_ChatTextReceived(const QString &stexto);
    void Echo_StationTextReceived(const QString &sText);
    void Text1_Change();
    void Timer1_Timer();

    void limpa_chat_Click();
    void gravar_chat_Click();
    void ler_chat_Click();

public:
    bool ExisteArquivo(QString &Arquivo) const;

    // Controls, for the handlers and for tests.
    forms::MultiLineTextBox *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text5 = nullptr;
    QLineEdit *Text6 = nullptr;
    QLineEdit *Text7 = nullptr;
    QCheckBox *Check1 = nullptr;
    forms::ShapeControl *Shape1 = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;
    kxButtons_H *button(const QString &name) const;

    // Width of the window's client area in pixels for an outer width in twips.
    static int clientWidthFor(int outerTwips);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindControls();
    // Names, descriptions and relations for assistive technology.
    void describeForAssistiveTechnology();
    // Has a screen reader read a received chat line wherever the focus is.
    void announceChat(const QString &line);
    void setOuterWidth(int twips);
    // Sends one chat line; on failure tells the user and returns false.
    bool sendChat(const QString &text);
    void sendFromText2();

    forms::LoadedForm m_form;
    QString m_loadError;
    WindowOpener m_openAbout;
    WindowOpener m_openHelp;
    bool m_linkDownReported = false;
    QPointer<ChatJournal> m_journal;
    forms::Announcer *m_chatAnnouncer = nullptr;
};
