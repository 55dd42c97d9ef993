#include <windows/DataPaths.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace windows {

DataPaths DataPaths::forProgram()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    DataPaths paths;
    paths.folders = {appDir, QDir(appDir).filePath(QStringLiteral("../share/radiosala")),
                     QStringLiteral(RADIOSALA_INSTALL_DATA_DIR)};
    // Run from the build tree: its staged data comes before an installed
    // copy, which may be older. The document is built beside the program.
    if (QDir(appDir) == QDir(QStringLiteral(RADIOSALA_BUILD_APP_DIR)))
        paths.folders.insert(1, QStringLiteral(RADIOSALA_BUILD_DATA_DIR));
    return paths;
}

QStringList DataPaths::formsFolders() const
{
    QStringList forms;
    for (const QString &folder : folders)
        forms << QDir(folder).filePath(QStringLiteral("forms"));
    return forms;
}

QString documentIn(const QString &folder)
{
    const QString name = QString::fromUtf8(DocumentName);
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString findDocument(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString path = documentIn(folder);
        if (QFileInfo(path).isFile())
            return path;
    }
    return folders.isEmpty() ? documentIn(QString()) : documentIn(folders.first());
}

} // namespace windows
