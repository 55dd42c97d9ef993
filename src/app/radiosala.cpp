#include "radiosala.h"

#include "ChatFile.h"
#include "ChatJournal.h"

#include <button/kxButtons_H.h>
#include <echolink/Automation.h>
#include <forms/MultiLineTextBox.h>
#include <forms/ShapeControl.h>
#include <host/msgbox.h>
#include <host/olecolor.h>
#include <host/twips.h>
#include <windows/SecondaryWindows.h>

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr host::OLE_COLOR Green = 0x00FF00;
constexpr host::OLE_COLOR Red = 0x0000FF;
constexpr host::OLE_COLOR LinkDownGrey = 0xC0C0C0;

// Station text separates its lines with CR; the label shows them as lines.
QString stationLines(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

} // namespace

radiosala::radiosala(const QString &formsDirectory, QWidget *parent)
    : host::Form(parent)
    , m_openAbout([](QWidget *owner) { windows::showSobre(owner); })
    , m_openHelp([](QWidget *owner) { windows::showAjudas(owner); })
{
    QString error;
    if (!forms::loadForm(formsDirectory, QStringLiteral("radiosala"), this, &m_form, &error)) {
        m_loadError = error;
        return;
    }
    bindControls();
    if (m_loadError.isEmpty())
        setOuterWidth(m_form.data.width);
}

radiosala::~radiosala() = default;

QString radiosala::chatFileName()
{
    return QString::fromLatin1(chatfile::FileName);
}

void radiosala::setJournal(ChatJournal *journal)
{
    if (m_journal)
        disconnect(m_journal, nullptr, this, nullptr);
    m_journal = journal;
    if (!journal)
        return;
    // Queued: a message box opened inside the chat handler would run the
    // next chat events under it, out of order.
    connect(journal, &ChatJournal::writeFailed, this,
            [](const QString &message) { host::MsgBox(message, host::vbExclamation); }, Qt::QueuedConnection);
}

int radiosala::clientWidthFor(int outerTwips)
{
    return host::twipsToPixels(outerTwips - 2 * FrameTwips);
}

kxButtons_H *radiosala::button(const QString &name) const
{
    return m_form.control<kxButtons_H>(name);
}

void radiosala::bindControls()
{
    auto need = [this](auto *&field, const char *name) {
        using T = std::remove_pointer_t<std::remove_reference_t<decltype(field)>>;
        field = m_form.control<T>(QString::fromLatin1(name));
        if (!field && m_loadError.isEmpty())
            m_loadError = QStringLiteral("radiosala: the layout has no control %1 of the right kind").arg(QLatin1String(name));
    };
    need(Text1, "Text1");
    need(Text2, "Text2");
    need(Text3, "Text3");
    need(Text4, "Text4");
    need(Text5, "Text5");
    need(Text6, "Text6");
    need(Text7, "Text7");
    need(Check1, "Check1");
    need(Shape1, "Shape1");
    need(Label1, "Label1");
    need(Timer1, "Timer1");

    struct Binding
    {
        const char *name;
        void (radiosala::*handler)();
    };
    static constexpr Binding clicks[] = {
        {"abre", &radiosala::abre_Click},
        {"fecha", &radiosala::fecha_Click},
        {"sobre_", &radiosala::sobre__Click},
        {"ajuda", &radiosala::ajuda_Click},
        {"encerra", &radiosala::encerra_Click},
        {"admin", &radiosala::admin_Click},
        {"admins", &radiosala::admins_Click},
        {"servidor_ativo", &radiosala::servidor_ativo_Click},
        {"usuarios", &radiosala::usuarios_Click},
        {"muta", &radiosala::muta_Click},
        {"unmute", &radiosala::unmute_Click},
        {"ocupado", &radiosala::ocupado_Click},
        {"mute_chat", &radiosala::mute_chat_Click},
        {"conecta", &radiosala::conecta_Click},
        {"desconecta", &radiosala::desconecta_Click},
        {"desocupado", &radiosala::desocupado_Click},
        {"unmute_chat", &radiosala::unmute_chat_Click},
        {"banir", &radiosala::banir_Click},
        {"Desbanir", &radiosala::Desbanir_Click},
        {"banidos", &radiosala::banidos_Click},
        {"versao", &radiosala::versao_Click},
        {"derrubar", &radiosala::derrubar_Click},
        {"kxButtons_H2", &radiosala::kxButtons_H2_Click},
        {"kxButtons_H1", &radiosala::kxButtons_H1_Click},
        {"lista", &radiosala::lista_Click},
        {"liga_ptt", &radiosala::liga_ptt_Click},
        {"desliga_ptt", &radiosala::desliga_ptt_Click},
        {"reinicializa", &radiosala::reinicializa_Click},
        {"envia_texto", &radiosala::envia_texto_Click},
        {"limpa_texto", &radiosala::limpa_texto_Click},
        {"limpa_chat", &radiosala::limpa_chat_Click},
        {"gravar_chat", &radiosala::gravar_chat_Click},
        {"ler_chat", &radiosala::ler_chat_Click},
    };
    for (const Binding &b : clicks) {
        kxButtons_H *control = button(QString::fromLatin1(b.name));
        if (!control) {
            if (m_loadError.isEmpty())
                m_loadError = QStringLiteral("radiosala: the layout has no button %1").arg(QLatin1String(b.name));
            continue;
        }
        connect(control, &kxButtons_H::Click, this, b.handler);
    }
    if (!m_loadError.isEmpty())
        return;

    // The indicator's colours, as a screen reader says them (and counts
    // them: no link, idle, receiving).
    Shape1->setColourMeaning(host::toQColor(LinkDownGrey), QStringLiteral("Sem conexão"));
    Shape1->setColourMeaning(host::toQColor(Green), QStringLiteral("Livre"));
    Shape1->setColourMeaning(host::toQColor(Red), QStringLiteral("Recebendo"));
    describeForAssistiveTechnology();

    for (QLineEdit *box : {Text2, Text3, Text4, Text5, Text6, Text7})
        box->installEventFilter(this);
    connect(Text1, &QPlainTextEdit::textChanged, this, &radiosala::Text1_Change);
    connect(Timer1, &QTimer::timeout, this, &radiosala::Timer1_Timer);
}

