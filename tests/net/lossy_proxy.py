# SPDX-License-Identifier: MIT
"""A bad network between two games on one machine: a UDP relay on 127.0.0.1
that holds each datagram for a seeded delay with jitter, drops some, sends
some twice and so lets later ones overtake earlier ones."""

import heapq
import random
import select
import socket
import threading
import time


class LossyProxy:
    """Forwards datagrams from whoever calls listen_port to target_port and
    the answers back, each way delayed by one_way_ms +- jitter_ms."""

    def __init__(self, target_port, one_way_ms=0.0, jitter_ms=0.0, loss=0.0,
                 duplicate=0.0, mangle=0.0, seed=1):
        self.target = ("127.0.0.1", target_port)
        self.one_way = one_way_ms / 1000.0
        self.jitter = jitter_ms / 1000.0
        self.loss = loss
        self.duplicate = duplicate
        self.mangle = mangle
        self.random = random.Random(seed)
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.listen_port = self.sock.getsockname()[1]
        # The host sees the relay as the player, from a socket of its own.
        self.back = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.back.bind(("127.0.0.1", 0))
        self.client = None
        self.queue = []
        self.order = 0
        self.counts = {"to_host": 0, "to_client": 0, "dropped": 0, "doubled": 0, "mangled": 0}
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.stopped.set()
        self.thread.join()
        self.sock.close()
        self.back.close()

    def _schedule(self, data, out, to, direction):
        if self.random.random() < self.loss:
            self.counts["dropped"] += 1
            return
        if self.random.random() < self.mangle:
            # Cut short, or one byte changed: what a broken router might pass.
            self.counts["mangled"] += 1
            data = bytearray(data)
            if len(data) > 1 and self.random.random() < 0.5:
                data = data[:self.random.randrange(1, len(data))]
            else:
                data[self.random.randrange(len(data))] ^= 1 << self.random.randrange(8)
            data = bytes(data)
        copies = 2 if self.random.random() < self.duplicate else 1
        if copies == 2:
            self.counts["doubled"] += 1
        for _ in range(copies):
            delay = max(0.0, self.one_way + self.random.uniform(-self.jitter, self.jitter))
            self.order += 1
            heapq.heappush(self.queue, (time.monotonic() + delay, self.order, data, out, to,
                                        direction))

    def _run(self):
        while not self.stopped.is_set():
            now = time.monotonic()
            while self.queue and self.queue[0][0] <= now:
                _, _, data, out, to, direction = heapq.heappop(self.queue)
                try:
                    out.sendto(data, to)
                    self.counts[direction] += 1
                except OSError:
                    pass
            wait = 0.005
            if self.queue:
                wait = min(wait, max(0.0, self.queue[0][0] - now))
            ready, _, _ = select.select([self.sock, self.back], [], [], wait)
            for sock in ready:
                try:
                    data, source = sock.recvfrom(2048)
                except OSError:
                    continue
                if sock is self.sock:
                    self.client = source
                    self._schedule(data, self.back, self.target, "to_host")
                elif self.client is not None:
                    self._schedule(data, self.sock, self.client, "to_client")
