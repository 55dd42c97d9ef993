#pragma once

#include <QString>
#include <QStringList>

namespace windows {

// Where the program finds its data: the stored windows under "forms/" of a
// data folder ("forms/Ajudas/Ajudas.json") and the commands document in it.
// One search path serves both, in order: the program's own folder, the
// build tree (only when run from it), "../share/radiosala" beside the
// program's folder, then the installed data directory.
struct DataPaths
{
    QStringList folders;

    static DataPaths forProgram();
    // The folders' "forms" sub-folders, in the same order.
    QStringList formsFolders() const;
};

// The commands document's file name.
inline constexpr char DocumentName[] = "comandos radiosala.pdf";

// The document inside `folder`: the folder and the name joined by one
// separator, whatever the folder ends in.
QString documentIn(const QString &folder);

// The first of `folders` that holds the document as a file; when none does,
// the place in the first folder (so a message can name where it belongs).
QString findDocument(const QStringList &folders);

} // namespace windows
