#!/usr/bin/env bash
# Start-up time (launch to main window mapped) and peak memory of Quarvel against a plain Qt
# window of the same size and controls, alternating runs on one Xvfb server. Run under xvfb-run.
#   bench/run_startup.sh BUILD_DIR [RUNS]
set -eu
build=$1
runs=${2:-15}
timer=$build/bin/window_timer
results=$(mktemp)
for i in $(seq "$runs"); do
    echo "quarvel $("$timer" "$build/bin/quarvel")" >>"$results"
    echo "reference $("$timer" "$build/bin/reference_window")" >>"$results"
done
python3 - "$results" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, *fields = line.split()
    values = dict(f.split("=") for f in fields)
    rows.setdefault(name, []).append((float(values["map_ms"]), int(values["peak_rss_kb"])))
med = {n: (statistics.median(m for m, _ in r), statistics.median(k for _, k in r)) for n, r in rows.items()}
for name, (ms, kb) in med.items():
    print(f"{name:8s} start-up median {ms:7.1f} ms   peak RSS median {kb/1024:6.1f} MiB   ({len(rows[name])} runs)")
q, m = med["quarvel"], med["reference"]
print(f"ratio    start-up {q[0]/m[0]:.2f}x   peak RSS {q[1]/m[1]:.2f}x")
PY
rm -f "$results"
