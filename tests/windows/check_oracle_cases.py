#!/usr/bin/python3
"""Judges the transform cases that the Windows suite wrote (inputs, record and
the block's value texts) with the numpy/scipy oracle of the Linux suite.

usage: check_oracle_cases.py PYTHON ORACLE_SCRIPT DIR
"""
import glob
import os
import subprocess
import sys


def main():
    python, oracle, folder = sys.argv[1:4]
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
