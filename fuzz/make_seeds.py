#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed inputs of fuzz_run: scripted sessions in the byte form the fuzzer reads.

FuzzedDataProvider takes integers from the end of the input, one byte per value for small
ranges, the high byte first for wider ones; a session is therefore written back to front.
"""
import pathlib
import sys

STEP = {"text": 0, "item": 2, "type": 3, "calc": 5, "clear": 7, "csv": 8, "memo": 9,
        "print": 10, "wait": 11}


class Session:
    def __init__(self):
        self.taken = []  # bytes in the order the fuzzer consumes them

    def byte(self, v):
        self.taken.append(v & 0xFF)

    def wide(self, v):
        self.taken += [(v >> 8) & 0xFF, v & 0xFF]

    def address(self, dotted):
        for k, part in enumerate(dotted.split("."), start=1):
            self.byte(STEP["text"])
            self.byte(k - 1)
            self.byte(0)  # a plain octet
            v = int(part)
            self.byte(v - 1 if k == 1 else v)

    def item(self, prefix):
        self.byte(STEP["item"])
        self.byte(prefix - 8)

    def wait(self, ms=400):
        self.byte(STEP["wait"])
        self.wide(ms)

    def calc(self):
        self.byte(STEP["calc"])

    def clear(self):
        self.byte(STEP["clear"])

    def csv(self, failing=False):
        self.byte(STEP["csv"])
        self.byte(0 if failing else 1)

    def print(self, works=True):
        self.byte(STEP["print"])
        self.byte(1 if works else 0)
        self.byte(STEP["print"])  # the click itself

    def nested(self, ms):
        # Answer to "advance while the box is open?": yes, by ms (0 … 120).
        self.byte(1)
        self.byte(ms)

    def data(self):
        return bytes(reversed(self.taken))


def full_run(dotted, prefix, export=False):
    s = Session()
    s.address(dotted)
    s.item(prefix)
    s.calc()
    for _ in range(3):
        s.wait()
    if export:
        s.csv()
        s.wait()
    return s


def main(out):
    out.mkdir(parents=True, exist_ok=True)
    seeds = {
        "overview_26_export": full_run("192.168.1.130", 26, export=True),
        "class_a_24_export_refused": full_run("10.1.2.3", 24, export=True),
        "class_b_30_export": full_run("172.16.5.4", 30, export=True),
        "class_b_31": full_run("172.16.5.4", 31),
        "class_a_25_refusal": full_run("10.1.2.3", 25, export=True),
        "loopback": full_run("127.0.0.1", 24, export=True),
        "classless_b_12": full_run("150.1.2.3", 12, export=True),
        "classless_c_23_coincide": full_run("200.1.2.0", 23),
        "broadcast_31": full_run("200.1.3.255", 31),
    }
    s = Session()
    s.address("192.168.1.1")
    s.item(24)
    s.calc()
    s.wait(60)
    s.clear()
    s.wait()
    seeds["clear_mid_run"] = s

    s = Session()
    s.address("192.168.1.1")
    s.item(28)
    s.calc()
    s.wait(100)
    s.calc()
    s.wait()
    s.wait()
    s.csv(failing=True)
    s.wait()
    s.nested(50)
    seeds["calculate_twice_failing_export"] = s

    s = full_run("192.168.1.130", 26)
    s.print(works=False)
    s.nested(40)
    s.byte(STEP["memo"])
    s.byte(0)
    seeds["print_fails"] = s

    s = Session()
    s.address("10.1.2.3")
    s.item(16)
    s.calc()
    s.wait(200)
    typed = "255.255.255.25/"  # the fourth piece is no number
    palette = "0123456789 .+-eE/\t,"
    s.byte(STEP["type"])
    s.byte(len(typed))  # the most characters
    s.byte(len(typed))  # the characters typed
    for ch in typed:
        s.byte(palette.index(ch))
    s.wait()
    seeds["mask_typed_mid_run"] = s

    for name, session in seeds.items():
        (out / name).write_bytes(session.data())


if __name__ == "__main__":
    main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                      pathlib.Path(__file__).parent / "corpus" / "fuzz_run"))
