#!/usr/bin/python3
"""Checks that a Windows DLL carries the test-design templates as raw-data
resources: every template file's bytes in its resource section, under its
name TEMPLATE_<TYPE> (resource names are UTF-16 there).

usage: check_templates.py OBJCOPY DLL TEMPLATE_DIR TYPE...
"""
import os
import subprocess
import sys
import tempfile


def main():
    objcopy, dll, folder, types = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    with tempfile.TemporaryDirectory() as tmp:
        section = os.path.join(tmp, "rsrc.bin")
        subprocess.run([objcopy, "-O", "binary", "--only-section=.rsrc", dll, section], check=True)
        with open(section, "rb") as f:
            resources = f.read()
    missing = []
    for t in types:
        with open(os.path.join(folder, t + ".toml"), "rb") as f:
            text = f.read()
        if text not in resources:
            missing.append(t + ".toml")
        if ("TEMPLATE_" + t.upper()).encode("utf-16-le") not in resources:
            missing.append("the name TEMPLATE_" + t.upper())
    if b"%Contact%" not in resources:
        missing.append("the placeholder %Contact%")
    print("missing: " + ", ".join(missing) if missing else f"{len(types)} templates in {dll}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
