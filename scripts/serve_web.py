# SPDX-License-Identifier: MIT
"""Serves a static folder on 127.0.0.1 with Python's http.server, with the
types a browser wants for WebAssembly and the web app manifest, and prints
the address on its first line of output.

    python3 scripts/serve_web.py FOLDER [PORT]   (PORT 0: any free port)"""

import functools
import http.server
import sys

TYPES = {
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".js": "text/javascript",
    ".svg": "image/svg+xml",
}


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that goes away in the middle of a response (a closed
        # page, a test's context) is nothing to report.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass  # one line per request would bury the address


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    handler = functools.partial(Handler, directory=folder)
    try:
        server = Server(("127.0.0.1", port), handler)
    except OSError:
        server = Server(("127.0.0.1", 0), handler)
    print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
