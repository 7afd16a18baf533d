#!/usr/bin/python3
"""Runs the golden-value program of the Linux build and of one Windows build
(under wine) and fails unless they write the same bytes.

usage: compare_golden.py WINE PREFIX LINUX_EXE WINDOWS_EXE WORK_DIR
On a difference it names, per scenario, how many lines differ, and shows
the first few of them.
"""
import collections
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_wine_gtest import SKIPPED, loader_refused, start_services, wine_env  # noqa: E402


def main():
    wine, prefix, linux_exe, windows_exe, work = sys.argv[1:6]
    refused = loader_refused(wine)
    if refused:
        print(refused)
        return SKIPPED
    os.makedirs(work, exist_ok=True)
    linux_out = os.path.join(work, "linux.txt")
    windows_out = os.path.join(work, "windows.txt")
    for stale in (linux_out, windows_out):
        if os.path.exists(stale):
            os.remove(stale)
    subprocess.run([linux_exe, linux_out], check=True, timeout=300)
    env = wine_env(prefix)
    start_services(wine, env)
    run = subprocess.run([wine, windows_exe, "Z:" + windows_out], env=env, capture_output=True,
                         text=True, timeout=600)
    if run.returncode != 0 or not os.path.exists(windows_out):
        print(f"the Windows program failed (exit {run.returncode}): {run.stdout[-2000:]} {run.stderr[-2000:]}")
        return 1
    with open(linux_out, "rb") as f:
        expected = f.read().split(b"\n")
    with open(windows_out, "rb") as f:
        actual = f.read().split(b"\n")
    print(f"{len(expected) - 1} lines from Linux, {len(actual) - 1} from {windows_exe}")
    if expected == actual:
        return 0
    differing = collections.Counter()
    shown = []
    for i in range(max(len(expected), len(actual))):
        a = expected[i] if i < len(expected) else b"<none>"
        b = actual[i] if i < len(actual) else b"<none>"
        if a != b:
            differing[(a or b).split(b" ")[0].decode(errors="replace")] += 1
            if len(shown) < 20:
                shown.append(f"line {i + 1}:\n  linux   {a.decode(errors='replace')}\n  windows {b.decode(errors='replace')}")
    print("differing lines by scenario:")
    for scenario, count in sorted(differing.items()):
        print(f"  {scenario}: {count}")
    print("\n".join(shown))
    return 1


if __name__ == "__main__":
    sys.exit(main())
