#!/usr/bin/env python3
"""Checks that the program's folders form layers.

A file may include headers of its own layer and of the layers below it, never
of a layer above. The folders that hold the activity store and the contact
source also hold no window code: they reach windows only through base/.
Tools, tests and benchmarks sit outside the layers and may include anything.
Every include form is read: quoted, angled, relative to the including file,
absolute, and through a macro the file defines. The build refuses upward
calls at link time as well (cmake/Layers.cmake).

Usage: check_layers.py [--root DIR]. Prints one line per fault, naming the
file, the line and the layers, and exits 1 when there is any.
"""
import argparse
import os
import re
import sys

# Bottom to top: each top-level folder is one layer.
LAYERS = [
    "platform",
    "resources",
    "base",
    "settings",
    "store",
    "contacts",
    "views",
    "activity",
    "export",
    "sheet",
    "shell",
]

OUTSIDE = ("tools", "tests", "bench", "build", "scripts", "cmake")

WINDOWLESS = ("store", "contacts")
# Calls that create, fill, show, move, read or message windows, dialogs and
# controls, and the message ids of the list controls.
WINDOW_CODE = re.compile(
    r"\b(SendMessage[AW]?|SendNotifyMessage[AW]?|SendDlgItemMessage[AW]?|PostMessage[AW]?|PostQuitMessage|"
    r"GetDlgItem|[GS]etDlgItem(Text|Int)[AW]?|CheckDlgButton|IsDlgButtonChecked|CheckRadioButton|"
    r"CreateWindow(Ex)?[AW]?|DestroyWindow|CreateDialog(Indirect)?(Param)?[AW]?|DialogBox(Indirect)?(Param)?[AW]?|"
    r"EndDialog|PropertySheet[AW]?|MessageBox(Ex|Indirect)?[AW]?|ShowWindow(Async)?|EnableWindow|"
    r"MoveWindow|SetWindowPos|SetFocus|SetForegroundWindow|InvalidateRect|UpdateWindow|RedrawWindow|"
    r"[GS]etWindowText[AW]?|[GS]etWindowLong(Ptr)?[AW]?|FindWindow(Ex)?[AW]?|TrackPopupMenu(Ex)?|"
    r"Get(Open|Save)FileName[AW]?|SetTimer|(LB|CB|LVM)_[A-Z]+)\b")

# `#include "x"`, `#include <x>` and `#include NAME`, NAME defined in the file.
INCLUDE = re.compile(r'^\s*#\s*include(?:_next)?\s+(?:"([^"]+)"|<([^>]+)>|([A-Za-z_]\w*))')
DEFINE = re.compile(r'^\s*#\s*define\s+([A-Za-z_]\w*)\s+(?:"([^"]+)"|<([^>]+)>)')
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".rc")


def layer_of(path):
    """The layer a repository-relative path belongs to, or None outside them."""
    folder = path.split("/", 1)[0]
    return folder if folder in LAYERS else None


def strip_comment(line):
    return line.split("//", 1)[0]


def included_path(root, path, name):
    """The repository path an include names: beside the including file when it
    is there or the name steps through "." or "..", else from the repository
    root; an absolute name is taken relative to the root."""
    if os.path.isabs(name):
        return os.path.relpath(name, root).replace(os.sep, "/")
    beside = os.path.normpath(os.path.join(os.path.dirname(path), name)).replace(os.sep, "/")
    relative = any(part in (".", "..") for part in name.split("/"))
    if relative or os.path.exists(os.path.join(root, beside)):
        return beside
    return os.path.normpath(name).replace(os.sep, "/")


def check_file(root, path):
    faults = []
    own = layer_of(path)
    if own is None:
        return faults
    rank = LAYERS.index(own)
    macros = {}
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            define = DEFINE.match(line)
            if define:
                macros[define.group(1)] = define.group(2) or define.group(3)
            match = INCLUDE.match(line)
            if match:
                name = match.group(1) or match.group(2)
                if match.group(3):
                    name = macros.get(match.group(3))
                    if name is None:
                        faults.append(f"{path}:{number}: includes {match.group(3)}, a name whose header "
                                      f"this file does not define: the layer it comes from cannot be told")
                        continue
                target = layer_of(included_path(root, path, name))
                if target is not None and LAYERS.index(target) > rank:
                    faults.append(f'{path}:{number}: includes "{name}": layer {own} '
                                  f'may not include layer {target}, which sits above it')
                continue
            if own in WINDOWLESS:
                code = WINDOW_CODE.search(strip_comment(line))
                if code:
                    faults.append(f"{path}:{number}: window code ({code.group(0)}) in layer {own}, "
                                  f"which holds none: route it through base/ or a layer above")
    return faults


def source_files(root):
    for folder, subfolders, files in os.walk(root):
        relative = os.path.relpath(folder, root).replace(os.sep, "/")
        if relative == ".":
            subfolders[:] = [s for s in subfolders if s not in OUTSIDE and not s.startswith(".")]
            continue
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield f"{relative}/{name}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    args = parser.parse_args()
    faults = []
    checked = 0
    for path in sorted(source_files(args.root)):
        checked += 1
        faults.extend(check_file(args.root, path))
    for fault in faults:
        print(fault)
    order = " < ".join(LAYERS)
    if faults:
        print(f"layering: {len(faults)} faults in {checked} files (order, bottom to top: {order})")
        return 1
    print(f"layering: {checked} files, no faults (order, bottom to top: {order})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
