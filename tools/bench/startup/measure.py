#!/usr/bin/env python3
"""Starts a program, waits until it has gone idle, and reports its CPU seconds, wall time and peak memory.

Idle means: less than 5 % of a core used for --quiet seconds. The time of the last busy sample counts as the end, so the
quiet wait itself is not in the wall time. The program is then ended with SIGTERM, and so is everything
it started: the run gets its own process group, and descendants that left it are found under /proc.

With --ping SOCKET (Melvo's single-instance socket) a thread connects every 20 ms and sends a message
Melvo refuses at once; the time until Melvo drops the connection is how long its window would have kept
a user waiting. Reported: when the window first answered, and the longest wait after that.

The last line of output is one JSON object with the figures.
"""
import argparse, collections, json, os, signal, socket, subprocess, sys, threading, time

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

def comm(pid):
    try:
        with open(f"/proc/{pid}/comm") as f:
            return f.read().strip()
    except OSError:
        return None

def target_pid(pid, name):
    """The process to measure: the started one, or its descendant named name (behind a wrapper)."""
    if not name:
        return pid
    for p in descendants(pid):
        if comm(p) == name:
            return p
    return None

def schedstat(pid):
    """Nanoseconds the thread has run on a CPU, and waited for one."""
    try:
        with open(f"/proc/{pid}/task/{pid}/schedstat") as f:
            run, wait = f.read().split()[:2]
            return int(run), int(wait)
    except (OSError, ValueError):
        return 0, 0

class Pinger(threading.Thread):
    """Measures how long the program takes to answer on its socket, all run long. On a busy machine a
    stall is partly the wait for a CPU: the GUI thread's own running time in the longest one is kept."""
    def __init__(self, path, start, pid):
        super().__init__(daemon=True)
        self.path, self.start_time, self.pid = path, start, pid
        self.first = None      # seconds from start to the first answer
        self.longest = 0.0     # the longest answer after the first, seconds
        self.longest_ran = 0.0 # of which the GUI thread ran, seconds
        self.over50 = 0        # answers slower than 50 ms after the first
        self.ran_over50 = 0    # answers in which the GUI thread itself ran more than 50 ms
        self.stop = False

    def ping(self):
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.settimeout(30)
        try:
            s.connect(self.path)
        except OSError:
            s.close()
            return None
        sent = time.monotonic()
        try:
            # A well-formed frame with the wrong magic: Melvo drops it without acting on it.
            s.sendall(b"\x00\x00\x00\x08" + b"PINGPING")
            while s.recv(64):
                pass
        except OSError:
            pass
        s.close()
        return time.monotonic() - sent

    def run(self):
        while not self.stop:
            ran_before = schedstat(self.pid)[0]
            took = self.ping()
            ran = (schedstat(self.pid)[0] - ran_before) / 1e9
            if took is not None:
                if self.first is None:
                    self.first = time.monotonic() - self.start_time
                else:
                    if took > self.longest:
                        self.longest, self.longest_ran = took, ran
                    self.over50 += took > 0.050
                    self.ran_over50 += ran > 0.050
            time.sleep(0.02)

def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False

def end_all(proc, seen):
    """SIGTERM to the group and to every process seen, SIGKILL to whatever is left after 20 s.
    Returns the seconds the program took to end, and the processes that had to be killed."""
    pids = (set(seen) | set(descendants(proc.pid))) - {proc.pid}
    for kill in (lambda: os.killpg(proc.pid, signal.SIGTERM), *[lambda p=p: os.kill(p, signal.SIGTERM) for p in pids]):
        try:
            kill()
        except OSError:
            pass
    ended = time.monotonic()
    try:
        proc.wait(20)
    except subprocess.TimeoutExpired:
        pass
    exit_seconds = time.monotonic() - ended
    while time.monotonic() - ended < 20 and any(alive(p) for p in pids):
        time.sleep(0.1)
    left = [p for p in pids if alive(p)]
    for p in left + [proc.pid]:
        try:
            os.kill(p, signal.SIGKILL)
        except OSError:
            pass
    proc.wait()
    return exit_seconds, left

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quiet", type=float, default=2.0)
    ap.add_argument("--timeout", type=float, default=600.0)
    ap.add_argument("--label", default="run")
    ap.add_argument("--match", default="", help="measure the descendant process of this name")
    ap.add_argument("--ping", default="", help="Melvo's single-instance socket")
    ap.add_argument("command", nargs=argparse.REMAINDER)
    a = ap.parse_args()
    start = time.monotonic()
    proc = subprocess.Popen(a.command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    pinger = Pinger(a.ping, start, proc.pid) if a.ping else None
    if pinger:
        pinger.start()
    last_cpu, last_busy, peak, seen = 0.0, start, 0, set()
    history = collections.deque([(start, 0.0)])  # (time, cpu) of the last second
    time.sleep(0.5)
    while time.monotonic() - start < a.timeout:
        if proc.poll() is not None:
            print(f"{a.label}: ended by itself (code {proc.returncode})", file=sys.stderr)
            break
        seen.update(descendants(proc.pid))
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
        # Busy: more than 5 % of a core over the last second (CPU time comes in 10 ms ticks; the pings
        # alone cost about 1.5 %).
        history.append((now, cpu))
        while len(history) > 2 and now - history[1][0] >= 1.0:
            history.popleft()
        if cpu - history[0][1] > 0.05 * max(now - history[0][0], 1.0):
            last_cpu, last_busy = cpu, now
        elif now - last_busy >= a.quiet and now - start > 1.0 and (not pinger or pinger.first is not None):
            break
        time.sleep(0.1)
    if pinger:
        pinger.stop = True
        pinger.join(35)
    exit_seconds, left = end_all(proc, seen)
    result = {"label": a.label, "cpu": round(last_cpu, 2), "wall": round(last_busy - start, 2),
              "peak_mb": round(peak / 1024, 1), "exit_s": round(exit_seconds, 2), "left_behind": len(left)}
    if pinger:
        result.update({"answers_after_s": round(pinger.first or -1, 2),
                       "longest_stall_ms": round(pinger.longest * 1000),
                       "longest_stall_ran_ms": round(pinger.longest_ran * 1000),
                       "stalls_over_50ms": pinger.over50, "ran_over_50ms": pinger.ran_over50})
    print(f"{a.label:30s} cpu {last_cpu:6.2f} s   wall {last_busy - start:6.2f} s   peak {peak / 1024:7.1f} MB"
          f"   exit {exit_seconds:5.2f} s" + (f"   LEFT BEHIND {len(left)}" if left else ""), file=sys.stderr)
    print(json.dumps(result))

main()
