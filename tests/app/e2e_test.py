"""Uses the real Quarvel as a person would: real file dialogs, real mouse and keyboard events
(xdotool), and reads what the windows show through AT-SPI, as a screen reader does."""
import os
import struct
import subprocess
import sys
import tempfile
import time

import pyatspi

BINARY = sys.argv[1]
FAILURES = []
PASSED = []


def check(what, actual, expected):
    if actual == expected:
        PASSED.append(what)
    if actual != expected:
        FAILURES.append(f"{what}: expected {expected!r}, got {actual!r}")
        print(f"FAIL {what}: expected {expected!r}, got {actual!r}")
    else:
        print(f"ok   {what}")


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout.strip()


def wait_window(pattern, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    raise RuntimeError(f"no window {pattern!r}")


def wait_gone(window, timeout=10):
    end = time.time() + timeout
    while time.time() < end:
        if subprocess.run(["xdotool", "getwindowname", window],
                          capture_output=True).returncode != 0:
            return
        visible = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "."],
                                 capture_output=True, text=True).stdout.split()
        if window not in visible:
            return
        time.sleep(0.1)
    raise RuntimeError(f"window {window} stayed open")


def focus(window):
    xdotool("windowfocus", "--sync", window)


def type_into_dialog(title, text):
    dialog = wait_window(title)
    focus(dialog)
    time.sleep(0.3)
    xdotool("key", "--clearmodifiers", "ctrl+a")
    xdotool("type", "--delay", "5", text)
    xdotool("key", "Return")
    return dialog


def bitmap(path, width, height):
    """A 24-bit screenshot: black bars above and below a grey-blue picture."""
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        inside = height // 8 <= y < height * 7 // 8
        pixel = b"\xa0\x80\x50" if inside else b"\0\0\0"
        row = b"".join(pixel if 8 <= x < width - 8 else b"\0\0\0" for x in range(width))
        rows.append(row + b"\0" * (stride - width * 3))
    pixels = b"".join(reversed(rows))
    head = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 0, 54, 40, width,
                       height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + pixels)


# --- reading the windows through AT-SPI -------------------------------------------------------

def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Quarvel":
                return app
        time.sleep(0.1)
    raise RuntimeError("Quarvel is not on the accessibility bus")


def find(root, role, name):
    found = pyatspi.findDescendant(
        root, lambda n: n is not None and n.getRoleName() == role and n.name == name)
    if found is None:
        raise RuntimeError(f"no {role} {name!r}")
    return found


def shown_text(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def output_label(root, description):
    """An output label's value: its name; its description says what it shows."""
    found = pyatspi.findDescendant(
        root, lambda n: n is not None and n.getRoleName() == "label"
        and n.description == description)
    if found is None:
        raise RuntimeError(f"no output label {description!r}")
    return found.name


def click(node):
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", x + min(w // 2, 8), y + h // 2)
    xdotool("click", "1")
    time.sleep(0.2)


def retype(node, text):
    click(node)
    xdotool("key", "--clearmodifiers", "ctrl+a")
    xdotool("type", "--delay", "5", text)
    time.sleep(0.3)


def main():
    work = tempfile.mkdtemp()
    source = os.path.join(work, "dvd shot.bmp")
    big = os.path.join(work, "too big.bmp")
    report = os.path.join(work, "report.txt")
    bitmap(source, 720, 576)
    bitmap(big, 721, 576)

    program = subprocess.Popen([BINARY])
    try:
        main_window = wait_window("^Quarvel 1\\.0$")
        app = application()
        focus(main_window)

        # Open the screenshot through the real open dialog.
        xdotool("key", "--clearmodifiers", "alt+o")
        type_into_dialog("^Open Bitmap$", source)
        focus(main_window)
        time.sleep(0.5)

        # Click the top left and bottom right corners inside the black bars.
        x, y = (int(v) for v in xdotool("getwindowgeometry", main_window).split("\n")[1]
                .split()[1].split(","))
        for cx, cy in ((7, 71), (712, 504)):
            xdotool("mousemove", "--sync", x + 8 + cx, y + 8 + cy)
            xdotool("click", "1")
            time.sleep(0.2)
        check("X1 offset after the clicks", shown_text(find(app, "text", "X1 offset")), "13")
        check("new width", shown_text(find(app, "text", "New width")), "576")

        click(find(app, "radio button", "16:9"))
        retype(find(app, "text", "Target pixel count"), "150000")
        values = [shown_text(find(app, "text", n)) for n in
                  ("X1 offset", "X2 offset", "Y1 offset", "Y2 offset", "New width",
                   "New height")]
        check("16:9 at 150000", values, ["18", "18", "72", "72", "576", "256"])
        check("aspect ratio and pixel count",
              [output_label(app, "Aspect ratio"), output_label(app, "Pixel count")],
              ["2.25:1", "147456"])

        # Save the report through the real save dialog.
        focus(main_window)
        xdotool("key", "--clearmodifiers", "alt+s")
        type_into_dialog("^Save Information$", report)
        time.sleep(0.8)
        rule = b"-" * 60
        expected = b"\r\n".join([
            rule, b" Quarvel", rule, b"", b"Source Bitmap", b"=" * 13,
            b"file name: \t" + source.encode(), b"format:\t\t720x576", b"ascpect ratio:\t16:9",
            b"", b"Crop Settings", b"=" * 13, b"X1 offset:\t18", b"X2 offset:\t18",
            b"Y1 offset:\t72", b"Y2 offset:\t72", b"", b"Resize Settings", b"=" * 15,
            b"new width:\t576", b"new height:\t256", b"", b"Target Info", b"=" * 11,
            b"aspect ratio:\t2.25:1", b"pixel count:\t147456", b"", rule]) + b"\r\n"
        with open(report, "rb") as f:
            written = f.read()
        lines = written.split(b"\r\n")
        check("report lines 1 to 28", written[:len(expected)], expected)
        check("report footer and end", (len(lines), lines[28][:1], lines[29][:1], lines[30],
                                        lines[31]), (32, b" ", b" ", rule, b""))

        # A too large bitmap is refused with its message.
        focus(main_window)
        xdotool("key", "--clearmodifiers", "alt+o")
        type_into_dialog("^Open Bitmap$", big)
        box = wait_window("^Quarvel$")
        time.sleep(0.3)
        message = pyatspi.findDescendant(
            app, lambda n: n is not None and n.getRoleName() == "label"
            and "720x576" in (n.name or ""))
        check("too-large message", message.name if message else None,
              "Bitmap exceeds 720x576 pixel.")
        focus(box)
        xdotool("key", "Return")
        wait_gone(box)
        check("previous picture kept", shown_text(find(app, "text", "X1 offset")), "18")

        # The bitrate calculator in file-size mode.
        focus(main_window)
        click(find(app, "radio button", "Calculate filesize"))
        retype(find(app, "text", "Video bitrate [kbps]"), "4000")
        check("file size", shown_text(find(app, "text", "Filesize")), "2657")
        check("CDs needed", output_label(app, "CDs needed"), "4 CDs à 700 MB")

        focus(main_window)
        xdotool("key", "--clearmodifiers", "alt+q")
        program.wait(timeout=10)
        check("quit by Alt+Q", program.returncode, 0)
    finally:
        if program.poll() is None:
            program.kill()
    print(f"{len(PASSED)} passed, {len(FAILURES)} failed")
    return 1 if FAILURES else 0


sys.exit(main())
