#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# The static server web.sh starts: serves only the folder a host would
# publish, on 127.0.0.1 (a secure context, so offline play and installing
# work), with the types browsers insist on.
#
#   web/serve.py FOLDER PORT
import errno
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".webmanifest": "application/manifest+json",
    }


def main():
    folder, port = sys.argv[1], sys.argv[2]
    if not port.isdigit() or not 0 < int(port) < 65536:
        print(f"Duelstar: no such port: {port}; pick one such as PORT=8001 ./web.sh")
        return 1
    port = int(port)
    handler = functools.partial(Handler, directory=folder)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    except OSError as error:
        if error.errno == errno.EADDRINUSE:
            print(f"Duelstar: port {port} is taken; pick another, e.g. PORT={port + 1} ./web.sh")
        else:
            print(f"Duelstar: cannot serve on port {port}: {error.strerror}")
        return 1
    print(f"Duelstar: open http://127.0.0.1:{port}/ in a browser (Ctrl+C stops the server)",
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
