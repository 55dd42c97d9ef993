#include <windows/SecondaryWindows.h>

#include <windows/Ajudas.h>
#include <windows/Comandos.h>
#include <windows/sobre_auto.h>

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace windows {

namespace {

Q_LOGGING_CATEGORY(lcWindows, "radiosala.windows")

QString formDirectory(const char *name, const DataPaths &paths)
{
    return forms::findFormDirectory(QString::fromLatin1(name), paths.formsFolders());
}

// Shows a loaded window modally; a window that did not load is reported and
// not shown.
template <class Window>
void runModal(Window &window, const char *name)
{
    if (!window.isLoaded()) {
        qCWarning(lcWindows, "%s: %s", name, qUtf8Printable(window.loadError()));
        return;
    }
    focusFirstInTabOrder(window.form());
    centreOnScreen(&window);
    window.showModal();
}

// The window is a dialog of its owner: on top of it, sharing its task-bar
// entry, with a fixed client size, and Escape closes it as its close box
// does (or presses its cancel button, when it has one).
void makeDialog(host::Form *window, QWidget *owner)
{
    window->setParent(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
    window->setClosesOnEscape(true);
}

} // namespace

void focusFirstInTabOrder(const forms::LoadedForm &form)
{
    QWidget *first = nullptr;
    int lowest = 0;
    for (const forms::ControlData &c : form.data.controls) {
        auto *widget = qobject_cast<QWidget *>(form.find(c.name));
        if (!widget || !c.tabIndex || !(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled())
            continue;
        if (!first || *c.tabIndex < lowest) {
            first = widget;
            lowest = *c.tabIndex;
        }
    }
    if (first)
        first->setFocus();
}

void centreOnScreen(QWidget *window)
{
    const QWidget *parent = window->parentWidget();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // With its native window made, the frame's size is known where the
    // platform tells it ahead of showing.
    window->winId();
    QRect frame = window->frameGeometry();
    const QRect available = screen->availableGeometry();
    frame.moveCenter(available.center());
    // A window larger than the screen keeps its title bar and left edge on it.
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    window->move(frame.topLeft());
}

void showSobre(QWidget *owner, const DataPaths &paths)
{
    sobre_auto window(formDirectory("sobre_auto", paths));
    makeDialog(&window, owner);
    runModal(window, "sobre_auto");
}

void showAjudas(QWidget *owner, const DataPaths &paths)
{
    Ajudas window(formDirectory("Ajudas", paths), paths);
    makeDialog(&window, owner);
    runModal(window, "Ajudas");
}

void showComandos(QWidget *owner, const DataPaths &paths)
{
    Comandos window(formDirectory("Comandos", paths), paths.folders);
    makeDialog(&window, owner);
    if (window.isLoaded())
        window.Form_Load();
    runModal(window, "Comandos");
}

} // namespace windows
