#!/usr/bin/env bash
# Noctavi without a printer: a fake machine on 127.0.0.2, which also answers
# machine searches; one monitored entry for it, registered in a throw-away data
# folder by install mode (confirm its Detail Settings with OK); and the
# program. Once the program has
# subscribed, the machine stores a document and signals, and its pop-up
# appears within a second or two. Everything is cleaned up when the program
# ends (Exit in its tray menu, or Ctrl+C here).
#
#   bash scripts/demo.sh        on your desktop
#   bash scripts/demo.sh --ci   under Xvfb; checks that the event was filed in
#                               the data file and its pop-up shown, then ends
set -euo pipefail
cd "$(dirname "$0")/.."

ci=false
[ "${1:-}" = "--ci" ] && ci=true

if $ci && [ -z "${NOCTAVI_DEMO_DISPLAY:-}" ]; then
  bash scripts/install-deps.sh
  NOCTAVI_DEMO_DISPLAY=xvfb exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" --ci
fi
$ci || bash scripts/install-deps.sh
bash scripts/build.sh noctavi fake-machine >/dev/null

program="$PWD/build/Noctavi/noctavi"
machine="$PWD/build/tools/fake-machine/fake-machine"
work="$(mktemp -d "${TMPDIR:-/tmp}/noctavi-demo.XXXXXX")"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits until the command succeeds, for at most SECONDS.
wait_for() {
  local deadline=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "demo: no $what after $1 s" >&2
      return 1
    fi
    sleep 0.1
  done
}

# A UDP port that nothing on this machine listens on, for the program's
# signals: never the program's default.
free_udp_port() {
  local used port
  used=" $(tail -q -n +2 /proc/net/udp /proc/net/udp6 2>/dev/null |
    while read -r _ local _; do echo $((16#${local##*:})); done | tr '\n' ' ') "
  for _ in $(seq 100); do
    port=$((20000 + RANDOM % 30000))
    [[ "$used" == *" $port "* ]] || { echo "$port"; return; }
  done
  return 1
}

export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/tmp"
data="$XDG_DATA_HOME/Hollvik/Noctavi"
mkdir -p "$data" "$TMPDIR" "$work/documents"
mkdir -m 700 "$XDG_RUNTIME_DIR"
popup_ms=10000
$ci && popup_ms=0
# New entries reach the fake machine over plain HTTP, and their pop-ups stay
# for popup_ms (0: until closed).
printf 'VERSION = 1.00\nPORT = %s\nENTRY_DEFAULT_SSL = 0\nPOPUP_EVENT_ERASE_INTERVAL_MS = %s\n' \
  "$(free_udp_port)" "$popup_ms" >"$data/config.dat"
printf '%%PDF-1.4\n%% A document that the fake machine stores for the demo.\n' \
  >"$work/documents/Quarterly-report.pdf"
cp scripts/demo-thumbnail.jpg "$work/documents/thumbnail.jpg"

# The machine takes its commands through a pipe that stays open here.
mkfifo "$work/control"
(cd "$work/documents" && exec "$machine" --address 127.0.0.2 --dns-sd 0 \
  --user alice:Alice:secret --machine-name "Demo MFP" --control <"$work/control" >"$work/machine.log" 2>&1) &
pids+=($!)
exec 3>"$work/control"
wait_for 10 "fake machine" grep -q '^dns-sd ' "$work/machine.log"
# Searches go to the fake machine's responder, never to the multicast group.
export NOCTAVI_SEARCH_TARGET="$(sed -n 's|^dns-sd \(127\.0\.0\.2:[0-9]*\)$|\1|p' "$work/machine.log")"

# Install mode finds the machine's port and name by the search. Under --ci
# the sheet is confirmed as soon as it opens.
$ci && export QT_QPA_PLATFORM=xcb NOCTAVI_INSTALL_SHEET_OK=1
$ci || echo "demo: confirm the new entry's Detail Settings with OK"
install_code=0
"$program" -i --host 127.0.0.2 --uname Alice --uid alice --upass secret || install_code=$?
if [ "$install_code" -ne 0 ]; then
  echo "demo: install mode ended with exit code $install_code" >&2
  exit 1
fi

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
wait_for 20 "subscription from the program" grep -q 'SubscribeToFeed' "$work/machine.log"
echo "publish alice:demo-1:Quarterly-report.pdf:thumbnail.jpg" >&3
published=$(date +%s%N)
echo "demo: the fake machine published Quarterly-report.pdf"

if ! $ci; then
  echo "demo: the pop-up should be up now; choose Exit in the tray menu to end"
  wait "$program_pid" || true
  exit 0
fi

popup_shown() { xwininfo -root -tree | grep -q '"Event Details"'; }
# Each step returns on failure: errexit does not reach into a function run
# as a condition.
check() {
  wait_for 15 "pop-up window" popup_shown || return 1
  echo "demo: the pop-up appeared $(( ($(date +%s%N) - published) / 1000000 )) ms after the document"
  "$program" -u || return 1
  wait "$program_pid" || return 1
  grep -q 'Quarterly-report.pdf' "$data/data.dat" || return 1
  echo "demo: the event is filed in data.dat"
}
if ! check; then
  echo "demo: FAILED; the machine's log:" >&2
  cat "$work/machine.log" >&2
  echo "demo: the program's log:" >&2
  cat "$work/program.log" >&2
  exit 1
fi
