#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The page's speed in headless Chromium, each figure beside a fair baseline in the same browser:

- opening sabrota.html to its first contentful paint, against a static page of the same window
  (the DOM the page builds, saved with its style and without any script);
- a click on 計算 for 10.1.2.3 /24 to the painted list of 65,536 networks, against a bare chain of
  ten 30 ms timers followed by a frame, in the same page.

Medians of REPETITIONS (default 9), interleaved. Usage: page_timing.py sabrota.html [REPETITIONS]
"""
import os
import shutil
import statistics
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

PAGE = os.path.abspath(sys.argv[1])
N = int(sys.argv[2]) if len(sys.argv) > 2 else 9

CLICK_TO_LIST = """
const done = arguments[arguments.length - 1];
const b = [...document.querySelectorAll('button')].find(x => x.textContent === '計算');
const t0 = performance.now();
b.click();
(function wait() {
  const o = document.querySelector('#list [role=option]');
  if (o && o.getAttribute('aria-setsize') === '65536')
    requestAnimationFrame(() => done(performance.now() - t0));
  else setTimeout(wait, 1);
})();"""

BARE_CHAIN = """
const done = arguments[arguments.length - 1];
const t0 = performance.now();
let n = 0;
(function next() {
  if (++n > 10) requestAnimationFrame(() => done(performance.now() - t0));
  else setTimeout(next, 30);
})();"""

FIRST_PAINT = """
const p = performance.getEntriesByName('first-contentful-paint')[0];
return p ? p.startTime : null;"""


def main():
    scratch = tempfile.mkdtemp(prefix="sabrota-bench-")
    o = webdriver.ChromeOptions()
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
              "--disable-component-update", "--disable-sync", "--no-first-run",
              "--window-size=1000,800", f"--user-data-dir={scratch}/profile"):
        o.add_argument(a)
    d = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=o)
    d.set_script_timeout(60)
    try:
        url = "file://" + PAGE
        d.get(url)
        time.sleep(0.5)
        # The static window: what the page has built, with its style, no script and no policy.
        static = d.execute_script("""
            const copy = document.documentElement.cloneNode(true);
            copy.querySelectorAll('script, meta[http-equiv]').forEach(e => e.remove());
            return '<!DOCTYPE html>' + copy.outerHTML;""")
        static_path = os.path.join(scratch, "static.html")
        with open(static_path, "w", encoding="utf-8") as f:
            f.write(static)
        opened, baseline, run, chain = [], [], [], []
        for _ in range(N):
            for target, into in ((url, opened), ("file://" + static_path, baseline)):
                d.get("about:blank")
                d.get(target)
                into.append(wait_for(lambda: d.execute_script(FIRST_PAINT)))
            d.get(url)
            time.sleep(0.3)
            d.execute_script("""
                const s = (k, v) => { const e = document.querySelector(`[aria-label="${k}"]`);
                  e.value = v; e.dispatchEvent(new Event('input')); };
                s('アドレス第1オクテット', '10'); s('アドレス第2オクテット', '1');
                s('アドレス第3オクテット', '2'); s('アドレス第4オクテット', '3');""")
            time.sleep(0.2)
            run.append(d.execute_async_script(CLICK_TO_LIST))
            chain.append(d.execute_async_script(BARE_CHAIN))
    finally:
        d.quit()
        shutil.rmtree(scratch, ignore_errors=True)
    rows = (("open to first paint", opened, baseline, "static page"),
            ("計算 to painted 65,536-entry list", run, chain, "ten 30 ms timers"))
    for name, ours, base, what in rows:
        a, b = statistics.median(ours), statistics.median(base)
        print(f"{name}: {a:.1f} ms against {b:.1f} ms ({what}): {a / b:.3f}x")


def wait_for(read, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        v = read()
        if v:
            return v
        time.sleep(0.02)
    raise RuntimeError("no first paint")


if __name__ == "__main__":
    main()
