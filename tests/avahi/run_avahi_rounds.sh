#!/usr/bin/env bash
# The machine search against avahi-daemon on a link of network namespaces that
# leads nowhere else: each responder in a namespace of its own, with its own
# configuration, services, hosts and /run, no D-Bus; the search in another,
# beside an avahi-daemon that publishes nothing and shares port 5353; all
# joined by veth pairs to a bridge in a namespace of their own. First a
# clean link, then one where the search's namespace drops one datagram in ten
# at random, both ways (a dropped outgoing one is a send the system refuses).
# Exit 77, reported as skipped, where the namespaces cannot be made.
#   run_avahi_rounds.sh AVAHI_ROUNDS_PROGRAM
set -euo pipefail

rounds=$1
skip() {
  echo "SKIPPED: $*"
  exit 77
}

[ "$(id -u)" -eq 0 ] || skip "needs root to make network namespaces"
command -v avahi-daemon >/dev/null || skip "avahi-daemon is not installed (scripts/install-deps.sh)"
command -v nft >/dev/null || skip "nft is not installed (scripts/install-deps.sh)"

tag="nvr$$"
link="${tag}l"
client="${tag}c"
work=$(mktemp -d)
namespaces=()
daemons=()

cleanup() {
  for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${daemons[@]}"; do wait "$pid" 2>/dev/null || true; done
  for ns in "${namespaces[@]}"; do ip netns del "$ns" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$link" 2>/dev/null || skip "cannot make network namespaces here"
namespaces+=("$link")
ip -n "$link" link add br0 type bridge mcast_snooping 0
ip -n "$link" link set br0 up

# A namespace with one interface on the bridge, the address given and the
# multicast route.
add_host() {
  local ns=$1 address=$2
  ip netns add "$ns"
  namespaces+=("$ns")
  ip -n "$ns" link add eth0 type veth peer name "p${#namespaces[@]}" netns "$link"
  ip -n "$link" link set "p${#namespaces[@]}" master br0 up
  ip -n "$ns" addr add "$address/24" dev eth0
  ip -n "$ns" link set lo up
  ip -n "$ns" link set eth0 up
  ip -n "$ns" route add 224.0.0.0/4 dev eth0
}

# avahi-daemon as root in its own mount namespace, so that its /run, its
# services and its hosts are the test's alone.
start_responder() {
  local folder=$1 ns=$2
  ip netns exec "$ns" unshare --mount --propagation private sh -c '
    mount -t tmpfs tmpfs /run && mkdir /run/avahi-daemon &&
    mount --bind "$1/services" /etc/avahi/services && mount --bind "$1/hosts" /etc/avahi/hosts &&
    exec avahi-daemon -f "$1/avahi-daemon.conf" --no-drop-root --no-chroot --no-rlimits' sh "$folder" \
    >"$folder/log" 2>&1 &
  daemons+=($!)
}

# Every service group and static host name of every responder established,
# within 30 seconds.
wait_for_responders() {
  local wanted established
  wanted=$(( $(ls "$work"/responders/*/services/*.service | wc -l) + $(cat "$work"/responders/*/hosts | wc -l) ))
  for _ in $(seq 150); do
    established=$(cat "$work"/responders/*/log | grep -c 'successfully established' || true)
    [ "$established" -ge "$wanted" ] && return 0
    sleep 0.2
  done
  cat "$work"/responders/*/log
  echo "the responders did not establish their services in time"
  return 1
}

add_host "$client" 10.77.0.2
mkdir "$work/responders"
"$rounds" publish "$work/responders"
for folder in "$work"/responders/*; do
  ns="$tag$(basename "$folder")"
  add_host "$ns" "$(cat "$folder/address")"
  start_responder "$folder" "$ns"
done
wait_for_responders
mkdir -p "$work/searcher/services"
touch "$work/searcher/hosts"
sed 's/^host-name=.*/host-name=searcher/' "$work/responders/p1/avahi-daemon.conf" >"$work/searcher/avahi-daemon.conf"
start_responder "$work/searcher" "$client"

echo "== a clean link"
ip netns exec "$client" "$rounds" check 10 10

echo "== one datagram in ten dropped at random, both ways"
ip netns exec "$client" nft -f - <<'EOF'
table inet loss {
  chain incoming { type filter hook input priority 0; udp sport 5353 numgen random mod 10 == 0 counter drop; }
  chain outgoing { type filter hook output priority 0; udp dport 5353 numgen random mod 10 == 0 counter drop; }
}
EOF
status=0
ip netns exec "$client" "$rounds" check 20 19 || status=$?
ip netns exec "$client" nft list table inet loss | grep counter
exit $status
