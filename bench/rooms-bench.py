# SPDX-License-Identifier: MIT
# The room service's cost: memory per room, held by the server process alone
# (serve.py started apart, its resident size read from /proc), and rooms made
# per second, each room two members joined and both told of the other. The
# baseline, in the same run, is plain requests for a small published file from
# the same server, one after the other.
#
#   python3 bench/rooms-bench.py [ROOMS]     (default 2000; Linux only)
import asyncio
import os
import subprocess
import sys
import tempfile
import time

import aiohttp

HERE = os.path.dirname(os.path.abspath(__file__))
SERVE = os.path.join(HERE, "..", "web", "serve.py")
PORT = int(os.environ.get("PORT", "8765"))
SETTLE = 0.5  # s for the server to finish with the last member before it is read
BASELINE_REQUESTS = 2000


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


async def wait_for_server(client):
    for _ in range(100):
        try:
            async with client.get(f"http://127.0.0.1:{PORT}/index.html") as response:
                await response.read()
                return
        except aiohttp.ClientConnectionError:
            await asyncio.sleep(0.1)
    raise RuntimeError("serve.py did not answer")


async def bench(rooms, pid):
    connector = aiohttp.TCPConnector(limit=0)
    async with aiohttp.ClientSession(connector=connector) as client:
        await wait_for_server(client)
        start = time.monotonic()
        for _ in range(BASELINE_REQUESTS):
            async with client.get(f"http://127.0.0.1:{PORT}/index.html") as response:
                await response.read()
        requests_per_second = BASELINE_REQUESTS / (time.monotonic() - start)

        await asyncio.sleep(SETTLE)
        idle = resident_kib(pid)
        members = []
        start = time.monotonic()
        for number in range(rooms):
            code = f"B{number:06d}"
            red = await client.ws_connect(f"ws://127.0.0.1:{PORT}/rooms?room={code}")
            await red.receive()  # joined
            blue = await client.ws_connect(f"ws://127.0.0.1:{PORT}/rooms?room={code}")
            await blue.receive()  # joined
            await red.receive()  # peer
            await blue.receive()  # peer
            members += [red, blue]
        rooms_per_second = rooms / (time.monotonic() - start)
        await asyncio.sleep(SETTLE)
        full = resident_kib(pid)
        for socket in members:
            await socket.close()
    per_room = (full - idle) / rooms
    print(f"server at rest: {idle / 1024:.1f} MiB resident")
    print(f"{rooms} rooms open: {full / 1024:.1f} MiB resident, {per_room:.1f} KiB per room")
    print(f"rooms made: {rooms_per_second:.0f} a second; baseline, plain requests one after "
          f"the other: {requests_per_second:.0f} a second; ratio {rooms_per_second / requests_per_second:.2f}")


def main():
    rooms = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    env = dict(os.environ)
    # The bench's members all come from 127.0.0.1: let them hold every seat.
    env["PYTHONPATH"] = os.path.join(HERE, "..", "web")
    with tempfile.TemporaryDirectory() as site:
        with open(os.path.join(site, "index.html"), "w") as page:
            page.write("<!DOCTYPE html><title>bench</title>\n")
        code = (
            "import sys, rooms, serve; rooms.SEATS_PER_ADDRESS = 10 ** 9; "
            "sys.argv = ['serve.py', sys.argv[1], sys.argv[2]]; serve.main()"
        )
        server = subprocess.Popen([sys.executable, "-c", code, site, str(PORT)], env=env,
                                  stdout=subprocess.DEVNULL)
        try:
            asyncio.run(bench(rooms, server.pid))
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
