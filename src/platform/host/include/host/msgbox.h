#pragma once
// Message boxes and the system beep of the forms runtime.
//
// Tests (and hosts without a screen) install an interceptor: while one is
// installed, MsgBox calls it instead of showing anything and returns its
// answer. MsgBoxRecorder is the usual interceptor.

#include <QList>
#include <QString>

#include <functional>

namespace host {

enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

enum MsgBoxResult {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

// Shows a modal message box: buttons from the low bits of style, icon from
// vbCritical/vbQuestion/vbExclamation/vbInformation. An empty title means
// App::Title(). UI thread only. Returns the button chosen (closing the box
// counts as Cancel when there is one, else as the only or last button).
int MsgBox(const QString &prompt, int style = vbOKOnly, const QString &title = QString());

// The default system beep.
void Beep();

using MsgBoxInterceptor = std::function<int(const QString &prompt, int style, const QString &title)>;
// Installs (or, with an empty function, removes) the interceptor; returns the
// one it replaced. The title passed to it is already resolved (never empty).
MsgBoxInterceptor setMsgBoxInterceptor(MsgBoxInterceptor interceptor);

// Records every message box while it lives, answering each with answer().
class MsgBoxRecorder
{
public:
    struct Call
    {
        QString prompt;
        int style;
        QString title;
    };

    explicit MsgBoxRecorder(int answer = vbOK);
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder &) = delete;
    MsgBoxRecorder &operator=(const MsgBoxRecorder &) = delete;

    const QList<Call> &calls() const { return m_calls; }
    void clear() { m_calls.clear(); }
    int beeps() const;

private:
    QList<Call> m_calls;
    int m_answer;
    int m_beepsAtStart;
    MsgBoxInterceptor m_previous;
};

} // namespace host
