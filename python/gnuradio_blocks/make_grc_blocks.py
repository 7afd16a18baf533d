#!/usr/bin/env python3
"""Writes one GNU Radio Companion block description per block type of the
plug-in, read from the plug-in's own catalogue (rir_eda.block_info):
make_grc_blocks.py OUTDIR writes OUTDIR/rir_eda_TYPE.block.yml.

Every record field the type reads is a parameter with its default, its type
and its range (as GRC asserts); fields whose values the catalogue names and
small closed integer ranges are drop-downs; a list (the taps of FIR, IIR and
LMS, the convolution taps) is one vector parameter whose length is its count.
A drop-down chooses the optional inputs to connect.
"""
import os
import re
import sys

import yaml

import rir_eda

CATEGORIES = {"generator": "Generators", "element-wise": "Element-wise", "buffer": "Buffer",
              "filter": "Filters", "wave": "Wave"}
# An integer field with at most this many values is a drop-down.
MAX_LISTED_VALUES = 8


def number(x):
    return str(int(x)) if float(x).is_integer() else repr(float(x))


def listed_labels(field, values):
    """Names for the values where the field's meaning lists them ("0 normal, 1 biased")."""
    labels = []
    for v in values:
        m = re.search(r"(?<![\w.])%d:? ([A-Za-z][^,;()]*)" % v, field["meaning"])
        labels.append("%d: %s" % (v, m.group(1).strip()) if m else str(v))
    return labels


def choices(field):
    """[(value, label)] of a drop-down field, None for other fields."""
    if field["choices"]:
        return [(v, name) for v, name in field["choices"]]
    if field["kind"] == "bool":
        return [(0, "No"), (1, "Yes")]
    lo, hi = field["min"], field["max"]
    if field["kind"] == "int" and lo is not None and hi is not None and hi - lo < MAX_LISTED_VALUES:
        values = range(int(lo), int(hi) + 1)
        return list(zip(values, listed_labels(field, values)))
    return None


def range_asserts(name, field):
    lo, hi = field["min"], field["max"]
    if field["kind"] == "text":
        # A file name may carry a folder (rir_eda.gr takes it apart): only its last part is stored.
        value = name + ".split('/')[-1]" if field["name"] == "FileName" else name
        return ["${ len(%s) <= %d }" % (value, hi)]
    if lo is not None and hi is not None:
        return ["${ %s <= %s <= %s }" % (number(lo), name, number(hi))]
    if lo is not None:
        return ["${ %s >= %s }" % (name, number(lo))]
    if hi is not None:
        return ["${ %s <= %s }" % (name, number(hi))]
    return []


def text_dtype(info):
    if info["family"] == "wave":
        outputs = [p for p in info["ports"] if p["direction"] == "out"]
        return "file_open" if outputs else "file_save"
    return "string"


def field_parameter(info, field):
    param = {"id": field["name"], "label": field["name"]}
    listed = choices(field)
    if listed:
        values = [v for v, _ in listed]
        default = field["default"] if field["default"] in values else values[0]
        param.update(dtype="enum", default=str(default), options=[str(v) for v in values],
                     option_labels=[label for _, label in listed])
    elif field["kind"] == "list":
        param.update(dtype="real_vector", default="[" + ", ".join(number(x) for x in field["default"]) + "]")
    elif field["kind"] == "text":
        param.update(dtype=text_dtype(info), default=field["default"])
    else:
        param.update(dtype=field["kind"], default=number(field["default"]))
    if field["unit"]:
        param["label"] += " (%s)" % field["unit"]
    if field["kind"] != "list":  # the block shows the values that differ from the defaults, and its taps
        param["hide"] = "${ 'part' if %s == %s else 'none' }" % (field["name"], literal(param))
    return param


def literal(param):
    """The default as the value GRC evaluates the parameter to."""
    return repr(param["default"]) if param["dtype"] in ("enum", "string", "file_open", "file_save") else param["default"]


def port(p):
    entry = {"label": p["name"], "domain": "stream", "dtype": "byte" if p["one_bit"] else "int"}
    if p["required"]:
        return entry
    if p["direction"] == "out":
        entry["optional"] = True  # GNU Radio leaves an output unconnected
    else:
        entry["hide"] = "${ %r not in optional_inputs }" % repr(p["name"])
    return entry


