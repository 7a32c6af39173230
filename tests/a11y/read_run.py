# SPDX-License-Identifier: MIT
"""Drives one run of the window through the accessibility bus, as a screen reader user's tools
would, and checks what the bus reports back against the address rules worked out here.

Run by run_a11y_test.sh, which provides the display, the session bus and the AT-SPI registry.
  read_run.py <sabrota executable>
Exit status 0 when everything read back matches, 1 otherwise."""
import ipaddress
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

ADDRESS = "192.168.1.130"
MASK_ITEM = "255.255.255.192    /26"
PRIVATE = "プライベート"
# The refused class A run, whose one list entry is wider than its column.
REFUSED_ADDRESS, REFUSED_PREFIX = "10.1.2.3", 25
REFUSAL_ENTRY = "CPU(T_T):計算が大変なので計算いたしません！！"
WAIT = 20.0  # seconds for anything to show up


def pump():
    """Lets the events that came in over the bus reach their listeners."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, timeout=WAIT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump()
        try:
            found = probe()
        except AssertionError:
            raise
        except Exception:  # the tree is still being built; ask again
            found = None
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError(f"gave up waiting for {what}")


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def by_name(root, role, name):
    for n in descendants(root):
        if n.getRoleName() == role and n.name == name:
            return n
    return None


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return
    raise AssertionError(f"{node.name} has no press action")


def expected():
    """The results of the run, from the classful and RFC 1918 rules and the ipaddress module."""
    address = ipaddress.IPv4Address(ADDRESS)
    prefix = int(MASK_ITEM.split("/")[1])
    net = ipaddress.IPv4Network(f"{address}/{prefix}", strict=False)
    first = int(str(address).split(".")[0])
    klass = "A" if first < 128 else "B" if first < 192 else "C" if first < 224 else None
    natural = {"A": 8, "B": 16, "C": 24}[klass]
    rfc1918 = [ipaddress.IPv4Network(n) for n in ("10.0.0.0/8", "172.16.0.0/12", "192.168.0.0/16")]
    assert any(address in n for n in rfc1918), "the run is meant to use a private address"
    class_net = ipaddress.IPv4Network(f"{address}/{natural}", strict=False)
    return {
        "class": klass,
        "kind": PRIVATE,
        "hosts": str(net.num_addresses - 2),
        "network": str(net.network_address).split("."),
        "broadcast": str(net.broadcast_address).split("."),
        "list": [str(s.network_address) for s in class_net.subnets(new_prefix=prefix)],
    }


def main(exe):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1")
    proc = subprocess.Popen([exe], env=env)
    try:
        return check(proc)
    except AssertionError as e:
        print("FAILED:", e)
        dump(proc)
        return 1
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(timeout=5)


def find_app(proc):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == proc.pid:
            return app
    if proc.poll() is not None:
        raise AssertionError(f"the program ended with status {proc.returncode}")
    return None


def dump(proc):
    """What the bus shows of the program, for the log of a failed run."""
    try:
        app = find_app(proc)
    except AssertionError as e:
        print(e)
        return
    if app is None:
        print("the program is not on the accessibility bus")
        return

    def walk(node, depth):
        try:
            text = " text=" + repr(text_of(node))
        except Exception:
            text = ""
        print("  " * depth + f"{node.getRoleName()}: {node.name!r}{text}")
        for child in (node.getChildAtIndex(i) for i in range(node.childCount)):
            if child is not None and child.getRoleName() != "list item":
                walk(child, depth + 1)

    walk(app, 0)


def enter(frame, address, mask_item):
    """Puts the address into the octet boxes and the mask into the mask box's text."""
    for i, octet in enumerate(address.split("."), start=1):
        box = wait_for(f"octet box {i}", lambda: by_name(frame, "text", f"アドレス第{i}オクテット"))
        box.queryEditableText().setTextContents(octet)
        wait_for(f"octet box {i} to take {octet}", lambda: text_of(box) == octet)
    combo = wait_for("the mask box", lambda: next(
        n for n in descendants(frame) if n.getRoleName() == "combo box"))
    line = next(n for n in descendants(combo) if n.getRoleName() == "text")
    line.queryEditableText().setTextContents(mask_item)
    wait_for("the mask box to take the mask", lambda: text_of(line) == mask_item)
    return combo


def check(proc):
    app = wait_for("the program on the accessibility bus", lambda: find_app(proc))
    frame = wait_for("the window", lambda: by_name(app, "frame", "Sabrota"))
    list_box = wait_for("the network list", lambda: by_name(frame, "list", "ネットワークアドレスの一覧"))
    entries = lambda: [c.name for c in descendants(list_box) if c.getRoleName() == "list item"]

    def field(meaning):
        node = next(n for n in descendants(frame)
                    if n.getRoleName() == "label" and n.name.startswith(meaning + " "))
        return node.name, text_of(node)

    # What a screen reader is told while the run goes: the fields whose names changed, each
    # by its name when the news is read.
    heard = set()
    listener = lambda event: heard.add(event.source.name)
    pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name")
    pump()

    combo = enter(frame, ADDRESS, MASK_ITEM)
    want = expected()
    press(by_name(frame, "push button", "計算"))
    wait_for("the network list to fill", lambda: entries() == want["list"])
    got = {
        "class": field("アドレスクラス"),
        "kind": field("アドレスの種類"),
        "hosts": field("使用可能なホスト数"),
        "network": [field(f"ネットワークアドレス第{i}オクテット") for i in range(1, 5)],
        "broadcast": [field(f"ブロードキャストアドレス第{i}オクテット") for i in range(1, 5)],
    }
    singles = [got["class"], got["kind"], got["hosts"]]
    names = [name for name, _ in singles + got["network"] + got["broadcast"]]
    try:
        wait_for("the announcements", lambda: all(n in heard for n in names), timeout=5)
    except AssertionError:
        pass  # reported with the other mismatches below
    pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-name")

    print(f"read back for {ADDRESS} with {MASK_ITEM.split()[-1]}:")
    for name, text in singles:
        print(f"  {name!r} (text {text!r})")
    for key in ("network", "broadcast"):
        print("  " + ", ".join(repr(name) for name, _ in got[key]))
    print("  list: " + ", ".join(entries()))

    failures = []
    for key in ("class", "kind", "hosts"):
        name, text = got[key]
        if text != want[key] or not name.endswith(" " + want[key]):
            failures.append(f"{key}: read {name!r} / {text!r}, want {want[key]!r}")
    for key in ("network", "broadcast"):
        shown = [text for _, text in got[key]]
        if shown != want[key] or any(not n.endswith(" " + w) for (n, _), w in zip(got[key], want[key])):
            failures.append(f"{key}: read {got[key]}, want {want[key]}")
    failures += [f"no name change announced for {n!r}" for n in names if n not in heard]

    # The refused class A list: its one entry reads whole, however narrow its column.
    items = [c.name for c in descendants(combo) if c.getRoleName() == "list item"]
    enter(frame, REFUSED_ADDRESS, next(i for i in items if i.endswith(f"/{REFUSED_PREFIX}")))
    press(by_name(frame, "push button", "計算"))
    try:
        wait_for("the refused list", lambda: entries() == [REFUSAL_ENTRY])
        print(f"  list for {REFUSED_ADDRESS} with /{REFUSED_PREFIX}: {entries()[0]}")
    except AssertionError:
        failures.append(f"refused list: read {entries()}, want {[REFUSAL_ENTRY]}")

    for f in failures:
        print("MISMATCH", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
