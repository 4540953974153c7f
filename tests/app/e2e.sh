#!/usr/bin/env bash
# Runs the end-to-end test of the real program: its own X server, a private session bus and
# the accessibility bus that screen readers use.
#   e2e.sh QUARVEL_BINARY
set -eu -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    trap "kill $! 2>/dev/null" EXIT
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 /usr/bin/python3 "$0" "$1"
' "$here/e2e_test.py" "$1" 2>&1 | grep -v -e 'dbus-daemon' -e 'XDG_RUNTIME_DIR' -e 'SpiRegistry'