bool radiosala::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text2 && event->type() == QEvent::KeyPress) {
        // Character keys only, as a key-press handler sees them; Enter is 13.
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty()) {
            int KeyAscii = key->text().at(0).unicode();
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                KeyAscii = 13;
            Text2_KeyPress(KeyAscii);
        }
        return false; // the key goes on to the box either way
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        auto *box = static_cast<QWidget *>(watched);
        if (box->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            if (watched == Text3)
                Text3_Click();
            else if (watched == Text4)
                Text4_Click();
            else if (watched == Text5)
                Text5_Click();
            else if (watched == Text6)
                Text6_Click();
            else if (watched == Text7)
                Text7_Click();
        }
    }
    return host::Form::eventFilter(watched, event);
}

// --- start-up and window -----------------------------------------------------

void radiosala::Form_Load(echolink::Automation &echo)
{
    Echo = &echo;
    connect(Echo, &echolink::Automation::ChatTextReceived, this, &radiosala::Echo_ChatTextReceived);
    connect(Echo, &echolink::Automation::StationTextReceived, this, &radiosala::Echo_StationTextReceived);

    // From here on a failing step is skipped.
    try {
        const QString callsign = Echo->StationInfo().Callsign;
        setWindowTitle(QStringLiteral("Radiosala por ZZ9XQ para ") + callsign);
    } catch (const echolink::AutomationError &) {
    }
    Text2->setText(QString());
    Text2->setFocus();
}

void radiosala::setOuterWidth(int twips)
{
    // The height never changes; the user cannot resize the window.
    setFixedSize(clientWidthFor(twips), height());
}

void radiosala::abre_Click()
{
    setOuterWidth(WideWidth);
}

void radiosala::fecha_Click()
{
    setOuterWidth(NarrowWidth);
}

void radiosala::sobre__Click()
{
    host::Beep();
    if (m_openAbout)
        m_openAbout(this);
}

void radiosala::ajuda_Click()
{
    host::Beep();
    if (m_openHelp)
        m_openHelp(this);
}

void radiosala::encerra_Click()
{
    close();
}

// --- commands ------------------------------------------------------------------

bool radiosala::sendChat(const QString &text)
{
    try {
        Echo->SendChatText(text);
        if (m_journal)
            m_journal->sent(text);
        return true;
    } catch (const echolink::AutomationError &e) {
        host::MsgBox(QStringLiteral("Não foi possível enviar o texto à estação:\r\n") + e.description()
                         + QStringLiteral("\r\n\r\nO texto não foi perdido."),
                     host::vbExclamation);
        return false;
    }
}

void radiosala::admin_Click() { sendChat(QStringLiteral(".admin ") + Text3->text()); }
void radiosala::admins_Click() { sendChat(QStringLiteral(".admins")); }
void radiosala::servidor_ativo_Click() { sendChat(QStringLiteral(".uptime")); }
void radiosala::usuarios_Click() { sendChat(QStringLiteral(".users")); }
void radiosala::muta_Click() { sendChat(QStringLiteral(".mute ") + Text4->text()); }
void radiosala::unmute_Click() { sendChat(QStringLiteral(".unmute ") + Text4->text()); }
void radiosala::ocupado_Click() { sendChat(QStringLiteral(".busy on")); }
void radiosala::mute_chat_Click() { sendChat(QStringLiteral(".mute chat")); }
void radiosala::conecta_Click() { sendChat(QStringLiteral(".connect ") + Text5->text()); }
void radiosala::desconecta_Click() { sendChat(QStringLiteral(".disconnect ") + Text5->text()); }
void radiosala::desocupado_Click() { sendChat(QStringLiteral(".busy off")); }
void radiosala::unmute_chat_Click() { sendChat(QStringLiteral(".unmute chat")); }
void radiosala::banir_Click() { sendChat(QStringLiteral(".ban add ") + Text6->text()); }
void radiosala::Desbanir_Click() { sendChat(QStringLiteral(".ban delete ") + Text6->text()); }
void radiosala::banidos_Click() { sendChat(QStringLiteral(".ban list")); }
void radiosala::versao_Click() { sendChat(QStringLiteral(".version")); }
void radiosala::derrubar_Click() { sendChat(QStringLiteral(".kick ") + Text7->text()); }
void radiosala::kxButtons_H2_Click() { sendChat(QStringLiteral(".showip ")); }
void radiosala::kxButtons_H1_Click() { sendChat(QStringLiteral(".stat ")); }
void radiosala::lista_Click() { sendChat(QStringLiteral(".list")); }

