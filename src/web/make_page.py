#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Puts the page, its style, its script and the model's WebAssembly (inside emscripten's
script, -sSINGLE_FILE) into one file, sabrota.html, and writes the Content-Security-Policy
that allows exactly that script and that style, WebAssembly, and nothing from anywhere.

Usage: make_page.py PAGE.html PAGE.css DESIGN.json PAGE.js MODULE.js VERSION OUTPUT.html
"""
import base64
import hashlib
import sys


def digest(text: str) -> str:
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode() + "'"


def main() -> None:
    page, css, design, js, module, version, out = sys.argv[1:8]
    read = lambda p: open(p, encoding="utf-8").read()
    style = read(css)
    # The page's own script draws the window; the model's comes in a script of its own after
    # it, so that the browser may paint the window while it reads the WebAssembly.
    script = "const kDesign = " + read(design) + ";\n" + read(js)
    model = read(module)
    csp = ("default-src 'none'; script-src " + digest(script) + " " + digest(model) +
           " 'wasm-unsafe-eval'; "
           "style-src " + digest(style) + "; img-src 'none'; font-src 'none'; "
           "connect-src 'none'; media-src 'none'; object-src 'none'; frame-src 'none'; "
           "worker-src 'none'; base-uri 'none'; form-action 'none'")
    html = read(page)
    # The placeholders are filled last to first, so no filled text is read as a placeholder.
    html = html.replace("@SCRIPT@", "\0").replace("@MODEL@", "\2").replace("@STYLE@", "\1")
    html = html.replace("@CSP@", csp).replace("@VERSION@", version)
    html = html.replace("\1", style).replace("\0", script).replace("\2", model)
    with open(out, "w", encoding="utf-8") as f:
        f.write(html)


if __name__ == "__main__":
    main()
