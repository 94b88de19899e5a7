#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a command in a network of its own: lo, and a veth pair with a default
# route through it, so WebRTC finds an address and none of it leads outside.
#
#   web/tests/in-netns.sh COMMAND...
set -eu
if [ "${DUELSTAR_IN_NETNS:-}" != yes ]; then
  DUELSTAR_IN_NETNS=yes exec unshare -n "$0" "$@"
fi
ip link set lo up
ip link add duel0 type veth peer name duel1
ip addr add 10.77.0.1/24 dev duel0
ip addr add 10.77.0.2/24 dev duel1
ip link set duel0 up
ip link set duel1 up
ip route add default via 10.77.0.2
exec "$@"
