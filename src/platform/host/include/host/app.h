#pragma once
// The forms runtime's App object: the application's title, used as the
// caption of message boxes and of the run-time error report.

#include <QString>

namespace host::App {

// Defaults to QCoreApplication::applicationName().
QString Title();
void setTitle(const QString &title);

} // namespace host::App
