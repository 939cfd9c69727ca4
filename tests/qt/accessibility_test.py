#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader finds in the kolvane window over AT-SPI.

Every input box is named by its label in the language in force, also after
the user changes the language; a result box has its label's name and its
value; a result that breaks a drive limit says so in its description; the
check box is named by its caption, the language box by its group box; the
logos are named "Kolvane" and say nothing else.

Run inside a display and a D-Bus session, with Qt's AT-SPI bridge on:
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a dbus-run-session -- \
      /usr/bin/python3 accessibility_test.py <kolvane program>
The user's actions (clicks, keys) go through the X server with xdotool.
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

APP_ID = "org.kolvane.Kolvane"

# The inputs and results of each calculation page, by their labels.
GERMAN = {
    "inputs": [
        ["Vorschub-Strecke", "Öffnungswinkel", "Gewünschte Hubzahl",
         "Max. Geschwindigkeit (P240)", "Max. Beschleunigung (P241)",
         "Beruhigungszeit (P242)"],
        ["Vorschub-Strecke", "Öffnungswinkel", "Beschleunigung (Sin²-Rampen)",
         "Max. Geschwindigkeit", "Beruhigungszeit (P242)"],
    ],
    "results": ["Geschwindigkeit (Dreieck)", "Beschleunigung (Spitzenwert)"],
    "accel_limit": "überschreitet die maximale Beschleunigung (P241)",
}
ENGLISH = {
    "inputs": [
        ["Feed length", "Angle of aperture", "Desired stroke rate",
         "Maximum speed (P240)", "Max. acceleration (P241)", "Settling time (P242)"],
        ["Feed length", "Angle of aperture", "Acceleration (sin² ramps)",
         "Maximum speed", "Settling time (P242)"],
    ],
    "results": ["Speed (triangle)", "Acceleration (peak)"],
    "accel_limit": "exceeds the maximum acceleration (P241)",
}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, file=sys.stderr)


def wait_for(probe, seconds=10.0):
    """Polls probe until it returns something true; returns its last value."""
    end = time.monotonic() + seconds
    value = probe()
    while not value and time.monotonic() < end:
        time.sleep(0.1)
        value = probe()
    return value


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APP_ID:
            return app
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def pages(app):
    """The calculation pages and the options page: the stacked pages."""
    stack = next(n for n in descendants(app) if n.getRole() == pyatspi.ROLE_LAYERED_PANE)
    return list(stack)


def boxes(page, sensitive):
    """The edit boxes of a page: inputs are sensitive, results (on disabled
    panels) are not."""
    return [n for n in descendants(page) if n.getRole() == pyatspi.ROLE_TEXT and
            n.getState().contains(pyatspi.STATE_SENSITIVE) == sensitive]


def names(nodes):
    return sorted(n.name for n in nodes)


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def click(node):
    x, y = centre(node)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


def keys(*sequence):
    subprocess.run(["xdotool", "key", "--delay", "20", *sequence], check=True)


def typed(text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)


