#!/usr/bin/env python3
"""Starts a program, waits until it has gone idle, and prints its CPU seconds, wall time and peak memory.

Idle means: no CPU used for --quiet seconds. The time of the last busy sample counts as the end, so the
quiet wait itself is not in the wall time. The program is then ended with SIGTERM.
"""
import argparse, os, signal, subprocess, sys, time

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime

def peak_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0

def descendants(pid):
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        try:
            for task in os.listdir(f"/proc/{p}/task"):
                with open(f"/proc/{p}/task/{task}/children") as f:
                    todo.extend(int(c) for c in f.read().split())
        except OSError:
            pass
    return found

def target_pid(pid, name):
    """The process to measure: the started one, or its descendant named name (behind a wrapper)."""
    if not name:
        return pid
    for p in descendants(pid):
        try:
            with open(f"/proc/{p}/comm") as f:
                if f.read().strip() == name:
                    return p
        except OSError:
            pass
    return None

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quiet", type=float, default=2.0)
    ap.add_argument("--timeout", type=float, default=300.0)
    ap.add_argument("--label", default="run")
    ap.add_argument("--match", default="", help="measure the descendant process of this name")
    ap.add_argument("command", nargs=argparse.REMAINDER)
    a = ap.parse_args()
    start = time.monotonic()
    proc = subprocess.Popen(a.command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    last_cpu, last_busy, peak = 0.0, start, 0
    time.sleep(0.5)
    while time.monotonic() - start < a.timeout:
        if proc.poll() is not None:
            print(f"{a.label}: ended by itself (code {proc.returncode})", file=sys.stderr)
            break
        pid = target_pid(proc.pid, a.match)
        if pid is None:
            time.sleep(0.1)
            continue
        try:
            cpu = cpu_seconds(pid)
            peak = max(peak, peak_kb(pid))
        except OSError:
            break
        now = time.monotonic()
        if cpu > last_cpu + 0.005:
            last_cpu, last_busy = cpu, now
        elif now - last_busy >= a.quiet and now - start > 1.0:
            break
        time.sleep(0.1)
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(20)
        except subprocess.TimeoutExpired:
            proc.kill()
    print(f"{a.label:28s} cpu {last_cpu:6.2f} s   wall {last_busy - start:6.2f} s   peak {peak / 1024:7.1f} MB")

main()