def optional_inputs(info):
    """The optional inputs and the drop-down that connects them. GRC numbers
    a block's ports hidden ones included, so the connected optional inputs
    must lead: the drop-down offers their prefixes, clocks and strobes first."""
    optional = [p for p in info["ports"] if p["direction"] == "in" and not p["required"]]
    optional.sort(key=lambda p: not p["one_bit"])
    names = [p["name"] for p in optional]
    prefixes = [names[:k] for k in range(len(names) + 1)]
    param = {"id": "optional_inputs", "label": "Optional inputs", "dtype": "enum", "default": "[]",
             "options": [repr(x) for x in prefixes],
             "option_labels": [" and ".join(x) or "none" for x in prefixes],
             "hide": "${ 'part' if optional_inputs == '[]' else 'none' }"}
    return optional, [param] if optional else []


def description(info):
    fields = {f["name"]: f for f in info["fields"]}
    # A list's count is its length: the first list of each count carries it.
    counts = {}
    for f in info["fields"]:
        if f["count_field"] and f["count_field"] not in counts:
            counts[f["count_field"]] = f["name"]
    optional, params = optional_inputs(info)
    params += [{"id": "width", "label": "Bus width (bits)", "dtype": "int", "default": "16",
                "hide": "${ 'part' if width == 16 else 'none' }"},
               {"id": "sign", "label": "SignValue", "dtype": "enum", "default": "0", "options": ["0", "1"],
                "option_labels": ["sign-magnitude", "unsigned"], "hide": "${ 'part' if sign == '0' else 'none' }"}]
    asserts = ["${ 1 <= width <= 32 }"]
    arguments = ["%r" % info["export"], "width=${width}", "sign=${sign}"]
    if optional:
        arguments.append("inputs=${optional_inputs}")
    for f in info["fields"]:
        name = f["name"]
        if name in counts:
            arguments.append("%s=len(${%s})" % (name, counts[name]))
            asserts.append("${ len(%s) <= %s }" % (counts[name], number(f["max"])))
            continue
        params.append(field_parameter(info, f))
        arguments.append("%s=${%s}" % (name, name))
        if f["count_field"] and counts[f["count_field"]] != name:
            asserts.append("${ len(%s) == len(%s) }" % (name, counts[f["count_field"]]))
        elif not choices(f) and f["kind"] != "list":
            asserts += range_asserts(name, f)
    assert "width" not in fields and "sign" not in fields
    block = {
        "id": "rir_eda_" + info["export"][: -len("_Init")],
        "label": info["export"][: -len("_Init")].replace("_", " "),
        "category": "[Rir_Eda]/" + CATEGORIES[info["family"]],
        "flags": ["python"],
        "parameters": params,
        # As rir_eda.gr orders them: the required inputs, then the optional ones.
        "inputs": [port(p) for p in info["ports"] if p["direction"] == "in" and p["required"]]
        + [port(p) for p in optional],
        "outputs": [port(p) for p in info["ports"] if p["direction"] == "out"],
        "asserts": asserts,
        "templates": {"imports": "import rir_eda.gr",
                      "make": "rir_eda.gr.block(%s)" % ", ".join(arguments)},
        "documentation": info["reference"].rstrip() + "\n\nIn GNU Radio: buses are int32 streams, one-bit ports "
                         "int8 streams of 0 and 1 (rir_eda.gr).",
        "file_format": 1,
    }
    return block


class _Dumper(yaml.SafeDumper):
    pass


def _text(dumper, s):
    return dumper.represent_scalar("tag:yaml.org,2002:str", s, style="|" if "\n" in s else None)


def _list(dumper, items):
    flat = all(not isinstance(x, (dict, list)) for x in items)
    return dumper.represent_sequence("tag:yaml.org,2002:seq", items, flow_style=flat)


_Dumper.add_representer(str, _text)
_Dumper.add_representer(list, _list)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_grc_blocks.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        if old.endswith(".block.yml"):
            os.remove(os.path.join(out, old))
    types = rir_eda.block_types()
    for t in types:
        block = description(rir_eda.block_info(t))
        with open(os.path.join(out, block["id"] + ".block.yml"), "w") as f:
            yaml.dump(block, f, Dumper=_Dumper, sort_keys=False, width=100)
    print("wrote %d GRC block descriptions to %s" % (len(types), out))


if __name__ == "__main__":
    main()
