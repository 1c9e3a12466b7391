#!/usr/bin/env python3
"""Nodes per second of several UCI engines, measured side by side in one run.

    tools/engine_speed.py [--movetime MS] [--positions N] [--rounds R] NAME=COMMAND ...

Each engine gets one thread and 64 MB of hash. The positions are the start
position and the first N (default 12) positions of the test suite
(../shared/suites/wac.epd beside the work tree, or --suite FILE). For every
position, each engine in turn searches it with "go movetime MS" (default 2000);
the speed of one search is taken from the engine's last info line (its nps
field, else nodes * 1000 / time). The table gives each engine's median.
Engines take turns position by position, so the noise of a shared machine
falls on all of them alike. Nothing here is needed by the build or the tests.
"""
import argparse
import os
import select
import shlex
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SUITE = os.path.join(HERE, "..", "..", "shared", "suites", "wac.epd")
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


class Engine:
    def __init__(self, name, command, workdir):
        self.name = name
        self.proc = subprocess.Popen(shlex.split(command), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, cwd=workdir, text=True, bufsize=1)
        self.buffer = ""

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def read_until(self, prefix, timeout):
        """Lines up to and including the first one starting with prefix."""
        lines = []
        deadline = time.monotonic() + timeout
        while True:
            while "\n" in self.buffer:
                line, self.buffer = self.buffer.split("\n", 1)
                line = line.strip()
                lines.append(line)
                if line.startswith(prefix):
                    return lines
            left = deadline - time.monotonic()
            if left <= 0:
                raise RuntimeError(f"{self.name}: no '{prefix}' line in time")
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if ready:
                chunk = os.read(self.proc.stdout.fileno(), 65536).decode(errors="replace")
                if not chunk:
                    raise RuntimeError(f"{self.name}: ended unexpectedly")
                self.buffer += chunk

    def start(self):
        self.send("uci")
        self.read_until("uciok", 30)
        for option in ("setoption name Hash value 64", "setoption name Threads value 1",
                       "setoption name OwnBook value false"):
            self.send(option)
        self.send("isready")
        self.read_until("readyok", 60)

    def nps(self, fen, movetime):
        self.send("ucinewgame")
        self.send("position fen " + fen)
        self.send("isready")
        self.read_until("readyok", 60)
        self.send(f"go movetime {movetime}")
        lines = self.read_until("bestmove", movetime / 1000 + 30)
        infos = [l.split() for l in lines if l.startswith("info") and " nodes " in f" {l} "]
        if not infos:
            return None
        words = infos[-1]
        field = lambda key: int(words[words.index(key) + 1]) if key in words else None
        if field("nps"):
            return field("nps")
        nodes, ms = field("nodes"), field("time")
        return nodes * 1000 // max(ms, 1) if nodes and ms else None

    def stop(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except Exception:
            self.proc.kill()


def suite_positions(path, count):
    fens = []
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 4:
                fens.append(" ".join(fields[:4]) + " 0 1")
            if len(fens) == count:
                break
    return fens


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--movetime", type=int, default=2000)
    parser.add_argument("--positions", type=int, default=12)
    parser.add_argument("--rounds", type=int, default=1, help="passes over the positions")
    parser.add_argument("--suite", default=DEFAULT_SUITE)
    parser.add_argument("engines", nargs="+", metavar="NAME=COMMAND")
    args = parser.parse_args()

    fens = [START_FEN] + suite_positions(args.suite, args.positions)
    workdir = tempfile.mkdtemp(prefix="engine-speed-")   # no book or configuration file is found here
    engines = []
    for entry in args.engines:
        name, _, command = entry.partition("=")
        engines.append(Engine(name, command or name, workdir))
    samples = {e.name: [] for e in engines}
    try:
        for e in engines:
            e.start()
        for r in range(args.rounds):
            for i, fen in enumerate(fens):
                for e in engines:
                    v = e.nps(fen, args.movetime)
                    print(f"round {r + 1} position {i:2d} {e.name:10s} nps {v}", flush=True)
                    if v:
                        samples[e.name].append(v)
    finally:
        for e in engines:
            e.stop()
    print("\n| engine | median nodes/s | searches |\n|---|---|---|")
    for e in engines:
        s = samples[e.name]
        median = statistics.median(s) / 1e6 if s else 0
        print(f"| {e.name} | {median:.2f} M | {len(s)} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
