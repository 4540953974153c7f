#!/usr/bin/env bash
# The end-to-end test of the real program on its own X server.
#   e2e.sh QUARVEL_BINARY
set -eu
# The real program on the X server, whatever platform the calling shell chose.
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$(dirname "$0")/e2e_test.py" "$1"