def page_tab(app, index):
    tabs = [n for n in descendants(app) if n.getRole() == pyatspi.ROLE_PAGE_TAB]
    return tabs[index]


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def check_language(app, language, label):
    for index, expected in enumerate(language["inputs"]):
        shown = wait_for(lambda: names(boxes(pages(app)[index], True)) == sorted(expected) or None,
                         5.0)
        check(shown, "%s, page %d: the inputs are named %s, not %s" % (
            label, index + 1, names(boxes(pages(app)[index], True)), sorted(expected)))


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        environment = dict(os.environ, XDG_DATA_HOME=folder, XDG_CONFIG_DIRS=folder + "/etc",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        window = start(program, environment)
        try:
            run(window)
        finally:
            window.terminate()
            window.wait(10)
    if failures:
        print("%d check(s) failed" % len(failures), file=sys.stderr)
        return 1
    print("accessibility test passed")
    return 0


def start(program, environment):
    """Starts the program and waits until it is on the accessibility bus.

    A start that ends before the program reaches the bus is reported and made
    once more: on a loaded machine a start against the freshly made X server
    was seen to fail now and then, which says nothing about what a screen
    reader is told. A second such start fails the test as before.
    """
    window = subprocess.Popen([program], env=environment)
    if wait_for(lambda: application() or window.poll() is not None, 30.0) and application() is None:
        print("note: the program ended with %s before it reached the accessibility bus; "
              "starting it once more" % window.returncode, file=sys.stderr)
        window = subprocess.Popen([program], env=environment)
    return window


def run(window):
    app = wait_for(application, 30.0)
    if app is None:
        check(False, "the program did not appear on the accessibility bus")
        return
    wait_for(lambda: page_tab(app, 0).getState().contains(pyatspi.STATE_SHOWING))

    # German, as the program starts without settings.
    check_language(app, GERMAN, "German")
    results = boxes(pages(app)[0], False)
    check(names(results) == sorted(GERMAN["results"]),
          "the results are named %s, not %s" % (names(results), sorted(GERMAN["results"])))
    for box in results:
        value = text_of(box)
        check(value != "" and value.replace(".", "", 1).isdigit(),
              "the result %s has the value %r, not a number" % (box.name, value))
        check(box.description == "", "the result %s breaks no limit yet but says %r" % (
            box.name, box.description))

    # The logos: named after the program, no description, never focused.
    logos = [n for n in descendants(app) if n.name == "Kolvane" and n.getRole() in (
        pyatspi.ROLE_IMAGE, pyatspi.ROLE_LABEL)]
    check(len(logos) == 2, "%d logos named Kolvane, not 2" % len(logos))
    for logo in logos:
        check(logo.description == "", "a logo describes itself as %r" % logo.description)
        check(not logo.getState().contains(pyatspi.STATE_FOCUSABLE), "a logo can take the focus")
    check(any(logo.getRole() == pyatspi.ROLE_IMAGE and
              logo.getState().contains(pyatspi.STATE_SHOWING) for logo in logos),
          "no logo shows as an image named Kolvane")

    ramps = [n for n in descendants(pages(app)[0]) if n.getRole() == pyatspi.ROLE_CHECK_BOX]
    check([n.name for n in ramps] == ["Sin²-Rampen (P56)"],
          "the check boxes are named %s" % [n.name for n in ramps])

    # A maximum acceleration the stroke rate's demand breaks: the result says so.
    max_accel = next(b for b in boxes(pages(app)[0], True)
                     if b.name == "Max. Beschleunigung (P241)")
    click(max_accel)
    keys("ctrl+a")
    typed("0.1")
    keys("Return")
    accel = lambda: next(b for b in boxes(pages(app)[0], False)
                         if b.name == "Beschleunigung (Spitzenwert)")
    said = wait_for(lambda: accel().description == GERMAN["accel_limit"] or None, 5.0)
    check(said, "the acceleration beyond P241 is described as %r" % accel().description)

    # The user picks English on the options page.
    click(page_tab(app, 2))
    combo = wait_for(lambda: next((n for n in descendants(app)
                                   if n.getRole() == pyatspi.ROLE_COMBO_BOX), None))
    # Over AT-SPI an editable combo box's name is its text; it is named by
    # the relation to what labels it.
    labels = [relation.getTarget(0).name for relation in combo.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    check(labels == ["Language / Sprache"],
          "the language box is labelled by %s, not by its group box" % labels)
    click(combo)
    keys("ctrl+a")
    typed("English")
    keys("Return")
    wait_for(lambda: page_tab(app, 0).name == "Stroke rate programming", 5.0)
    check(page_tab(app, 0).name == "Stroke rate programming", "the language did not change")
    # The labels that the refresh writes follow at the next page change.
    click(page_tab(app, 1))
    click(page_tab(app, 0))
    check_language(app, ENGLISH, "English")
    names_now = names(boxes(pages(app)[0], False))
    check(names_now == sorted(ENGLISH["results"]),
          "the results are named %s, not %s" % (names_now, sorted(ENGLISH["results"])))
    said = wait_for(lambda: accel_english(app) == ENGLISH["accel_limit"] or None, 5.0)
    check(said, "in English the acceleration beyond P241 is described as %r" % accel_english(app))
    check(window.poll() is None, "the program ended during the test")


def accel_english(app):
    found = [b for b in boxes(pages(app)[0], False) if b.name == "Acceleration (peak)"]
    return found[0].description if found else None


if __name__ == "__main__":
    sys.exit(main())
