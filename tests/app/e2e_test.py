"""The real Quarvel through real X windows and file dialogs, xdotool's keys and xclip; what it
copies is run through the real ffmpeg and HandBrakeCLI on a DVD-like clip."""
import os
import re
import shlex
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


def found_and_copied(window):
    """Ctrl+D, then Ctrl+Shift+C: the lines copied, once the search ends, however slow the build."""
    subprocess.run(["xclip", "-selection", "clipboard"], input="", text=True)
    keys(window, "ctrl+d", "ctrl+shift+c")
    for _ in range(600):
        text = run("xclip", "-o", "-selection", "clipboard")
        if text:
            return text.split("\n")
        time.sleep(0.1)
    raise RuntimeError("nothing copied")


def choose_file(title, path):
    dialog = wait_window(title)
    time.sleep(0.3)
    keys(dialog, "ctrl+a")
    run("xdotool", "type", "--delay", "5", path)
    keys(dialog, "Return")


def ssim_series(out, ref, skip_out, skip_ref, rate):
    graph = (f"[0:v]trim=start_frame={skip_out},setpts=N/({rate}*TB)[a];[1:v]trim=start_frame="
             f"{skip_ref},setpts=N/({rate}*TB)[b];[a][b]ssim=stats_file=-:shortest=1")
    log = run("ffmpeg", "-v", "error", "-i", out, "-f", "lavfi", "-i", ref, "-lavfi", graph,
              "-f", "null", "-")
    return [float(v) for v in re.findall(r"All:([0-9.]+)", log)]


def likeness(out, ref, rate):
    """Mean and least SSIM of the output's frames, each against the best of the reference frames
    up to two away: a frame that weaves or blends two instants matches none of them. The clip's
    last frame lacks the fields after it and is left out."""
    best = {}
    for shift in range(-2, 3):
        skip_out, skip_ref = max(-shift, 0), max(shift, 0)
        for i, v in enumerate(ssim_series(out, ref, skip_out, skip_ref, rate)):
            best[i + skip_out] = max(best.get(i + skip_out, 0), v)
    best.pop(max(best))
    return round(sum(best.values()) / len(best), 3), round(min(best.values()), 3)


def encoded(tool, clip, args, out, picture_above=50):
    command = {"ffmpeg": ["ffmpeg", "-v", "error", "-y", "-i", clip, *args, "-c:v", "mpeg4", out],
               "HandBrake": ["HandBrakeCLI", "-i", clip, "-o", out, *args, "-e", "x264",
                             "--encoder-preset", "ultrafast"]}[tool]
    subprocess.run(command, capture_output=True, check=True)
    probe = run("ffprobe", "-v", "error", "-select_streams", "v", "-show_entries",
                "stream=width,height,sample_aspect_ratio", "-of", "csv=p=0", out)
    width, height = (int(n) for n in probe.split(",")[:2])
    luma = subprocess.run(["ffmpeg", "-v", "error", "-i", out, "-frames:v", "1", "-f", "rawvideo",
                           "-pix_fmt", "gray", "-"], capture_output=True, check=True).stdout
    rows = [luma[y * width:(y + 1) * width] for y in range(height)]
    edges = [rows[0], rows[-1], bytes(r[0] for r in rows), bytes(r[-1] for r in rows)]
    # Picture is about 110 here and a bar line 16 to 20.
    return probe.split(",")[:3], min(sum(edge) // len(edge) for edge in edges) > picture_above


work = tempfile.mkdtemp()
# One-letter folders once made Qt's dialog open the folder instead of a full path typed in it.
clip, big, report = (os.path.join(work, n) for n in ("s/g/movie.vob", "s/g/big.bmp", "info.txt"))
os.makedirs(os.path.dirname(clip))
# A PAL 16:9 DVD: 720 x 576, sample aspect 64:45, bars of 73 rows and 7 columns.
subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                "color=c=0x607890:size=706x430:rate=25:duration=2", "-vf",
                "drawbox=x=t*100:y=100:w=120:h=120:color=yellow:t=fill,noise=alls=6:allf=t,"
                "format=rgb24,pad=720:576:7:73:black,format=yuv420p,setsar=64/45",
                "-c:v", "mpeg2video", "-q:v", "2", clip], check=True)
subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=size=721x576,format=rgb24",
                "-frames:v", "1", big], check=True)
program = subprocess.Popen([sys.argv[1]])
try:
    main = wait_window("^Quarvel 1\\.0$")
    info = run("xwininfo", "-id", main)
    check("inside of the main window", [info.split(f"{side}: ")[1].split()[0]
                                        for side in ("Width", "Height")], ["953", "626"])
    check("window icon sizes", re.findall(r"Icon \((\d+) x", run("xprop", "-id", main, "_NET_WM_ICON")),
          ["16", "32", "48"])

    # The video itself: its frames stepped through, 16:9 taken from the stream.
    keys(main, "alt+o")
    choose_file("^Open Bitmap$", clip)
    first = run("xdotool", "getwindowname", wait_window("^Quarvel 1\\.0 - movie\\.vob - "))
    keys(main, "Next")
    check("Page Down shows another frame", run("xdotool", "getwindowname", main) != first, True)
    copied = dict(line.split(":", 1) for line in found_and_copied(main)[:2])

    keys(main, "alt+s")
    choose_file("^Save Information$", report)
    time.sleep(0.5)
    with open(report, "rb") as f:
        lines = f.read().decode().split("\r\n")
    check("report through the save dialog", (len(lines), lines[6], lines[8], lines[12:16]),
          (32, "file name: \t" + clip, "ascpect ratio:\t16:9",
           ["X1 offset:\t7", "X2 offset:\t7", "Y1 offset:\t73", "Y2 offset:\t73"]))
    shown = [line.split("\t")[1] for line in lines[19:21]]
    for tool in ("ffmpeg", "HandBrake"):
        out = os.path.join(work, f"{tool}.mkv")
        check(f"{tool}: the size shown, square pixels, no black line at an edge",
              encoded(tool, clip, shlex.split(copied[tool]), out), (shown + ["1:1"], True))

    # Interlaced and telecined video: the scan type found, and copied lines that give clean
    # frames. Each reference shows the instants the output must show, cut and scaled alike.
    pal = "testsrc2=size=704x432:rate=50:duration=2,scroll=h=0.01,noise=alls=4:allf=t"
    film = "testsrc2=size=720x360:rate=24000/1001:duration=2,scroll=h=0.005,noise=alls=4:allf=t"
    woven = ["-flags", "+ilme+ildct", "-top"]
    mpeg2 = ["-c:v", "mpeg2video", "-q:v", "2"]
    pal_bars, ntsc_bars = "pad=720:576:8:72", "pad=720:480:0:60"
    talk = ("color=c=0x607890:size=704x432:rate=50:duration=3,noise=alls=4[bg];color=c=0xd0b0a0:"
            "size=80x100:rate=50:duration=3[box];[bg][box]overlay=x=300+60*sin(4*t):y=150+20*sin(3*t)")
    # A DVB-T2 recording: 1440 x 1080 of 4:3 pixels, interlaced H.264 in a transport stream,
    # letterboxed to 2.39:1.
    dvb = pal.replace("704x432", "1440x804").replace("h=0.01", "h=0.005")
    dvb_bars = "pad=1440:1080:0:138"
    x264 = ["-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-flags", "+ilme+ildct",
            "-x264opts", "tff=1"]
    for name, source, bars, weave, codec, rate, found in [
            ("tff.mpg", pal, pal_bars, ",interlace=scan=tff,setsar=16/15", mpeg2 + woven + ["1"],
             25, "Interlaced, top field first"),
            ("bff.mpg", pal, pal_bars, ",interlace=scan=bff,setsar=16/15", mpeg2 + woven + ["0"],
             25, "Interlaced, bottom field first"),
            ("film.mpg", film, ntsc_bars, ",telecine,setsar=16/15",
             mpeg2 + woven + ["1", "-r", "30000/1001"], 24, "Film with 3:2 pulldown"),
            ("psf.mpg", pal.replace("rate=50", "rate=25"), pal_bars, ",setsar=16/15",
             mpeg2 + woven + ["1"], 25, None),
            ("dvb.ts", dvb, dvb_bars, ",interlace=scan=tff,setsar=4/3", x264, 25,
             "Interlaced, top field first"),
            # A talking head: a small part moving slowly over a still picture.
            ("paltalk.mpg", talk, pal_bars, ",interlace=scan=tff,setsar=16/15",
             mpeg2 + woven + ["1"], 25, "Interlaced, top field first"),
            ("ntsctalk.mpg", talk.replace("704x432", "720x360").replace("=50:", "=60000/1001:"),
             ntsc_bars, ",interlace=scan=tff,setsar=32/27", mpeg2 + woven + ["1", "-r", "30000/1001"],
             30, "Interlaced, top field first")]:
        path = os.path.join(os.path.dirname(clip), name)
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", source, "-vf",
                        f"format=rgb24,{bars},format=yuv420p{weave}", *codec, path], check=True)
        keys(main, "alt+o")
        choose_file("^Open Bitmap$", path)
        wait_window(f"^Quarvel 1\\.0 - {name} - ")
        text = found_and_copied(main)
        # A stream of neither shape keeps the window's choice: 4:3 since tff.mpg.
        cli = run(sys.argv[1], "--detect", path) or run(sys.argv[1], "--detect", path, "--aspect",
                                                        "4:3")
        check(f"{name}: the command line copies what the window does",
              cli.split("\n\n", 1)[-1], "\n".join(text))
        said = [line.split(" (")[0] for line in text if line.startswith(("Interlaced", "Film"))]
        check(f"{name}: scan type", said, [found] if found else [])
        lines = dict(line.split(":", 1) for line in text[:2])
        geometry = re.search(r"crop=[0-9:]+,scale=([0-9]+):([0-9]+)", lines["ffmpeg"])
        instants = ",select=not(mod(n\\,2))" if "interlace" in weave else ""
        reference = f"{source},format=rgb24,{bars}{instants},{geometry.group(0)}"
        for tool in ("ffmpeg", "HandBrake"):
            out = os.path.join(work, f"{name}.{tool}.mp4")
            shape, clean_edges = encoded(tool, path, shlex.split(lines[tool]), out, 30)
            mean, least = likeness(out, reference, rate)
            print(f"     {name} {tool}: {lines[tool].strip()} SSIM mean {mean} least {least}")
            fps = run("ffprobe", "-v", "error", "-select_streams", "v", "-show_entries",
                      "stream=r_frame_rate", "-of", "csv=p=0", out)
            check(f"{name} {tool}: the size copied, square pixels, no bar line, every frame one "
                  "instant, its rate", (shape, clean_edges, least >= 0.88, fps),
                  ([*geometry.groups(), "1:1"], True, True,
                   {24: "24000/1001", 25: "25/1", 30: "30000/1001"}[rate]))

    # Telecined film ending in 3 s of interlaced credits scrolling up: the copied lines give film
    # frames at 23.976 with no combed frame, by idet's count.
    parts = [os.path.join(work, f"hybrid{n}.mpg") for n in range(3)]
    text = ("drawtext=fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf:fontsize=40:"
            "fontcolor=white:x=200:text=")
    for graph, treat, part in [(film.replace("duration=2", "duration=6"), "pad=720:480:0:60,"
                                "format=yuv420p,telecine", parts[0]),
                               ("color=c=black:s=720x480:r=60000/1001:d=3", f"{text}THE END:"
                                f"y=480-t*150,{text}Directed by:y=620-t*150,format=yuv420p,"
                                "interlace=scan=tff", parts[1])]:
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", graph, "-vf", treat,
                        *mpeg2, *woven, "1", "-r", "30000/1001", part], check=True)
    subprocess.run(["ffmpeg", "-v", "error", "-i", parts[0], "-i", parts[1], "-filter_complex",
                    "concat=n=2,setsar=16/15", *mpeg2, *woven, "1", "-r", "30000/1001", parts[2]],
                   check=True)
    keys(main, "alt+o")
    choose_file("^Open Bitmap$", parts[2])
    wait_window("^Quarvel 1\\.0 - hybrid2\\.mpg - ")
    text = found_and_copied(main)
    check("film with interlaced credits: both named",
          any(line.startswith("Film with 3:2 pulldown in") and "interlaced video in" in line
              for line in text), True)
    lines = dict(line.split(":", 1) for line in text[:2])
    for tool in ("ffmpeg", "HandBrake"):
        out = os.path.join(work, f"hybrid.{tool}.mp4")
        encoded(tool, parts[2], shlex.split(lines[tool]), out, 30)
        counts = re.search(r"Multi frame detection: TFF: *(\d+) BFF: *(\d+) Progressive: *(\d+)",
                           subprocess.run(["ffmpeg", "-hide_banner", "-i", out, "-vf", "idet", "-f",
                                           "null", "-"], capture_output=True, text=True).stderr)
        combed, whole = int(counts[1]) + int(counts[2]), int(counts[3])
        check(f"film with interlaced credits, {tool}: under 5 % combed, 23.976 frames per second",
              (combed * 20 < combed + whole, run("ffprobe", "-v", "error", "-select_streams", "v",
                                                 "-show_entries", "stream=r_frame_rate", "-of",
                                                 "csv=p=0", out)), (True, "24000/1001"))

    # A station logo in a bar is cut with the bar: the encode begins and ends with picture.
    logo = os.path.join(os.path.dirname(clip), "logo.mpg")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", pal.replace("704x432", "720x552")
                    .replace("rate=50", "rate=25"), "-vf", "pad=720:576:0:12,drawbox=x=680:y=566:"
                    "w=16:h=7:color=0x5a5a5a:t=fill,setsar=16/15", "-c:v", "mpeg2video", "-q:v",
                    "2", logo], check=True)
    keys(main, "alt+o")
    choose_file("^Open Bitmap$", logo)
    wait_window("^Quarvel 1\\.0 - logo\\.mpg - ")
    args = shlex.split(found_and_copied(main)[0].split(":", 1)[1])
    check("a logo in the bar: no bar line", encoded("ffmpeg", logo, args,
                                                    os.path.join(work, "logo.mkv"), 30)[1], True)

    # A DVD folder typed into the dialog's name field opens the DVD's main title.
    disc = os.path.join(work, "disc")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc2=s=720x576:r=25:d=3",
                    "-target", "pal-dvd", "-an", os.path.join(work, "title.mpg")], check=True)
    for step in (["-t", os.path.join(work, "title.mpg")], ["-T"]):
        subprocess.run(["dvdauthor", "-o", disc, *step], check=True, capture_output=True,
                       env={**os.environ, "VIDEO_FORMAT": "PAL"})
    keys(main, "alt+o")
    choose_file("^Open Bitmap$", disc)
    check("a DVD folder typed into the dialog", bool(wait_window("^Quarvel 1\\.0 - disc - ")),
          True)
    check("its titles on the command line, and one it does not have",
          (run(sys.argv[1], "--list-titles", disc), subprocess.run(
              [sys.argv[1], "--detect", disc, "--title", "2"], capture_output=True, text=True)
           .stderr.strip()),
          ("1 title\nTitle 1 \u2013 0:00:03 \u2013 4:3 \u2013 1 chapter, one angle \u2013 the main title",
           "quarvel: This DVD has no title 2: its only title is 1."))

    keys(main, "alt+o")
    # Browsing /proc must not block the window (as root, a reader of /proc/kmsg waits for good).
    keys(wait_window("^Open Bitmap$"), "ctrl+a")
    run("xdotool", "type", "--delay", "5", "/proc/")
    time.sleep(1)
    choose_file("^Open Bitmap$", big)
    keys(wait_window("^Quarvel$"), "Return")  # the message box

    keys(main, "alt+q")
    check("quit by Alt+Q", program.wait(timeout=10), 0)
finally:
    if program.poll() is None:
        program.kill()
sys.exit(1 if FAILURES else 0)
