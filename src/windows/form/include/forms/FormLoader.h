#pragma once

#include <forms/FormData.h>

#include <QHash>
#include <QObject>
#include <QString>

class QWidget;

namespace forms {

// A stored window built into a widget: every control of the layout as a
// child (found by its name), geometry converted from twips once, fonts and
// colours applied, buttons restored from their property-bag streams, and the
// tab order set from the tab indexes.
//
// Kinds and what they become: label Label (plain text), frame FrameControl,
// text box SingleLineTextBox or MultiLineTextBox, check box CheckBox, shape
// ShapeControl, line LineControl, picture box QWidget, image ImageControl
// (scaled picture), anigif AnimatedGif, button kxButtons_H, timer QTimer
// (started when enabled).
class LoadedForm
{
public:
    FormData data;
    QString directory;                 // where the layout and its files are
    QHash<QString, QObject *> controls; // by name; owned by the window

    QObject *find(const QString &name) const { return controls.value(name); }
    template <class T>
    T *control(const QString &name) const { return qobject_cast<T *>(find(name)); }
};

// Loads "<directory>/<name>.json" into `window`, which becomes the stored
// window (caption, client size, icon, font, back colour). Returns false with
// *error naming the file and the fault; the window may then hold some of the
// controls and should be thrown away.
bool loadForm(const QString &directory, const QString &name, QWidget *window, LoadedForm *out,
              QString *error);

// A font of the layout: face (classic names map to installed twins), size in
// points at 96 dpi as a pixel size, bold or regular.
QFont layoutFont(const FontSpec &fontData);

// Where a stored window's data lives: the first of `candidates` that holds
// "<name>/<name>.json". Empty when none does.
QString findFormDirectory(const QString &name, const QStringList &candidates);

} // namespace forms
