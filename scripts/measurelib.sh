# What the whole-program measurements share (sourced by measure-app.sh and
# measure-huge.sh): a fresh X server, a scratch folder, CPU time, resident
# memory, and launching a program on $file until it is idle.

# Runs the calling script again under a fresh X server when one can be had
# (offscreen otherwise): under_x "$0" "$@"
under_x() {
  [ "${QP_MEASURE_INNER:-}" = 1 ] && return
  if command -v xvfb-run >/dev/null 2>&1; then
    exec env QP_MEASURE_INNER=1 QT_QPA_PLATFORM=xcb \
      xvfb-run -a -s "-screen 0 1280x900x24 -nolisten tcp" "$@"
  fi
  export QT_QPA_PLATFORM=offscreen QP_MEASURE_INNER=1
}

# A scratch folder ($work) removed at exit with any program still running
# ($pid), where the programs keep their settings, never in the user's.
scratch() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
  pid=
  trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi; rm -rf "$work"' EXIT
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# CPU time of a process and all its threads, in nanoseconds.
cpu_ns() {
  local sum=0 run rest f
  for f in /proc/"$1"/task/*/schedstat; do
    read -r run rest < "$f" 2>/dev/null || continue
    sum=$((sum + run))
  done
  echo "$sum"
}
now_us() { local t=${EPOCHREALTIME/./}; echo $((10#$t)); }
rss_kb() { awk '/^VmRSS:/ { print $2 }' /proc/"$1"/status; }

# Starts a program on the file and waits until it is idle: under 5 ms of CPU
# in the last 500 ms. Sets launch_ms (launch to the start of that quiet
# spell) and rss_mb, and leaves the process running as $pid.
launch() {
  local start now cur k=0 times=() cpus=()
  start=$(now_us)
  "$@" "$file" >/dev/null 2>&1 &
  pid=$!
  while :; do
    sleep 0.02
    kill -0 "$pid" 2>/dev/null || { echo "program ended early: $*" >&2; exit 1; }
    now=$(now_us)
    cur=$(cpu_ns "$pid")
    times+=("$now") cpus+=("$cur")
    # The oldest look still inside the last 500 ms.
    while (( now - times[k] > 500000 )); do k=$((k + 1)); done
    if (( k > 0 && cur - cpus[k - 1] < 5000000 )); then
      launch_ms=$(( (times[k - 1] - start) / 1000 ))
      rss_mb=$(( $(rss_kb "$pid") / 1024 ))
      return
    fi
    (( now - start > ${QP_IDLE_LIMIT_US:-60000000} )) && { echo "never went idle: $*" >&2; exit 1; }
  done
}

stop() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; pid=; }

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
