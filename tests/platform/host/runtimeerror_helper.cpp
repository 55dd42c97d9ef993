// Raises a run-time error with no interceptor, so the test can check that the
// program ends with a failure status after showing the report and running
// the exit hook.

#include <host/app.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    host::App::setTitle(QStringLiteral("Radiosala"));
    // The box is printed instead of shown (no one is there to close it).
    host::setMsgBoxInterceptor([](const QString &prompt, int style, const QString &title) {
        std::printf("box style=%d title=%s text=%s\n", style, qUtf8Printable(title),
                    qUtf8Printable(QString(prompt).toUtf8().toPercentEncoding()));
        std::fflush(stdout);
        return int(host::vbOK);
    });
    host::setRuntimeErrorExitHook([] {
        std::printf("exit hook\n");
        std::fflush(stdout);
    });
    host::raiseRuntimeError(53, host::standardErrorDescription(53));
    std::printf("still running\n");
    return 0;
}
