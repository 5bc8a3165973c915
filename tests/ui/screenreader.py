#!/usr/bin/python3
# The program as a screen reader meets it: the real korvel under Xvfb, on a private session
# bus, read through the accessibility bus that the session bus starts for it. In each
# language every control is named, the memory list after its label; each result, the same
# one twice too, shows a notification that carries it, which Orca speaks, and becomes the
# description of the focused field, while the focus stays where it is. Usage: screenreader.py KORVEL; exit status 77 means skipped.
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError):
    Atspi = None

if "KORVEL_PRIVATE_SESSION" not in os.environ:
    tools = ("Xvfb", "dbus-run-session", "xdotool", "/usr/libexec/at-spi-bus-launcher")
    missing = [tool for tool in tools if not shutil.which(tool)] + ([] if Atspi else ["Atspi"])
    if missing:
        print("skipped, missing:", *missing)
        sys.exit(77)
    # A home of its own, where the accessibility bus puts its socket.
    with tempfile.TemporaryDirectory() as home:
        os.mkdir(home + "/run", 0o700)
        env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=home + "/run", KORVEL_PRIVATE_SESSION="1")
        for key in ("DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS"):
            env.pop(key, None)
        command = ["dbus-run-session", "--", sys.executable, *sys.argv]
        sys.exit(subprocess.run(command, env=env, check=False).returncode)


def wait(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)
    return condition()


def tree(accessible):
    yield accessible
    for index in range(accessible.get_child_count()):
        yield from tree(accessible.get_child_at_index(index))


CONTROLS = {getattr(Atspi.Role, role) for role in (
    "CHECK_BOX COMBO_BOX LABEL LIST PUSH_BUTTON TABLE TEXT TREE TREE_TABLE ENTRY").split()}
failures = []
xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp"], stdout=subprocess.PIPE)
try:
    os.environ.update(DISPLAY=":" + xvfb.stdout.readline().decode().strip(),
                      QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    Atspi.init()
    shown = []
    listener = Atspi.EventListener.new(lambda event: event.detail1 and shown.append(event.source))
    listener.register("object:state-changed:showing")
    # The focused field's description, changed to each result.
    described = []
    describer = Atspi.EventListener.new(
        lambda event: described.append((event.source, event.source.get_description())))
    describer.register("object:property-change:accessible-description")
    for language, locale, memories in (("en", "C.UTF-8", "Memories"),
                                       ("nl", "nl_NL.UTF-8", "Geheugens"),
                                       ("de", "de_DE.UTF-8", "Speicher")):
        with tempfile.TemporaryDirectory() as settings:
            korvel = subprocess.Popen([sys.argv[1]], env=dict(
                os.environ, XDG_CONFIG_HOME=settings, LANGUAGE=language, LANG=locale))

            def objects():
                desktop = Atspi.get_desktop(0)
                for index in range(desktop.get_child_count()):
                    app = desktop.get_child_at_index(index)
                    if app and app.get_process_id() == korvel.pid:
                        app.clear_cache()
                        return list(tree(app))
                return []

            def focused():
                focus = Atspi.StateType.FOCUSED
                return [o for o in objects() if o.get_state_set().contains(focus)]

            try:
                if not wait(focused, 20):
                    failures.append(f"{language}: nothing has the focus")
                    continue
                focus = focused()
                everything = objects()
                unnamed = [o.get_role_name() for o in everything
                           if o.get_role() in CONTROLS and not o.get_name()]
                lists = [o.get_name() for o in everything if o.get_role() == Atspi.Role.TREE]
                notice = [o for o in everything if o.get_role() == Atspi.Role.NOTIFICATION][0]
                subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                                str(korvel.pid), "--name", ".", "windowfocus", "--sync"],
                               check=False)
                subprocess.run(["xdotool", "type", "6*7"], check=False)
                heard = []
                for times in (1, 2):
                    subprocess.run(["xdotool", "key", "Return"], check=False)
                    heard.append(wait(lambda: shown.count(notice) == times, 5))
                on_focus = [text for source, text in described if source in focus]
                found = (unnamed, lists, heard, focused() == focus, notice.get_name(),
                         on_focus.count("42") >= 2)
                if found != ([], [memories], [True, True], True, "42", True):
                    failures.append(f"{language}: {found}")
            finally:
                korvel.terminate()
                korvel.wait(10)
                shown.clear()
                described.clear()
finally:
    xvfb.terminate()
print("\n".join(failures) or "passed")
sys.exit(1 if failures else 0)
