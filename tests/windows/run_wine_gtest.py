#!/usr/bin/python3
"""Runs a cross-compiled GoogleTest program under wine (32-bit wine or
wine64), every test case in a fresh process (as the Linux build runs them),
and fails if any case fails.

usage: run_wine_gtest.py [--display] WINE PREFIX EXE [gtest filter]
       run_wine_gtest.py WINE PREFIX --boot     (creates or updates the prefix)
Exits with 77 (skipped) when the kernel cannot run the wine loader at all
(32-bit wine on a kernel without 32-bit support). With --display the
program runs on a private Xvfb display (the dialog tests); otherwise on none,
so a message box can never wait for a user.
A program whose folder holds oracle/ starts with that folder emptied: the
transform suite writes its cases there for the Linux side to judge.
"""
import errno
import glob
import os
import subprocess
import sys
import time


def wine_env(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env["HOME"] = os.path.dirname(prefix)  # wine writes nothing into the user's home
    env.pop("DISPLAY", None)  # message boxes must never wait for a user
    return env


# CTest's code for a skipped test: the machine cannot run this wine at all.
SKIPPED = 77


def loader_refused(wine):
    """The reason when the kernel runs no program of this wine's kind (a kernel
    without 32-bit support refuses /usr/lib/wine/wine), else None."""
    try:
        subprocess.run([wine, "--version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    except OSError as e:
        if e.errno == errno.ENOEXEC:
            return f"this machine's kernel does not run {wine} ({e.strerror}): skipped"
        raise
    return None


def start_services(wine, env):
    """One wine server and one set of wine services for all the short runs
    that follow, started apart from any output pipe: a helper process holding
    a run's pipe would keep that run waiting until the helper leaves. The
    server leaves a few seconds after the last program."""
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "-p10"], env=env, check=False, **quiet)
    subprocess.run([wine, "wineboot"], env=env, check=False, timeout=600, **quiet)


def start_display():
    """A private Xvfb display: the server picks a free number and reports it."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as report:
        number = report.readline().strip()
    if not number:
        server.kill()
        raise SystemExit("Xvfb did not start")
    return server, ":" + number


def main():
    args = sys.argv[1:]
    display = None
    if args and args[0] == "--display":
        args = args[1:]
        display, name = start_display()
    try:
        return run(args, name if display else None)
    finally:
        if display:
            display.terminate()
            display.wait()


def run(args, display):
    wine, prefix, exe = args[0:3]
    refused = loader_refused(wine)
    if refused:
        print(refused)
        return SKIPPED
    pattern = args[3] if len(args) > 3 else "*"
    env = wine_env(prefix)
    if display:
        env["DISPLAY"] = display
    os.makedirs(env["HOME"], exist_ok=True)
    if exe == "--boot":
        # Made by wine64, the prefix is a WoW64 one that 32-bit wine shares.
        wine64 = os.path.join(os.path.dirname(wine), "wine64")
        boot = subprocess.run([wine64 if os.path.exists(wine64) else wine, "wineboot", "--init"], env=env,
                              timeout=600)
        subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "-w"], env=env, timeout=600)
        return boot.returncode
    for stale in glob.glob(os.path.join(os.path.dirname(exe), "oracle", "oracle_*")):
        if os.path.basename(exe).startswith("transforms_test"):
            os.remove(stale)
    start_services(wine, env)
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if display:
        # No window manager runs on the private display: windows left to one
        # would make wine wait two seconds for it at every close.
        subprocess.run([wine, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                       env=env, check=False, timeout=600, **quiet)
    listing = subprocess.run([wine, exe, "--gtest_list_tests", f"--gtest_filter={pattern}"], env=env,
                             capture_output=True, text=True, timeout=600)
    if listing.returncode != 0:
        print(listing.stdout, listing.stderr)
        return 1
    cases, suite = [], None
    for line in listing.stdout.splitlines():
        if not line.strip() or line.startswith("Running main()"):
            continue
        if not line.startswith(" "):
            suite = line.strip()
        else:
            cases.append(suite + line.split("#")[0].strip())
    failed = []
    for case in cases:
        start = time.monotonic()
        run = subprocess.run([wine, exe, f"--gtest_filter={case}"], env=env, capture_output=True, text=True,
                             timeout=600)
        if run.returncode != 0 and "[ RUN      ]" not in run.stdout:
            # The program never started a test: wine itself failed to start
            # it (seen rarely on a loaded machine). Say so and try once more.
            print(f"wine did not start {case} (exit {run.returncode}): {run.stderr.strip()[-500:]}")
            run = subprocess.run([wine, exe, f"--gtest_filter={case}"], env=env, capture_output=True, text=True,
                                 timeout=600)
        seconds = time.monotonic() - start
        ok = run.returncode == 0 and ("[  PASSED  ] 1 test" in run.stdout or "[  SKIPPED ] 1 test" in run.stdout)
        print(f"{'ok  ' if ok else 'FAIL'} {case} ({seconds:.2f} s)")
        if not ok:
            failed.append(case)
            print(f"exit {run.returncode}")
            print(run.stdout[-6000:], run.stderr[-2000:])
    print(f"{len(cases) - len(failed)} of {len(cases)} cases passed under wine")
    return 1 if failed or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
