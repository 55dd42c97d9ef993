#pragma once

class QWidget;

// The main window's secondary windows, each shown modally over its owner.
// For now they are empty windows with their caption and size; the About and
// help windows replace these functions' bodies.
void showSobre(QWidget *owner);
void showAjudas(QWidget *owner);
