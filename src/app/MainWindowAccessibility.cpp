// What the main window tells assistive technology beyond what its controls
// say of themselves: the names of the text boxes, which boxes the command
// buttons take their argument from, the heading of the station panel, and
// the chat lines that arrive.

#include "radiosala.h"

#include <button/KxButtonsAccessible.h>
#include <button/kxButtons_H.h>
#include <forms/Announcer.h>
#include <forms/MultiLineTextBox.h>

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

void radiosala::describeForAssistiveTechnology()
{
    Text1->setAccessibleName(QStringLiteral("Recebe texto do CHAT"));
    Text2->setAccessibleName(QStringLiteral("Envia texto"));

    // The argument boxes of the command grid, named after what they take;
    // the buttons that send a box's text are controllers of it, and the box's
    // description names them, so a screen reader says where the text goes.
    struct Row
    {
        QLineEdit *box;
        const char *name;
        const char *usedBy;
        QStringList buttons;
    };
    const Row rows[] = {
        {Text3, "senha", "usada por", {QStringLiteral("admin")}},
        {Text4, "indicativo", "usado por", {QStringLiteral("muta"), QStringLiteral("unmute")}},
        {Text5, "indicativo", "usado por", {QStringLiteral("conecta"), QStringLiteral("desconecta")}},
        {Text6, "indicativo", "usado por", {QStringLiteral("banir"), QStringLiteral("Desbanir")}},
        {Text7, "indicativo", "usado por", {QStringLiteral("derrubar")}},
    };
    for (const Row &row : rows) {
        QStringList captions;
        for (const QString &name : row.buttons) {
            kxButtons_H *b = button(name);
            KxButtonsAccessible::addControlled(b, row.box);
            captions << KxButtonsAccessible::nameFromCaption(b->Caption());
        }
        row.box->setAccessibleName(QString::fromUtf8(row.name));
        row.box->setAccessibleDescription(QString::fromUtf8(row.usedBy) + QLatin1Char(' ')
                                          + captions.join(QLatin1String(" e ")));
    }

    // The station panel reads as its text; its heading labels it.
    if (auto *heading = m_form.control<QLabel>(QStringLiteral("Label2")))
        heading->setBuddy(Label1);

    m_chatAnnouncer = new forms::Announcer(Text1->parentWidget());
}

void radiosala::announceChat(const QString &line)
{
    // Text1 raises the insertion itself; a reader speaks it only while Text1
    // has the focus, and then the line must not be said twice.
    if (!Text1->hasFocus())
        m_chatAnnouncer->announce(line);
}
