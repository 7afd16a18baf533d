#!/usr/bin/python3
"""Judges the transform cases that the Windows suite wrote (inputs, record and
the block's value texts) with the numpy/scipy oracle of the Linux suite.

usage: check_oracle_cases.py [--wine WINE] PYTHON ORACLE_SCRIPT DIR
With --wine, skipped (77) when the machine cannot run the wine that writes
the cases.
"""
import glob
import os
import subprocess
import sys


def main():
    args = sys.argv[1:]
    if args[0] == "--wine":
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        from run_wine_gtest import SKIPPED, loader_refused
        refused = loader_refused(args[1])
        if refused:
            print(refused)
            return SKIPPED
        args = args[2:]
    python, oracle, folder = args[0:3]
    cases = sorted(glob.glob(os.path.join(folder, "oracle_*.json")))
    failed = 0
    for case in cases:
        run = subprocess.run([python, oracle, case], capture_output=True, text=True)
        print(f"{'ok  ' if run.returncode == 0 else 'FAIL'} {os.path.basename(case)}")
        if run.returncode != 0:
            failed += 1
            print(run.stdout, run.stderr)
    print(f"{len(cases) - failed} of {len(cases)} oracle cases agree")
    return 1 if failed or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
