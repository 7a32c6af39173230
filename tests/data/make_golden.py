#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the expected ip-file.csv of each export case into this folder.

The window's values are worked out here from the addressing rules themselves (ipaddress for
networks, broadcasts and subnets; classful boundaries; RFC 1918 ranges), not from the program,
so the C++ export test compares two independent derivations byte for byte.

Run from anywhere:  python3 tests/data/make_golden.py
"""

import ipaddress
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
ZONE = 14
MOST_LISTED = 16384
CLASS_A_LIMIT = 65537
REFUSAL_ENTRY = "CPU(T_T):計算が大変なので計算いたしません！！"
REFUSAL_LINE = "ネットワーク数は多すぎて書き込めません！ごめんなさい。16384本以下でご使用ください。"

# Caption labels the export reads back (fixed window texts).
CAPTIONS = {
    "Label54": "Sabrota",
    "Label55": "Sabrota\u3000Ver1.33",
    "Label13": "IPのアドレスクラス",
    "Label44": "IPアドレスの種類",
    "Label25": "ホスト数",
    "Label26": "サブネット数",
    "Label49": "ネットワークの範囲",
    "Label32": "ネットワークアドレス",
    "Label40": "ブロードキャストアドレス",
    "Label42": "ワイルドカードマスク",
    "Label19": "注意",
    "Label56": "ネットワークアドレス一覧",
}

PRIVATE = [ipaddress.ip_network(n) for n in ("10.0.0.0/8", "172.16.0.0/12", "192.168.0.0/16")]


def combo_item(prefix):
    mask = ipaddress.ip_network(f"0.0.0.0/{prefix}").netmask
    return ".".join(f"{o:03d}" for o in mask.packed) + "    /" + str(prefix)


def window_after_run(texts, prefix):
    """The captions, texts and list entries the window shows after Calculate has finished."""
    octets = [int(t) for t in texts]
    addr = ipaddress.IPv4Address(".".join(map(str, octets)))
    mask = list(ipaddress.ip_network(f"0.0.0.0/{prefix}").netmask.packed)
    wildcard = list(ipaddress.ip_network(f"0.0.0.0/{prefix}").hostmask.packed)

    w = dict(CAPTIONS)
    w["Text"] = list(texts)
    w["Combo1"] = combo_item(prefix)
    w["addrBits"] = [format(o, "08b") for o in octets]
    w["maskBits"] = [format(o, "08b") for o in mask]
    for i, name in enumerate(("Label62", "Label63", "Label64", "Label65")):
        w[name] = f"{octets[i]:02X}"
    for i, name in enumerate(("Label66", "Label67", "Label68", "Label69")):
        w[name] = f"{mask[i]:02X}"
    for i, name in enumerate(("Label9", "Label10", "Label11", "Label12")):
        w[name] = str(mask[i])
    for i, name in enumerate(("Label21", "Label15", "Label16", "Label17")):
        w[name] = str(wildcard[i])

    first = octets[0]
    if first < 127:
        klass, natural = "A", 8
    elif first == 127:
        klass, natural = "ループバック", None
    elif first <= 191:
        klass, natural = "B", 16
    else:
        klass, natural = "C", 24
    w["Label14"] = klass
    if first == 127:
        w["Label46"] = "ループバック"
    elif any(addr in n for n in PRIVATE):
        w["Label46"] = "プライベート"
    else:
        w["Label46"] = "グローバル"

    result_fields = ["Label20", "Label24", "Label58", "Label59", "Label27", "Label29",
                     "Label31", "Label60", "Label61", "Label18", "Label53"]
    result_fields += ["Label33", "Label35", "Label37", "Label39"]
    result_fields += ["Label41", "Label43", "Label45", "Label47"]
    for name in result_fields:
        w[name] = ""
    w["List1"] = []
    if natural is None:
        return w

    net = ipaddress.ip_network(f"{addr}/{prefix}", strict=False)
    size = net.num_addresses
    w["Label20"] = str(size)
    w["Label58"] = "2"
    w["Label59"] = str(32 - prefix)
    w["Label24"] = str(size - 2)
    net_octets = list(net.network_address.packed)
    bcast_octets = list(net.broadcast_address.packed)
    for i, name in enumerate(("Label33", "Label35", "Label37", "Label39")):
        w[name] = str(net_octets[i])
    for i, name in enumerate(("Label41", "Label43", "Label45", "Label47")):
        w[name] = str(bcast_octets[i])

    # Octets 2 to 4 are compared as typed, so a leading zero never matches.
    def coincides(found):
        return all(texts[i] == str(found[i]) for i in (1, 2, 3)) and octets[0] == found[0]

    if coincides(net_octets):
        w["Label18"], w["Label53"] = "ネットワークトアドレスと重複", "!!"
    if coincides(bcast_octets):
        w["Label18"], w["Label53"] = "ブロードキャストアドレスと重複", "!!"

    if prefix < natural:
        return w  # classless: no subnet row, no list

    class_net = ipaddress.ip_network(f"{addr}/{natural}", strict=False)
    networks = 2 ** (prefix - natural)
    w["Label27"] = str(class_net.num_addresses)
    w["Label29"] = str(size)
    w["Label31"] = str(networks)
    w["Label60"] = "2"
    w["Label61"] = str(prefix - natural)
    if klass == "A" and networks > CLASS_A_LIMIT:
        w["List1"] = [REFUSAL_ENTRY]
    else:
        w["List1"] = [str(s.network_address) for s in class_net.subnets(new_prefix=prefix)]
    return w


class Writer:
    """Code page 932 text; print zones counted in encoded bytes; a step always moves on."""

    def __init__(self):
        self.out = bytearray()
        self.col = 0

    def write(self, text):
        b = text.encode("cp932")
        self.out += b
        self.col += len(b)

    def zone(self):
        n = ZONE - self.col % ZONE
        self.out += b" " * n
        self.col += n

    def end(self):
        self.out += b"\r\n"
        self.col = 0

    def line(self, *pieces):
        for p in pieces:
            self.write(p)
        self.end()


def export(w):
    """The file the export writes, and whether the list was refused."""
    f = Writer()
    t = w["Text"]
    f.line(w["Label54"], ",", w["Label55"])
    f.line(".".join(t))
    f.line("入力IPアドレス", ",", ",".join(t))
    for key, hexes, decs in (("addrBits", ("Label62", "Label63", "Label64", "Label65"), None),
                             ("maskBits", ("Label66", "Label67", "Label68", "Label69"),
                              ("Label9", "Label10", "Label11", "Label12"))):
        if decs:
            f.line("選択サブネットマスク", ",", w["Combo1"])
            f.line("DEC", *("," + w[d] for d in decs))
        bits = w[key]
        f.write("BIN,'" + bits[0])
        for b in bits[1:]:
            f.zone()
            f.write(",'" + b)
        f.end()
        f.line("HEX", *(",'" + w[h] for h in hexes))
    f.line(w["Label13"], ",", w["Label14"])
    f.line(w["Label44"], ",", w["Label46"])

    f.write(w["Label25"] + ",'")
    f.zone()
    f.write(w["Label20"] + "-2")
    f.zone()
    f.write("," + w["Label24"] + "台")
    f.zone()
    f.write(",2の" + w["Label59"] + "乗")
    f.end()

    f.write(w["Label26"] + ",'")
    f.zone()
    f.write(w["Label27"] + "÷" + w["Label20"])
    f.zone()
    f.write("," + w["Label31"] + "本")
    f.zone()
    f.write(",2の" + w["Label61"] + "乗")
    f.end()

    f.line(w["Label49"])
    f.line(w["Label32"], ",,", w["Label40"])
    net = ".".join(w[n] for n in ("Label33", "Label35", "Label37", "Label39"))
    bcast = ".".join(w[n] for n in ("Label41", "Label43", "Label45", "Label47"))
    f.line(net, ",～,", bcast)
    f.line(w["Label42"])
    f.line(".".join(w[n] for n in ("Label21", "Label15", "Label16", "Label17")))
    f.line(w["Label19"], ",", w["Label53"])
    f.line(w["Label18"])
    f.line()
    f.line(w["Label56"])

    last = int(w["Label31"]) - 1 if w["Label31"] else 0
    if last > MOST_LISTED:
        f.line(REFUSAL_LINE)
        return bytes(f.out), True
    entries = w["List1"]
    for i in range(last + 1):
        f.write((entries[i] if i < len(entries) else "") + ",")
        if (i + 1) % 10 == 0:
            f.end()
    return bytes(f.out), False


# name, typed octets, prefix, expected outcome
CASES = [
    ("c_26", ("192", "168", "1", "130"), 26, False),
    ("c_network_coincides", ("192", "168", "1", "0"), 24, False),
    ("b_classless", ("150", "1", "2", "3"), 12, False),
    ("loopback", ("127", "0", "0", "1"), 24, False),
    ("c_16_networks", ("192", "168", "1", "10"), 28, False),
    ("b_16384_networks", ("172", "16", "5", "4"), 30, False),
    ("b_30_200", ("172", "16", "5", "200"), 30, False),
    ("b_refused", ("172", "16", "5", "4"), 31, True),
    ("a_refused", ("10", "1", "2", "3"), 25, True),
]


def main():
    for name, texts, prefix, refused in CASES:
        data, was_refused = export(window_after_run(texts, prefix))
        assert was_refused == refused, name
        (HERE / f"csv_{name}.csv").write_bytes(data)
        ends = data.count(b"\r\n")
        print(f"csv_{name}.csv: {len(data)} bytes, {ends} line ends")


if __name__ == "__main__":
    main()
