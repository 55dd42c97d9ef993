#pragma once
// Run-time errors of the forms runtime.
//
// RuntimeError is thrown by host calls that fail the way the runtime's raise
// an error (an invalid property value, a refused picture); a caller may catch
// it. One that is not caught inside a UserControl event handler reaches
// raiseRuntimeError, the runtime's standard error report, which ends the
// program.

#include <QList>
#include <QString>

#include <exception>
#include <functional>
#include <string>

namespace host {

class RuntimeError : public std::exception
{
public:
    RuntimeError(int number, const QString &description);
    const char *what() const noexcept override { return m_what.c_str(); }

    int number;
    QString description;

private:
    std::string m_what;
};

// Standard error numbers and their descriptions.
inline constexpr int ErrInvalidProcedureCall = 5;   // "Invalid procedure call or argument"
inline constexpr int ErrInvalidPropertyValue = 380; // "Invalid property value"
QString standardErrorDescription(int number);

// The text of the report: "Run-time error 'N':" CR LF CR LF description.
QString runtimeErrorText(int number, const QString &description);

// Shows the report as a critical message box titled App::Title(), writes it
// to stderr and ends the program with exit status 1, without unwinding.
// When an interceptor is installed it is called instead, and this returns.
void raiseRuntimeError(int number, const QString &description);
inline void raiseRuntimeError(const RuntimeError &error)
{
    raiseRuntimeError(error.number, error.description);
}

using RuntimeErrorInterceptor = std::function<void(int number, const QString &description)>;
RuntimeErrorInterceptor setRuntimeErrorInterceptor(RuntimeErrorInterceptor interceptor);

// Called once the report has been shown, just before the program ends: the
// last chance to keep data the user has not saved. It must not return to
// the failed operation (it may throw nothing, and the program ends after it).
void setRuntimeErrorExitHook(std::function<void()> hook);

// Records the reports made while it lives, instead of ending the program.
class RuntimeErrorRecorder
{
public:
    struct Report
    {
        int number;
        QString description;
    };
    RuntimeErrorRecorder();
    ~RuntimeErrorRecorder();
    RuntimeErrorRecorder(const RuntimeErrorRecorder &) = delete;
    RuntimeErrorRecorder &operator=(const RuntimeErrorRecorder &) = delete;

    const QList<Report> &reports() const { return m_reports; }

private:
    QList<Report> m_reports;
    RuntimeErrorInterceptor m_previous;
};

} // namespace host
