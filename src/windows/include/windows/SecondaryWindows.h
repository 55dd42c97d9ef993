#pragma once

#include <windows/DataPaths.h>

#include <forms/FormLoader.h>

class QWidget;

namespace windows {

// Open the About and help windows modally over `owner` and return when they
// are closed. A window whose stored data cannot be loaded is not shown (the
// fault goes to the log); the caller goes on either way.
void showSobre(QWidget *owner, const DataPaths &paths = DataPaths::forProgram());
void showAjudas(QWidget *owner, const DataPaths &paths = DataPaths::forProgram());
// The command list, modally over `owner` (the help window).
void showComandos(QWidget *owner, const DataPaths &paths = DataPaths::forProgram());

// Gives the focus to the control with the lowest tab index that takes it,
// where a window's focus starts when it opens.
void focusFirstInTabOrder(const forms::LoadedForm &form);

// Centres a window on the screen it belongs to.
void centreOnScreen(QWidget *window);

} // namespace windows
