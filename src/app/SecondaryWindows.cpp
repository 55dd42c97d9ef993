#include "SecondaryWindows.h"

#include <windows/SecondaryWindows.h>

void showSobre(QWidget *owner)
{
    windows::showSobre(owner);
}

void showAjudas(QWidget *owner)
{
    windows::showAjudas(owner);
}
