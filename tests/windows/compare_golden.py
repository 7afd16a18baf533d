#!/usr/bin/python3
"""Runs the golden-value program of the Linux build in the default
floating-point state, and then a build's program in every host state it
lists, and fails unless each run writes the same bytes.

usage: compare_golden.py WINE PREFIX LINUX_EXE WINDOWS_EXE WORK_DIR
       (the Windows program under wine, in every state, the default included)
       compare_golden.py --linux LINUX_EXE WORK_DIR
       (the Linux program in every other state)
On a difference it names, per state and scenario, how many lines differ, and
shows the first few of them.
"""
import collections
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_wine_gtest import SKIPPED, loader_refused, start_services, wine_env  # noqa: E402


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().split(b"\n")


def differences(expected, actual, label):
    """Prints what differs and returns whether anything does."""
    if expected == actual:
        return False
    differing = collections.Counter()
    shown = []
    for i in range(max(len(expected), len(actual))):
        a = expected[i] if i < len(expected) else b"<none>"
        b = actual[i] if i < len(actual) else b"<none>"
        if a != b:
            differing[(a or b).split(b" ")[0].decode(errors="replace")] += 1
            if len(shown) < 20:
                shown.append(f"line {i + 1}:\n  expected {a.decode(errors='replace')}\n"
                             f"  {label:8} {b.decode(errors='replace')}")
    print(f"{label}: differing lines by scenario:")
    for scenario, count in sorted(differing.items()):
        print(f"  {scenario}: {count}")
    print("\n".join(shown))
    return True


def main():
    linux_only = sys.argv[1] == "--linux"
    if linux_only:
        linux_exe, work = sys.argv[2:4]
    else:
        wine, prefix, linux_exe, windows_exe, work = sys.argv[1:6]
        refused = loader_refused(wine)
        if refused:
            print(refused)
            return SKIPPED
        env = wine_env(prefix)
        start_services(wine, env)
    os.makedirs(work, exist_ok=True)
    states = subprocess.run([linux_exe, "--states"], check=True, capture_output=True,
                            text=True).stdout.split()
    expected_out = os.path.join(work, "linux.txt")
    if os.path.exists(expected_out):
        os.remove(expected_out)
    subprocess.run([linux_exe, expected_out], check=True, timeout=300)
    expected = read_lines(expected_out)
    failed = False
    for state in states[1:] if linux_only else states:
        label = f"{state}" if linux_only else f"{os.path.basename(windows_exe)} {state}"
        out = os.path.join(work, f"{'linux' if linux_only else 'windows'}-{state}.txt")
        if os.path.exists(out):
            os.remove(out)
        if linux_only:
            run = subprocess.run([linux_exe, out, state], capture_output=True, text=True, timeout=300)
        else:
            run = subprocess.run([wine, windows_exe, "Z:" + out, state], env=env, capture_output=True,
                                 text=True, timeout=600)
        if run.returncode != 0 or not os.path.exists(out):
            print(f"{label}: the program failed (exit {run.returncode}): {run.stdout[-2000:]} {run.stderr[-2000:]}")
            failed = True
            continue
        actual = read_lines(out)
        print(f"{label}: {len(actual) - 1} lines, {len(expected) - 1} expected")
        failed = differences(expected, actual, state) or failed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
