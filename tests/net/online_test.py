#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Two real games on this machine playing online, on SDL's dummy video driver
with the scripted pilot of DUELSTAR_NET_SCRIPT flying each ship, through a
seeded bad network. Usage: online_test.py GAME SOURCE_DIR CASE [ARGS...]

  match RTT_MS LOSS_PERCENT   a whole match; both end on the same result line
  killed                      the joiner killed mid-match: the host says so
                              within 6 s
  version OTHER_PEER          a game of another protocol is refused
  garbage                     foreign and damaged datagrams change nothing
"""

import os
import random
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lossy_proxy import LossyProxy  # noqa: E402

RESULT = re.compile(r"^(Red|Blue) wins 3-([0-2]) \( (\d+) fps \)$")
MATCH_LIMIT = 150.0  # s: a scripted match takes about 15 s on this link
KILL_LIMIT = 6.0     # s from the other player's death to this game's end


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Game:
    def __init__(self, game, source_dir, args, seed, workdir):
        self.stats = os.path.join(workdir, "stats-%d" % seed)
        env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy",
                   DUELSTAR_NET_SCRIPT=str(seed), DUELSTAR_NET_STATS=self.stats)
        self.proc = subprocess.Popen([game] + args, cwd=source_dir, env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def finish(self, limit):
        try:
            out, err = self.proc.communicate(timeout=limit)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            out, err = self.proc.communicate()
            raise AssertionError("still running after %.0f s: %r %r" % (limit, out, err))
        return self.proc.returncode, out, err

    def read_stats(self):
        with open(self.stats) as f:
            return {k: int(v) for k, v in (line.split() for line in f)}


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(predicate, limit, what):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        if predicate():
            return
        time.sleep(0.02)
    raise AssertionError("waited %.0f s for %s" % (limit, what))


def start_pair(game, source, workdir, proxy_args):
    port = free_port()
    host = Game(game, source, ["--host", str(port)], 1, workdir)
    proxy = LossyProxy(port, **proxy_args).start()
    joiner = Game(game, source, ["--join", "127.0.0.1:%d" % proxy.listen_port], 2, workdir)
    return host, proxy, joiner


def play_match(game, source, workdir, rtt, loss, mangle=0.0, garbage_at=None):
    one_way = rtt / 2.0
    host, proxy, joiner = start_pair(game, source, workdir, dict(
        one_way_ms=one_way, jitter_ms=one_way / 5.0, loss=loss / 100.0,
        duplicate=0.02 if loss else 0.0, mangle=mangle, seed=rtt * 100 + loss))
    try:
        if garbage_at is not None:
            garbage_at(proxy)
        results = [g.finish(MATCH_LIMIT) for g in (host, joiner)]
    finally:
        proxy.stop()
    lines = []
    for status, out, err in results:
        check(status == 0, "status %d, out %r, err %r" % (status, out, err))
        check(err == "", "standard error: %r" % err)
        line = out.strip()
        check(RESULT.match(line), "not a result line: %r" % out)
        lines.append(RESULT.match(line).groups()[:2])
    check(lines[0] == lines[1], "the games disagree: %r" % lines)
    stats = [host.read_stats(), joiner.read_stats()]
    print("rtt %d ms, loss %d%%: %s %s, proxy %r" % (rtt, loss, lines[0], stats, proxy.counts))
    return stats


def case_match(game, source, workdir, rtt, loss):
    stats = play_match(game, source, workdir, int(rtt), int(loss))
    if int(rtt) >= 150:
        # With the commands a trip late past the input delay, guesses go
        # wrong and are replayed.
        check(stats[0]["rollbacks"] + stats[1]["rollbacks"] > 0, "no rollback: %r" % stats)
    for s in stats:
        check(s["deepest"] <= 8, "rolled back past the prediction limit: %r" % s)


def case_killed(game, source, workdir):
    host, proxy, joiner = start_pair(game, source, workdir, {})
    try:
        # Mid-match: frames have been flowing both ways for a while.
        wait_for(lambda: proxy.counts["to_host"] > 120 and proxy.counts["to_client"] > 120,
                 30, "the match to start")
        joiner.proc.send_signal(signal.SIGKILL)
        killed = time.monotonic()
        status, out, err = host.finish(KILL_LIMIT + 4)
        took = time.monotonic() - killed
    finally:
        proxy.stop()
    print("the host ended %.2f s after the joiner was killed: %r" % (took, out))
    check(status == 1, "status %d" % status)
    check(out == "ERROR: Net: Nothing heard from the other player for 5 s\n", repr(out))
    check(took <= KILL_LIMIT, "took %.2f s" % took)


def listening(port):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        try:
            s.bind(("127.0.0.1", port))
        except OSError:
            return True
    return False


def case_version(game, source, workdir, other_peer):
    port = free_port()
    host = Game(game, source, ["--host", str(port)], 1, workdir)
    wait_for(lambda: listening(port), 30, "the host to listen")
    peer = subprocess.run([other_peer, str(port)], capture_output=True, text=True, timeout=30)
    status, out, err = host.finish(10)
    print("peer: %r, host: %r" % (peer.stdout, out))
    check(peer.stdout == "refused: version\n", "the other game was told %r" % peer.stdout)
    check(status == 1, "status %d" % status)
    check(out.startswith("ERROR: Net: The other game speaks protocol 2 and this one 1"), repr(out))


def case_garbage(game, source, workdir):
    rng = random.Random(5)
    port = free_port()
    # First a waiting host, with nobody there but noise.
    host = Game(game, source, ["--host", str(port)], 1, workdir)
    noise = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    for _ in range(2000):
        noise.sendto(bytes(rng.randrange(256) for _ in range(rng.randrange(1, 200))),
                     ("127.0.0.1", port))
    check(host.proc.poll() is None, "the waiting host ended on noise")
    proxy = LossyProxy(port, mangle=0.05, seed=9).start()
    joiner = Game(game, source, ["--join", "127.0.0.1:%d" % proxy.listen_port], 2, workdir)
    try:
        wait_for(lambda: proxy.counts["to_host"] > 60, 30, "the match to start")
        # Then a match in play, with noise from elsewhere and damage in the path.
        for _ in range(2000):
            noise.sendto(bytes(rng.randrange(256) for _ in range(rng.randrange(1, 200))),
                         ("127.0.0.1", port))
        results = [g.finish(MATCH_LIMIT) for g in (host, joiner)]
    finally:
        proxy.stop()
        noise.close()
    lines = [r[1].strip() for r in results]
    print("after noise: %r, proxy %r" % (lines, proxy.counts))
    check(all(r[0] == 0 for r in results), "statuses %r" % [r[0] for r in results])
    check(RESULT.match(lines[0]) and RESULT.match(lines[1]), repr(lines))
    check(RESULT.match(lines[0]).groups()[:2] == RESULT.match(lines[1]).groups()[:2], repr(lines))
    check(proxy.counts["mangled"] > 0, "nothing was damaged")


def main():
    game, source, case = sys.argv[1], sys.argv[2], sys.argv[3]
    with tempfile.TemporaryDirectory() as workdir:
        globals()["case_" + case](game, source, workdir, *sys.argv[4:])
    print("ok")


if __name__ == "__main__":
    main()
