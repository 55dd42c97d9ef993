#include <host/translations.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace host {

bool installToolkitTranslations()
{
    Q_ASSERT_X(QCoreApplication::instance(), "installToolkitTranslations", "needs the application object");
    // The catalogues live as long as the application that holds them.
    static QList<QPointer<QTranslator>> installed;
    installed.removeAll(nullptr);
    if (!installed.isEmpty())
        return true;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    // qtbase: widgets, dialogs, files and sockets; qtmultimedia: the audio
    // devices of the native link.
    for (const char *catalogue : {"qtbase", "qtmultimedia"}) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(brazil, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            installed.append(translator);
        } else {
            delete translator;
        }
    }
    return !installed.isEmpty();
}

} // namespace host
