#pragma once
// The main window's command buttons: the box a button reads, what is typed
// there, the line the button sends, and the first line the simulated
// conference answers, logged in with the password "s3nha" ("" where the
// answer depends on the room).

#include <QList>

namespace commands {

struct Command
{
    const char *button;
    const char *box; // "" for none
    const char *typed;
    const char *sent;
    const char *reply;
};

inline const QList<Command> &all()
{
    static const QList<Command> table = {
        {"admin", "Text3", "s3nha", ".admin s3nha", "Your wish is my command."},
        {"admins", "", "", ".admins", "Admins:"},
        {"servidor_ativo", "", "", ".uptime", "Uptime: "},
        {"usuarios", "", "", ".users", "1. "},
        {"muta", "Text4", "ZZ8QQ", ".mute ZZ8QQ", "No ZZ8QQ found."},
        {"unmute", "Text4", "ZZ8QQ", ".unmute ZZ8QQ", "No ZZ8QQ found."},
        {"ocupado", "", "", ".busy on", "The conference is busy."},
        {"mute_chat", "", "", ".mute chat", "chat text muted."},
        {"conecta", "Text5", "zz0nada", ".connect zz0nada", "Station \"zz0nada\" not found."},
        {"desconecta", "Text5", "ZZ8QQ", ".disconnect ZZ8QQ", "ZZ8QQ not found"},
        {"desocupado", "", "", ".busy off", "The conference is available."},
        {"unmute_chat", "", "", ".unmute chat", "chat text unmuted."},
        {"banir", "Text6", "ZZ8QQ", ".ban add ZZ8QQ", "ZZ8QQ banned"},
        {"Desbanir", "Text6", "ZZ8QQ", ".ban delete ZZ8QQ", "ZZ8QQ removed from the banned list."},
        {"banidos", "", "", ".ban list", ""},
        {"versao", "", "", ".version", "thebridge V 1.09 on x86_64-unknown-linux-gnu"},
        {"derrubar", "Text7", "ZZ8QQ", ".kick ZZ8QQ", "ZZ8QQ not found"},
        {"kxButtons_H2", "", "", ".showip ", ""},
        {"kxButtons_H1", "", "", ".stat ", "Uptime: "},
        {"lista", "", "", ".list", "Sorry, no bulletins are available at this time."},
    };
    return table;
}

inline Command named(const char *button)
{
    for (const Command &c : all())
        if (qstrcmp(c.button, button) == 0)
            return c;
    return {button, "", "", "", ""};
}

} // namespace commands
