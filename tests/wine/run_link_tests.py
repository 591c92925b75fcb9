#!/usr/bin/env python3
"""Runs the Windows serial-link tests under Wine against virtual readers."""

import argparse
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

# port number, environment variable, kavrin-sim arguments
READERS = [
    (1, "KAVRIN_COM_READER", ["--firmware-version", "2.10"]),
    (2, "KAVRIN_COM_SILENT", ["--fault", "all:silent"]),
    (3, "KAVRIN_COM_SHORT", ["--fault", "all:short-body"]),
    (4, "KAVRIN_COM_WRONG_HEADER", ["--fault", "all:wrong-header"]),
    (5, "KAVRIN_COM_EMPTY", ["--fault", "all:empty"]),
    (6, "KAVRIN_COM_STATUS", ["--fault", "all:status:5"]),
    (7, "KAVRIN_COM_HANGUP", ["--fault", "all:hangup"]),
    (8, "KAVRIN_COM_HELD", []),
    # A second reader that hangs up: the first is gone after its test.
    (10, "KAVRIN_COM_VANISHING", ["--fault", "all:hangup"]),
    # 25 records; every block request after the first fails.
    (11, "KAVRIN_COM_EXPORT_SILENT", ["--records", "25", "--fault", "GET_RECORDS:silent:0:1"]),
    (13, "KAVRIN_COM_EXPORT_SHORT", ["--records", "25", "--fault", "GET_RECORDS:short-body:0:1"]),
    (14, "KAVRIN_COM_EXPORT_WRONG_HEADER", ["--records", "25", "--fault", "GET_RECORDS:wrong-header:0:1"]),
    (15, "KAVRIN_COM_EXPORT_VANISHING", ["--records", "25", "--fault", "GET_RECORDS:hangup:0:1"]),
    (12, "KAVRIN_COM_HIGH", ["--firmware-version", "2.10"]),
]
HELD_PORT = 8
MISSING_PORT = 9


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sim", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("exe")
    args = parser.parse_args()

    wine_env.ensure_prefix(args.prefix)
    links = tempfile.mkdtemp(prefix="kavrin-links-")
    sims, mapping, env = [], {}, {"KAVRIN_COM_MISSING": "COM%d:" % MISSING_PORT}
    try:
        for number, variable, sim_args in READERS:
            sim = wine_env.Sim(args.sim, os.path.join(links, "com%d" % number), *sim_args)
            sims.append(sim)
            mapping[number] = sim.link
            env[variable] = "COM%d:" % number
        wine_env.map_ports(args.prefix, mapping)
        holder = wine_env.hold_exclusively(sims[[n for n, _, _ in READERS].index(HELD_PORT)].path)
        code, _ = wine_env.run_wine(args.prefix, [args.exe], timeout=300, extra_env=env)
        rejected = {s.link: s.state()["rejected"] for s in sims if s.proc.poll() is None}
        bad = {link: n for link, n in rejected.items() if n != "0"}
        if bad:
            print("virtual readers rejected malformed requests: %s" % bad)
            return 1
        os.close(holder)
        return code
    finally:
        for sim in sims:
            sim.stop()


if __name__ == "__main__":
    sys.exit(main())
