"""python3 -m rir_eda ARGS: the simulator rir-eda, as the console script runs it."""
from ._command import main

main()
