# SPDX-License-Identifier: MIT
"""Puts the static web site together in one folder: the page and its style,
the module (script and .wasm), the logos as PNG pictures with their
transparent colour, the icons, the web app manifest and the service worker
that keeps the site for offline use. The folder can be copied to any static
web server as it is."""

import argparse
import hashlib
import json
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path


def read_bmp(path):
    """The rows of an uncompressed 24-bit BMP, top row first, as RGB tuples."""
    data = path.read_bytes()
    if data[:2] != b"BM":
        sys.exit(f"make_site: {path} is no BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        sys.exit(f"make_site: {path} is not an uncompressed 24-bit BMP")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        row = [tuple(data[start + 3 * x + 2 - c] for c in range(3)) for x in range(width)]
        rows.append(row)
    if height > 0:  # stored bottom row first
        rows.reverse()
    return rows


def png(rows):
    """RGBA rows as a PNG file's bytes."""

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def logo_png(bmp):
    """The logo as the window draws it: the colour of its bottom-left pixel
    is not painted."""
    rows = read_bmp(bmp)
    key = rows[-1][0]
    return png([[(0, 0, 0, 0) if pixel == key else pixel + (255,) for pixel in row]
                for row in rows])


def manifest(version):
    return {
        "name": "Kolvane",
        "short_name": "Kolvane",
        "description": "Servo roll feed set-up for stamping presses",
        "version": version,
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        "background_color": "#ffffff",
        "theme_color": "#f0f0f0",
        "icons": [
            {"src": "icon.svg", "sizes": "any", "type": "image/svg+xml"},
            {"src": "icon-192.png", "sizes": "192x192", "type": "image/png"},
            {"src": "icon-512.png", "sizes": "512x512", "type": "image/png"},
        ],
    }


SERVICE_WORKER = """// SPDX-License-Identifier: MIT
// Keeps the site for offline use: every file is cached when the page is first
// visited, and served from the cache from then on. A new site has other
// contents and so another cache name; the old cache goes when the new one is
// ready.
var CACHE = 'kolvane-%(hash)s';
var FILES = %(files)s;

self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(CACHE).then(function(cache) {
    return cache.addAll(FILES);
  }).then(function() {
    return self.skipWaiting();
  }));
});

self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) {
      return name.indexOf('kolvane-') === 0 && name !== CACHE;
    }).map(function(name) {
      return caches.delete(name);
    }));
  }).then(function() {
    return self.clients.claim();
  }));
});

// The page's address may carry the language switch (?l=e): the cached page
// answers for every query.
self.addEventListener('fetch', function(event) {
  if (event.request.method !== 'GET') {
    return;
  }
  event.respondWith(caches.open(CACHE).then(function(cache) {
    return cache.match(event.request, {ignoreSearch: true}).then(function(found) {
      return found || fetch(event.request);
    });
  }));
});
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--pages", type=Path, required=True, help="index.html and style.css")
    parser.add_argument("--module", type=Path, required=True, help="the module's .js file")
    parser.add_argument("--logos", type=Path, nargs="+", required=True)
    parser.add_argument("--icon", type=Path, required=True)
    parser.add_argument("--rsvg", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()

    out = args.out
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    for name in ("index.html", "style.css"):
        shutil.copyfile(args.pages / name, out / name)
    shutil.copyfile(args.module, out / "kolvane.js")
    shutil.copyfile(args.module.with_suffix(".wasm"), out / "kolvane.wasm")
    for bmp in args.logos:
        (out / (bmp.stem + ".png")).write_bytes(logo_png(bmp))
    shutil.copyfile(args.icon, out / "icon.svg")
    for size in (192, 512):
        subprocess.run([args.rsvg, "-w", str(size), "-h", str(size), "-o",
                        str(out / f"icon-{size}.png"), str(args.icon)], check=True)
    (out / "manifest.webmanifest").write_text(json.dumps(manifest(args.version), indent=2) + "\n")

    files = sorted(p.name for p in out.iterdir())
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (out / name).read_bytes())
    cached = ["./"] + files
    (out / "sw.js").write_text(SERVICE_WORKER % {
        "hash": digest.hexdigest()[:16],
        "files": json.dumps(cached),
    })


if __name__ == "__main__":
    main()
