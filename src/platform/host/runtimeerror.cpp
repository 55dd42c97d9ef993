#include <host/app.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>

#include <QApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace host {

namespace {

RuntimeErrorInterceptor &interceptor()
{
    static RuntimeErrorInterceptor current;
    return current;
}

std::function<void()> &exitHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

RuntimeError::RuntimeError(int number, const QString &description)
    : number(number)
    , description(description)
    , m_what(QStringLiteral("Run-time error '%1': %2").arg(number).arg(description).toStdString())
{
}

QString standardErrorDescription(int number)
{
    switch (number) {
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 70: return QStringLiteral("Permission denied");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 380: return QStringLiteral("Invalid property value");
    case 424: return QStringLiteral("Object required");
    case 481: return QStringLiteral("Invalid picture");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

QString runtimeErrorText(int number, const QString &description)
{
    return QStringLiteral("Run-time error '%1':\r\n\r\n%2").arg(number).arg(description);
}

void raiseRuntimeError(int number, const QString &description)
{
    if (interceptor()) {
        interceptor()(number, description);
        return;
    }
    const QString text = runtimeErrorText(number, description);
    std::fprintf(stderr, "%s\n", qUtf8Printable(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))));
    std::fflush(stderr);
    // The box needs the UI thread; from any other the report is stderr only.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())
        && QThread::currentThread() == QCoreApplication::instance()->thread())
        MsgBox(text, vbCritical | vbOKOnly, App::Title());
    if (std::function<void()> hook = std::exchange(exitHook(), {})) {
        try {
            hook();
        } catch (...) {
            // Ending anyway: the report has been made.
        }
    }
    // The program ends here, as the runtime's report does: no handler of the
    // failed operation runs again.
    std::fflush(nullptr);
    std::_Exit(1);
}

void setRuntimeErrorExitHook(std::function<void()> hook)
{
    exitHook() = std::move(hook);
}

RuntimeErrorInterceptor setRuntimeErrorInterceptor(RuntimeErrorInterceptor replacement)
{
    RuntimeErrorInterceptor previous = std::move(interceptor());
    interceptor() = std::move(replacement);
    return previous;
}

RuntimeErrorRecorder::RuntimeErrorRecorder()
{
    m_previous = setRuntimeErrorInterceptor([this](int number, const QString &description) {
        m_reports.append(Report{number, description});
    });
}

RuntimeErrorRecorder::~RuntimeErrorRecorder()
{
    setRuntimeErrorInterceptor(std::move(m_previous));
}

} // namespace host
