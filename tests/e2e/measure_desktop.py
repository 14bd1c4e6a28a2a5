#!/usr/bin/env python3
"""Start-up time and memory of the desktop program, under Xvfb against a local ssc-server.

Not a test (nothing is asserted): a measurement to run by hand.

    tests/e2e/measure_desktop.py BUILD_DIR [RUNS]

Each run starts build/tests/gui/sscplan_probe (the program's composition root with the
server's endpoints) and takes the time from launching the process to the main window
being shown (the probe prints CLOCK_MONOTONIC then). Three seconds later it sums the
resident memory (RSS) and the proportional set size (PSS, shared pages divided among the
processes that map them) of the program and its web engine processes.
"""
import os, re, signal, subprocess, sys, tempfile, time

build = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
probe = os.path.join(build, "tests/gui/sscplan_probe")
server_bin = os.path.join(build, "appserver/ssc-server")


def descendants(pid):
    out = subprocess.run(["ps", "-e", "-o", "pid=,ppid="], capture_output=True, text=True).stdout
    children = {}
    for line in out.split("\n"):
        if line.strip():
            p, pp = map(int, line.split())
            children.setdefault(pp, []).append(p)
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(children.get(p, []))
    return found


def memory_kb(pids):
    rss = pss = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                text = f.read()
        except OSError:
            continue
        rss += int(re.search(r"^Rss:\s+(\d+)", text, re.M).group(1))
        pss += int(re.search(r"^Pss:\s+(\d+)", text, re.M).group(1))
    return rss, pss


with tempfile.TemporaryDirectory() as work:
    display = ":%d" % (90 + os.getpid() % 9)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    server = subprocess.Popen([server_bin, "serve", "--listen", "127.0.0.1:0", "--db",
                               os.path.join(work, "draws.sqlite"), "--simulate-every", "600"],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    base = None
    deadline = time.monotonic() + 15
    while base is None and time.monotonic() < deadline:
        m = re.search(r"listening on (http://[0-9.]+:\d+)", server.stdout.readline())
        base = m.group(1) if m else None
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    time.sleep(1)
    times, memories = [], []
    for _ in range(runs):
        start = time.monotonic()
        p = subprocess.Popen([probe, base + "/appinit.php", "http://127.0.0.1:9/"], cwd=work,
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        shown = None
        for line in p.stdout:
            m = re.match(r"shown-at-ms: (\d+)", line)
            if m:
                shown = int(m.group(1)) / 1000.0
                break
        if shown is None:
            print("the window was not shown", file=sys.stderr)
            sys.exit(1)
        times.append(shown - start)
        time.sleep(3)
        memories.append(memory_kb(descendants(p.pid)))
        p.send_signal(signal.SIGTERM)
        p.wait(10)
    server.terminate(); server.wait(10)
    xvfb.terminate(); xvfb.wait(10)

times.sort()
print("start-up to shown window, s:", " ".join("%.3f" % t for t in times),
      "median %.3f" % times[len(times) // 2])
for rss, pss in memories:
    print("memory after start-up: RSS %d MB, PSS %d MB" % (rss // 1024, pss // 1024))
