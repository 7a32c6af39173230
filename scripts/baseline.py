#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A yardstick for the network list: Python's ipaddress module enumerating the 65,536 /24
networks of 10.0.0.0/8 as dotted strings, the same list the program makes for 10.1.2.3 /24.

Prints the best of several rounds in milliseconds. scripts/bench_ratios.py uses measure().
"""
import ipaddress
import sys
import time


def enumerate_networks():
    return [str(n.network_address) for n in ipaddress.ip_network("10.0.0.0/8").subnets(new_prefix=24)]


def measure(rounds):
    """The best time of rounds enumerations in milliseconds, the number of networks, the version."""
    best = float("inf")
    for _ in range(rounds):
        start = time.perf_counter()
        entries = enumerate_networks()
        best = min(best, time.perf_counter() - start)
    assert len(entries) == 65536 and entries[0] == "10.0.0.0" and entries[-1] == "10.255.255.0"
    return best * 1000, len(entries), sys.version.split()[0]


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    best, count, version = measure(rounds)
    print(f"python {version} ipaddress: {count} networks, best of {rounds}: {best:.1f} ms")


if __name__ == "__main__":
    main()