void radiosala::Text3_Click() { Text3->setText(QString()); }
void radiosala::Text4_Click() { Text4->setText(QString()); }
void radiosala::Text5_Click() { Text5->setText(QString()); }
void radiosala::Text6_Click() { Text6->setText(QString()); }
void radiosala::Text7_Click() { Text7->setText(QString()); }

void radiosala::liga_ptt_Click()
{
    try {
        Echo->PTT(true);
    } catch (const echolink::AutomationError &) {
        // Keying is best effort: the transmitter state shows on the station.
    }
}

void radiosala::desliga_ptt_Click()
{
    try {
        Echo->PTT(false);
    } catch (const echolink::AutomationError &) {
    }
}

void radiosala::reinicializa_Click()
{
    try {
        Echo->Reinitialize();
    } catch (const echolink::AutomationError &e) {
        host::MsgBox(QStringLiteral("Não foi possível reinicializar a estação:\r\n") + e.description(),
                     host::vbExclamation);
    }
}

// --- sending chat text -----------------------------------------------------------

void radiosala::sendFromText2()
{
    const QString text = Check1->checkState() == Qt::Checked ? QStringLiteral(".quote ") + Text2->text() : Text2->text();
    if (sendChat(text))
        Text2->setText(QString());
}

void radiosala::envia_texto_Click()
{
    sendFromText2();
}

void radiosala::Text2_KeyPress(int &KeyAscii)
{
    if (KeyAscii != 13)
        return;
    sendFromText2();
    Text2->setFocus();
}

void radiosala::limpa_texto_Click()
{
    Text2->setText(QString());
}

// --- reception, indicator and chat log ----------------------------------------------

void radiosala::Echo_ChatTextReceived(const QString &stexto)
{
    // In the journal first: once the line is on screen it is in the file.
    if (m_journal)
        m_journal->received(stexto);
    Text1->appendText(stexto + QLatin1String("\r\n"));
    announceChat(stexto);
}

void radiosala::Echo_StationTextReceived(const QString &sText)
{
    Label1->setText(stationLines(sText));
}

void radiosala::Text1_Change()
{
    Text1->setSelStart(Text1->textLength());
}

void radiosala::Timer1_Timer()
{
    try {
        const bool receiving = Echo && Echo->IsReceiving();
        Shape1->setFillColor(host::toQColor(receiving ? Red : Green));
        m_linkDownReported = false;
    } catch (const echolink::AutomationError &e) {
        Shape1->setFillColor(host::toQColor(LinkDownGrey));
        if (!m_linkDownReported) {
            // Set first: the message box runs its own event loop and the
            // timer keeps ticking under it.
            m_linkDownReported = true;
            host::MsgBox(QStringLiteral("A conexão com a estação caiu:\r\n") + e.description()
                             + QStringLiteral("\r\n\r\nO indicador fica cinza até a estação voltar a responder."),
                         host::vbExclamation);
        }
    }
}

void radiosala::limpa_chat_Click()
{
    Text1->setText(QString());
}

void radiosala::gravar_chat_Click()
{
    QString error;
    if (!chatfile::save(chatFileName(), Text1->text(), &error)) {
        host::MsgBox(QStringLiteral("Não foi possível gravar o CHAT em \"%1\":\r\n%2\r\n\r\nO texto continua na janela.")
                         .arg(QDir::current().absoluteFilePath(chatFileName()), error),
                     host::vbExclamation);
    }
}

void radiosala::ler_chat_Click()
{
    QString name = chatFileName();
    if (!ExisteArquivo(name)) {
        host::MsgBox(QStringLiteral("Grave o texto primeiro!"), host::vbOKOnly);
        return;
    }
    QString error;
    if (const auto text = chatfile::load(name, &error))
        Text1->setText(*text);
    // An unreadable file leaves the chat as it is.
}

bool radiosala::ExisteArquivo(QString &Arquivo) const
{
    // A directory search for normal files: hidden files, directories and
    // special files are not found. Wildcards work as in a search. Names are
    // matched with their case, as the file system opens them: a file of
    // another case is not the one asked for.
    const QFileInfo info(Arquivo);
    if (info.fileName().isEmpty())
        return false;
    const QDir dir(info.path());
    return !dir.entryList({info.fileName()}, QDir::Files | QDir::CaseSensitive).isEmpty();
}
