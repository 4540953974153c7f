"""quarvel --detect and --list-titles as a script runs them: no display, exit statuses, the text
and the JSON telling the same, and no network reached from a crafted playlist."""
import json
import os
import socket
import subprocess
import sys
import tempfile

QUARVEL = sys.argv[1]
FAILURES = []
# No display of any kind: a program that wanted one would fail here.
ENV = {k: v for k, v in os.environ.items()
       if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


def check(what, actual, expected):
    print(f"ok   {what}" if actual == expected else f"FAIL {what}: {actual!r}, not {expected!r}")
    FAILURES.extend([what] if actual != expected else [])


def quarvel(*args):
    for _ in range(2):  # once more where LeakSanitizer's own exit check crashed, not the program
        done = subprocess.run([QUARVEL, *args], capture_output=True, text=True, env=ENV,
                              timeout=60)
        if "LeakSanitizer has encountered a fatal error" not in done.stderr:
            break
    return done.returncode, done.stdout, done.stderr.strip()


def make(name, graph, *codec):
    path = os.path.join(work, name)
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", graph, *codec, path], check=True)
    return path


work = tempfile.mkdtemp()
mpeg2 = ["-t", "3", "-c:v", "mpeg2video", "-q:v", "2"]
pal = "testsrc2=size=720x432:rate=25,pad=720:576:0:72"
rows = [  # source, arguments, (edges, size, aspect, scan type)
    (make("shot.bmp", pal, "-frames:v", "1"), ["--aspect", "16:9", "--pixels", "300000"],
     ([0, 71, 719, 504], [832, 352], "16:9", "progressive")),
    (make("pal.mpg", pal + ",setsar=64/45", *mpeg2), [],
     ([0, 71, 719, 504], [688, 304], "16:9", "progressive")),
    (make("ntsc.mpg", "testsrc2=size=720x360:rate=30000/1001,pad=720:480:0:60,setsar=8/9",
          *mpeg2), [], ([0, 59, 719, 420], [592, 336], "4:3", "progressive")),
    (make("hd.mkv", "testsrc2=size=1440x800:rate=25,pad=1920:1080:240:140,setsar=1", "-t", "3",
          "-c:v", "libx264", "-preset", "ultrafast"), ["--aspect", "16:9"],
     ([239, 139, 1680, 940], [592, 336], "16:9", "progressive")),
    # Credits scrolling up in 60i, white on black: their edges comb as they move between fields.
    (make("credits.mpg", "color=c=black:s=720x480:r=60000/1001:d=3,drawtext=fontfile=/usr/share/"
          "fonts/truetype/dejavu/DejaVuSans.ttf:fontsize=40:fontcolor=white:x=200:y=480-t*150:"
          "text=THE END,interlace=scan=tff", "-c:v", "mpeg2video", "-q:v", "2", "-flags",
          "+ilme+ildct", "-top", "1", "-r", "30000/1001"), ["--aspect", "4:3"],
     ([0, 0, 719, 479], [512, 384], "4:3", "interlaced")),
    # Full range: a dark grey sky under the top bar is picture, not bar.
    (make("sky.avi", "color=c=0x141414:s=720x216:r=25[sky];testsrc2=s=720x216:r=25[land];[sky]"
          "[land]vstack,pad=720:576:0:72,setsar=16/15", "-t", "3", "-c:v", "mjpeg", "-pix_fmt",
          "yuvj420p", "-q:v", "2"), [], ([0, 71, 719, 504], [592, 336], "4:3", "progressive")),
    (make("tff.mpg", "testsrc2=size=704x432:rate=50,scroll=h=0.01,pad=720:576:8:72,"
          "interlace=scan=tff,setsar=16/15", *mpeg2, "-flags", "+ilme+ildct", "-top", "1"), [],
     ([7, 71, 712, 504], [576, 336], "4:3", "interlaced")),
]
for path, args, expected in rows:
    status, out, _ = quarvel("--detect", path, "--json", *args)
    got = json.loads(out) if status == 0 else {}
    check(f"{os.path.basename(path)}: edges, size, aspect, scan type",
          ([got["edges"][side] for side in ("left", "top", "right", "bottom")],
           [got["size"]["width"], got["size"]["height"]], got["aspect"], got["scanType"])
          if got else status, expected)

# The text and the JSON of one source tell the same.
status, text, _ = quarvel("--detect", rows[-1][0])
head, copied = text.split("\n\n", 1)
fields = dict(line.split(":", 1) for line in head.split("\n"))
_, out, _ = quarvel("--detect", rows[-1][0], "--json")
got = json.loads(out)
check("text and JSON agree", (status, fields["Size"].strip(), fields["Edges"].strip(), copied,
                              copied.split("\n")[0].split(":", 1)[1].strip()),
      (0, "{width}x{height}".format(**got["size"]),
       "left {left}, top {top}, right {right}, bottom {bottom}".format(**got["edges"]),
       got["copied"], got["lines"]["ffmpeg"]))
check("--list-titles of a video", quarvel("--list-titles", rows[1][0])[:2], (0, "1 title\n"))

# Exit statuses, and the window's words for a source that cannot be read: random bytes, an empty
# file, a folder, sound only, a frame too large.
junk, empty, folder = (os.path.join(work, name) for name in ("junk.mpg", "empty.vob", "dir.vob"))
with open(junk, "wb") as f:
    f.write(os.urandom(50000))
open(empty, "wb").close()
os.mkdir(folder)
unreadable = [junk, empty, folder, make("audio.mkv", "sine=d=1"),
              make("uhd.mkv", "testsrc2=s=3840x2160:d=0.04")]
check("exit statuses", [quarvel(*args)[0::2] for args in [
    *(["--detect", path] for path in unreadable), ["--detect", rows[0][0]],
    ["--detect", rows[1][0], "--aspect", "5:4"],
    ["--detect"], ["--detect", junk, "--list-titles", junk], ["--version"]]],
      [*[(1, "quarvel: File is not a readable video.")] * 4,
       (1, "quarvel: Video exceeds 1920x1080 pixel."),
       (2, "quarvel: The source names no display aspect of 4:3 or 16:9: give --aspect 4:3 or "
           "--aspect 16:9."),
       (2, "quarvel: --aspect takes 4:3 or 16:9."), (2, "quarvel: Missing value after '--detect'."),
       (2, "quarvel: give --detect SOURCE or --list-titles SOURCE (--help shows every option)."),
       (0, "")])


# Playlists under a video's name that name a local HTTP server: refused, and nothing connects.
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen()
server.settimeout(0.2)


def accepted():
    """A connection made meanwhile waits in the listen queue."""
    try:
        return server.accept()
    except socket.timeout:
        return None


url = f"http://127.0.0.1:{server.getsockname()[1]}/"
for name, playlist in [("hls.mkv", f"#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n{url}a.ts\n"),
                       ("concat.mkv", f"ffconcat version 1.0\nfile '{url}a.ts'\n")]:
    with open(os.path.join(work, name), "w") as f:
        f.write(playlist)
    status = quarvel("--detect", os.path.join(work, name))[0]
    check(f"{name}: a playlist naming HTTP is refused, nothing connects", (status, accepted()),
          (1, None))
sys.exit(1 if FAILURES else 0)
