#!/usr/bin/python3
"""Checks a Windows DLL's export table as `objdump -p` prints it.

usage: check_exports.py OBJDUMP DLL EXPECTED
EXPECTED is a program printing "ordinal name" lines ("-" = exported without
a name, "*" = any ordinal) or a linker version script whose global names
are expected at any ordinal. The DLL must export exactly these, undecorated, and import no
compiler runtime DLL (it must stand alone).
"""
import re
import subprocess
import sys


def export_table(objdump, dll):
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    base = int(re.search(r"^Ordinal Base\s+(\d+)", text, re.M).group(1))
    addresses = {}  # ordinal -> rva
    section = re.search(r"Export Address Table -- Ordinal Base \d+\n(.*?)\n\s*\n", text, re.S)
    for m in re.finditer(r"\[\s*\d+\]\s*\+base\[\s*(\d+)\]\s+([0-9a-f]+)", section.group(1) if section else ""):
        if int(m.group(2), 16) != 0:
            addresses[int(m.group(1))] = m.group(2)
    names = {}  # name -> ordinal
    section = re.search(r"\[Ordinal/Name Pointer\] Table\n(.*?)(?:\n\s*\n|\Z)", text, re.S)
    for m in re.finditer(r"\[\s*(\d+)\]\s+(\S+)", section.group(1) if section else ""):
        names[m.group(2)] = int(m.group(1)) + base
    imports = re.findall(r"DLL Name: (\S+)", text)
    return addresses, names, imports


def main():
    objdump, dll, expected_file = sys.argv[1:4]
    addresses, names, imports = export_table(objdump, dll)
    faults = []
    expected_named, unnamed, anywhere = {}, set(), set()
    if expected_file.endswith(".map"):
        script = re.sub(r"/\*.*?\*/", "", open(expected_file).read(), flags=re.S)
        script = script.split("local:")[0].replace("global:", "")
        lines = [f"* {name}" for name in re.findall(r"[A-Za-z_]\w*", script)]
    else:
        lines = subprocess.run([expected_file], check=True, capture_output=True, text=True).stdout.splitlines()
    for line in lines:
        ordinal, name = line.split()
        if name == "-":
            unnamed.add(int(ordinal))
        elif ordinal == "*":
            anywhere.add(name)
        else:
            expected_named[name] = int(ordinal)
    if not addresses:
        faults.append("no export table")
    for name, ordinal in expected_named.items():
        if names.get(name) != ordinal:
            faults.append(f"{name}: ordinal {names.get(name)}, expected {ordinal}")
    for name in anywhere:
        if name not in names:
            faults.append(f"{name}: not exported")
    for name in names:
        if name not in expected_named and name not in anywhere:
            faults.append(f"unexpected export {name}")
        if "@" in name or name.startswith("_"):
            faults.append(f"decorated export {name}")
    for ordinal in unnamed:
        if ordinal not in addresses:
            faults.append(f"ordinal {ordinal}: not exported")
        if ordinal in names.values():
            faults.append(f"ordinal {ordinal}: has a name")
    stray = set(addresses) - set(names.values()) - unnamed
    if stray:
        faults.append(f"unexpected unnamed ordinals {sorted(stray)}")
    for dep in imports:
        if re.match(r"(libstdc\+\+|libgcc|libwinpthread)", dep, re.I):
            faults.append(f"depends on {dep}: the runtime must be linked in")
    for fault in faults:
        print(fault)
    print(f"{dll}: {len(names)} named exports, {len(addresses)} in all, imports {sorted(set(imports))}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
