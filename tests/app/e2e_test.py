"""The real Quarvel through real X windows and file dialogs, xdotool's keys and xclip."""
import os
import struct
import subprocess
import sys
import tempfile
import time

FAILURES = []


def check(what, actual, expected):
    print(f"ok   {what}" if actual == expected else f"FAIL {what}: {actual!r}, not {expected!r}")
    FAILURES.extend([what] if actual != expected else [])


def run(*args):
    return subprocess.run(list(map(str, args)), capture_output=True, text=True).stdout.strip()


def wait_window(pattern):
    for _ in range(200):
        found = run("xdotool", "search", "--onlyvisible", "--name", pattern).split()
        if found:
            return found[0]
        time.sleep(0.1)
    raise RuntimeError(f"no window {pattern!r}")


def keys(window, *combos):
    run("xdotool", "windowfocus", "--sync", window)
    for combo in combos:
        run("xdotool", "key", "--clearmodifiers", combo)
    time.sleep(0.4)


def choose_file(title, path):
    dialog = wait_window(title)
    time.sleep(0.3)
    keys(dialog, "ctrl+a")
    run("xdotool", "type", "--delay", "5", path)
    keys(dialog, "Return")


def bitmap(path, width, height):
    """24 bits: black bars of 72 rows above and below and 8 columns at the sides."""
    stride = (width * 3 + 3) // 4 * 4
    inside = b"\0" * 24 + b"\x50\x80\xa0" * (width - 16) + b"\0" * 24 + b"\0" * (stride - width * 3)
    rows = [inside if 72 <= y < height - 72 else b"\0" * stride for y in range(height)]
    head = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + stride * height, 0, 0, 54, 40, width,
                       height, 1, 24, 0, stride * height, 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + b"".join(rows))


work = tempfile.mkdtemp()
source, big, report = (os.path.join(work, n) for n in ("dvd shot.bmp", "big.bmp", "info.txt"))
bitmap(source, 720, 576)
bitmap(big, 721, 576)
program = subprocess.Popen([sys.argv[1]])
try:
    main = wait_window("^Quarvel 1\\.0$")
    info = run("xwininfo", "-id", main)
    check("inside of the main window", [info.split(f"{side}: ")[1].split()[0]
                                        for side in ("Width", "Height")], ["953", "626"])
    check("window icon beyond 16 px", "Icon (128 x 128)" in run("xprop", "-id", main, "_NET_WM_ICON"),
          True)

    keys(main, "alt+o")
    choose_file("^Open Bitmap$", source)
    keys(main, "alt+c", "ctrl+d", "ctrl+shift+c")  # also from a text box
    copied = run("xclip", "-o", "-selection", "clipboard").split("\n")
    check("copied for ffmpeg", copied[0], 'ffmpeg:      -vf "crop=694:432:13:72,scale=576:336"')

    keys(main, "alt+s")
    choose_file("^Save Information$", report)
    time.sleep(0.5)
    with open(report, "rb") as f:
        lines = f.read().split(b"\r\n")
    check("report through the save dialog", (len(lines), lines[6], lines[12]),
          (32, b"file name: \t" + source.encode(), b"X1 offset:\t13"))

    keys(main, "alt+o")
    choose_file("^Open Bitmap$", big)
    keys(wait_window("^Quarvel$"), "Return")  # the message box

    keys(main, "alt+q")
    check("quit by Alt+Q", program.wait(timeout=10), 0)
finally:
    if program.poll() is None:
        program.kill()
sys.exit(1 if FAILURES else 0)
