#include <host/app.h>
#include <host/msgbox.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <atomic>
#include <cstdio>

namespace host {

namespace {

QString &titleStorage()
{
    static QString title;
    return title;
}

MsgBoxInterceptor &interceptor()
{
    static MsgBoxInterceptor current;
    return current;
}

std::atomic<int> g_beeps{0};

} // namespace

QString App::Title()
{
    const QString &title = titleStorage();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

void App::setTitle(const QString &title)
{
    titleStorage() = title;
}

int MsgBox(const QString &prompt, int style, const QString &title)
{
    const QString caption = title.isEmpty() ? App::Title() : title;
    if (interceptor())
        return interceptor()(prompt, style, caption);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // No widgets to show a box with: the text goes to stderr, and the
        // answer is the default button's.
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(prompt));
        static const int buttonCount[] = {1, 2, 3, 3, 2, 2};
        const int set = (style & 0x0F) <= vbRetryCancel ? (style & 0x0F) : 0;
        const int index = qMin((style & 0x300) >> 8, buttonCount[set] - 1);
        static const int answers[6][3] = {{vbOK}, {vbOK, vbCancel}, {vbAbort, vbRetry, vbIgnore},
                                          {vbYes, vbNo, vbCancel}, {vbYes, vbNo}, {vbRetry, vbCancel}};
        return answers[set][index];
    }

    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(prompt);
    switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct Choice
    {
        int result;
        QMessageBox::StandardButton button;
    };
    QList<Choice> choices;
    switch (style & 0x0F) {
    case vbOKCancel: choices = {{vbOK, QMessageBox::Ok}, {vbCancel, QMessageBox::Cancel}}; break;
    case vbAbortRetryIgnore:
        choices = {{vbAbort, QMessageBox::Abort}, {vbRetry, QMessageBox::Retry}, {vbIgnore, QMessageBox::Ignore}};
        break;
    case vbYesNoCancel:
        choices = {{vbYes, QMessageBox::Yes}, {vbNo, QMessageBox::No}, {vbCancel, QMessageBox::Cancel}};
        break;
    case vbYesNo: choices = {{vbYes, QMessageBox::Yes}, {vbNo, QMessageBox::No}}; break;
    case vbRetryCancel: choices = {{vbRetry, QMessageBox::Retry}, {vbCancel, QMessageBox::Cancel}}; break;
    default: choices = {{vbOK, QMessageBox::Ok}}; break;
    }
    for (const Choice &c : choices)
        box.addButton(c.button);
    const int defaultIndex = qMin(int((style & 0x300) >> 8), int(choices.size()) - 1);
    box.setDefaultButton(choices[defaultIndex].button);
    const int clicked = box.exec();
    for (const Choice &c : choices) {
        if (c.button == clicked)
            return c.result;
    }
    // Closed without a button: Cancel when offered, else the last button.
    for (const Choice &c : choices) {
        if (c.result == vbCancel)
            return vbCancel;
    }
    return choices.last().result;
}

void Beep()
{
    ++g_beeps;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

// Declared for tests in host/testsupport/HostHooks.h.
int beepCount()
{
    return g_beeps.load();
}

MsgBoxInterceptor setMsgBoxInterceptor(MsgBoxInterceptor replacement)
{
    MsgBoxInterceptor previous = std::move(interceptor());
    interceptor() = std::move(replacement);
    return previous;
}

MsgBoxRecorder::MsgBoxRecorder(int answer)
    : m_answer(answer)
    , m_beepsAtStart(beepCount())
{
    m_previous = setMsgBoxInterceptor([this](const QString &prompt, int style, const QString &title) {
        m_calls.append(Call{prompt, style, title});
        return m_answer;
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    setMsgBoxInterceptor(std::move(m_previous));
}

int MsgBoxRecorder::beeps() const
{
    return beepCount() - m_beepsAtStart;
}

} // namespace host
