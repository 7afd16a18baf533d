"""The console script rir-eda: runs the simulator that came with the package."""
import os
import sys


def main():
    from . import _find

    simulator = _find("simulator")
    if simulator is None:
        sys.exit("rir-eda: the simulator did not come with this installation of rir_eda")
    os.execv(simulator, ["rir-eda"] + sys.argv[1:])
