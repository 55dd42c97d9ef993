"""Radiosala as a screen reader meets it: over the AT-SPI bus, from outside.
Usage (inside tests/support/run_on_bus.sh): tst_accessibility_bus.py <radiosala>"""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

GRID = ["Admin", "Admins", "Servidor", "Usuários", "Mute", "UnMute", "Ocupado", "Mute chat",
        "Conecta", "DesConecta", "Desocupado", "UnMute chat", "Banir", "DesBanir", "Banidos",
        "Versão", "Derrubar", "Mostra IP", "Estatística", "Lista"]
BARE = {pyatspi.ROLE_PANEL, pyatspi.ROLE_FILLER, pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID}
failures = []
events = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
    return ok


def pump_until(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        GLib.MainContext.default().iteration(False)
        if condition():
            return True
        time.sleep(0.02)
    return condition()


def walk(obj):
    yield obj
    for child in obj:
        if child is not None:
            yield from walk(child)


def find(root, name, role=None):
    return next((o for o in walk(root) if o.name == name and (role is None or o.getRole() == role)), None)


def find_window(app, title):
    return next((w for w in app if w is not None and w.name == title and w.getRole() == pyatspi.ROLE_FRAME), None)


def press(obj):
    action, what = obj.queryAction(), f"'{obj.name}' does Press"
    names = [action.getName(i) for i in range(action.nActions)]
    return check("Press" in names and action.doAction(names.index("Press")), what)


def text_of(obj):
    text = obj.queryText()
    return text.getText(0, text.characterCount)


def received(kind, source):
    return any(t.startswith(kind) and s == source for t, s, _, _ in events)


def record(event):
    try:  # the name and role as they were then; the source may be gone later
        events.append((event.type, event.source, event.source.name, event.source.getRole()))
    except GLib.GError:
        pass


def main():
    pyatspi.Registry.registerEventListener(record,
        "object:text-changed:insert", "object:property-change:accessible-name",
        "object:property-change:accessible-value", "object:state-changed:showing")
    def program():
        return next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "radiosala"
                     and a.childCount > 0 and a[0].name.startswith("Radiosala")), None)
    if not check(pump_until(program, 20), "the program is on the bus with its window"):
        return
    app = program()
    window = app[0]
    check(window.getRole() == pyatspi.ROLE_FRAME, "the main window is a window named " + repr(window.name))

    for caption in GRID:
        check(find(window, caption, pyatspi.ROLE_PUSH_BUTTON) is not None, f"push button '{caption}'")

    # The audit: whatever takes the focus says what it is.
    for obj in walk(window):
        if obj.getState().contains(pyatspi.STATE_FOCUSABLE):
            check(obj.name.strip() != "" and obj.getRole() not in BARE,
                  f"focusable {obj.getRoleName()} named '{obj.name}'")

    check(sorted(o.name for o in walk(window) if o.getRole() == pyatspi.ROLE_TEXT)
          == sorted(["Recebe texto do CHAT", "Envia texto", "senha"] + ["indicativo"] * 4), "the text boxes' names")

    def station_panel():
        return next((o for o in walk(window) if o.getRole() == pyatspi.ROLE_LABEL and o.name.startswith("CONF")), None)
    check(pump_until(lambda: station_panel() and "\nZZ1ADM " in text_of(station_panel()), 10),
          "the station panel reads as text")

    # The right-hand column is outside the narrow window, and shows once it is widened.
    about = find(window, "Sobre", pyatspi.ROLE_PUSH_BUTTON)
    check(not about.getState().contains(pyatspi.STATE_SHOWING), "'Sobre' is outside the narrow window")
    if press(find(window, "Abre", pyatspi.ROLE_PUSH_BUTTON)):
        check(pump_until(lambda: about.getState().contains(pyatspi.STATE_SHOWING), 5), "'Sobre' shows in the wide one")

    # The secondary windows, named by their titles; their buttons and texts are there.
    for opener, title, inside in (("Sobre", "Sobre", ["Visitar Servidor ZZ9XQ", "ZZ9XQ"]),
                                  ("Ajuda", "Ajudas", ["Ver lista de comandos", "Texto de ajuda"])):
        if not press(find(window, opener, pyatspi.ROLE_PUSH_BUTTON)):
            continue
        check(pump_until(lambda: find_window(app, title), 10), f"window '{title}' opens")
        dialog = find_window(app, title)
        for name in inside + ["Retornar"]:
            check(dialog is not None and find(dialog, name) is not None, f"'{title}' shows '{name}'")
        if dialog is not None and press(find(dialog, "Retornar", pyatspi.ROLE_PUSH_BUTTON)):
            check(pump_until(lambda: not find_window(app, title), 10), f"window '{title}' closes")

    chat = find(window, "Recebe texto do CHAT", pyatspi.ROLE_TEXT)
    shape = next((o for o in walk(window) if o.getRole() == pyatspi.ROLE_STATUS_BAR), None)
    if not check(chat is not None and shape is not None, "Text1 and Shape1 are there"):
        return
    check(shape.name in ("Livre", "Recebendo"), f"Shape1 is named by its colour: '{shape.name}'")

    users = find(window, "Usuários", pyatspi.ROLE_PUSH_BUTTON)
    if press(users):
        check(pump_until(lambda: re.search(r"^\d+\. ZZ1ADM\b", text_of(chat), re.M), 10),
              "the answer to .users is readable in Text1")
        check(pump_until(lambda: received("object:text-changed:insert", chat), 5),
              "a received line raises text-changed:insert on Text1")
        check(pump_until(lambda: any(t == "object:state-changed:showing" and role == pyatspi.ROLE_NOTIFICATION
                                     and re.match(r"\d+\. ZZ", name) for t, _, name, role in events), 5),
              "a received line shows as a notification while Text1 has no focus")

    quote = find(window, "pela Sala", pyatspi.ROLE_CHECK_BOX)
    for expected in (True, False):
        if press(quote):
            check(pump_until(lambda: quote.getState().contains(pyatspi.STATE_CHECKED) == expected, 5),
                  f"'pela Sala' is {'checked' if expected else 'unchecked'} after Press")

    check(pump_until(lambda: any(t.endswith("accessible-name") and s == shape and name == "Recebendo"
                                 for t, s, name, _ in events), 60), "Shape1's name changes to 'Recebendo' while a station talks")
    check(received("object:property-change:accessible-value", shape), "Shape1 raised its value change")

    press(find(window, "SAIR", pyatspi.ROLE_PUSH_BUTTON))
    pump_until(lambda: False, 0.5)


# Seed 10: a simulated station starts talking about ten seconds in.
program = subprocess.Popen([sys.argv[1], "--station", "sim", "--sim-seed", "10"])
try:
    main()
    # "SAIR" ends the program, cleanly.
    check(program.wait(10) == 0, "the program ended by itself without error")
finally:
    if program.poll() is None:
        program.kill()
print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
