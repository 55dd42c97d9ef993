#pragma once

#include <QString>
#include <QStringList>

namespace windows {

// Where the secondary windows find their stored layouts and the commands
// document. The defaults follow the program: its own folder first, then the
// build tree's staged data (only when run from the build tree), then the
// installed data directory.
struct DataPaths
{
    // Folders holding one sub-folder per stored window ("Ajudas/Ajudas.json").
    QStringList formsFolders;
    // Folders searched in order for the commands document.
    QStringList documentFolders;

    static DataPaths forProgram();
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
