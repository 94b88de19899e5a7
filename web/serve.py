#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# The server web.sh starts: serves only the folder a host would publish, on
# 127.0.0.1 (a secure context, so offline play and installing work), with the
# types browsers insist on, and the room service on /rooms, on the same port.
#
#   web/serve.py FOLDER PORT
import asyncio
import errno
import os
import sys

try:
    from aiohttp import web
except ImportError:
    print("Duelstar: the server needs aiohttp; scripts/install-deps.sh web installs it"
          " (Debian: python3-aiohttp)")
    sys.exit(1)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from rooms import Rooms, ice_servers  # noqa: E402

HOST = "127.0.0.1"
TYPES = {
    ".wasm": "application/wasm",
    ".js": "text/javascript",
    ".webmanifest": "application/manifest+json",
}


def static_files(folder):
    root = os.path.realpath(folder)

    async def serve_file(request):
        name = request.match_info["name"] or "index.html"
        if name.endswith("/"):
            name += "index.html"
        path = os.path.realpath(os.path.join(root, name))
        if not path.startswith(root + os.sep) or not os.path.isfile(path):
            raise web.HTTPNotFound()
        response = web.FileResponse(path)
        kind = TYPES.get(os.path.splitext(path)[1])
        if kind:
            response.content_type = kind
        return response

    return serve_file


def make_app(folder, ice=None):
    app = web.Application()
    rooms = Rooms(ice_servers() if ice is None else ice)
    app["rooms"] = rooms
    app.router.add_get("/rooms", rooms.handle)
    app.router.add_get("/{name:.*}", static_files(folder))
    return app


async def run(folder, port):
    runner = web.AppRunner(make_app(folder), access_log=None)
    await runner.setup()
    try:
        await web.TCPSite(runner, HOST, port).start()
    except OSError as error:
        await runner.cleanup()
        if error.errno == errno.EADDRINUSE:
            print(f"Duelstar: port {port} is taken; pick another, e.g. PORT={port + 1} ./web.sh")
        else:
            print(f"Duelstar: cannot serve on port {port}: {error.strerror}")
        return 1
    print(f"Duelstar: open http://{HOST}:{port}/ in a browser (Ctrl+C stops the server)",
          flush=True)
    try:
        await asyncio.Event().wait()
    finally:
        await runner.cleanup()
    return 0


def main():
    folder, port = sys.argv[1], sys.argv[2]
    if not port.isdigit() or not 0 < int(port) < 65536:
        print(f"Duelstar: no such port: {port}; pick one such as PORT=8001 ./web.sh")
        return 1
    try:
        return asyncio.run(run(folder, int(port)))
    except KeyboardInterrupt:
        return 0


if __name__ == "__main__":
    sys.exit(main())
