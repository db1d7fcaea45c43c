#!/usr/bin/env python3
"""Prints which program folder includes which, lowest first, and fails on an upward include: a
folder including one listed after it (which is also what any cycle needs), or a file of the
widget-free base library including a file of the GUI library."""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
FOLDERS = ["base", "camera_control", "store", "ndi", "automation/engine",
           "shell", "position_editing", "automation", "app"]
LAYER_OF_TARGET = {"trevalo_base": "base", "trevalo_core": "gui"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SOURCES = re.compile(r"target_sources\((\w+)\s+PRIVATE([^)]*)\)", re.S)


def layers_of(folder):
    """Maps each file of a folder to its layer, read from the folder's source lists."""
    layers = {}
    cmake = os.path.join(ROOT, folder, "CMakeLists.txt")
    if folder == "app":
        return {"app/main.cpp": "program"}
    for target, files in SOURCES.findall(open(cmake, encoding="utf-8").read()):
        for name in files.split():
            if not name.startswith("#"):
                layers[f"{folder}/{name}"] = LAYER_OF_TARGET[target]
    return layers


def main():
    layers = {}
    for folder in FOLDERS:
        layers.update(layers_of(folder))
    edges = defaultdict(lambda: defaultdict(int))
    upward = []
    for path, layer in sorted(layers.items()):
        text = open(os.path.join(ROOT, path), encoding="utf-8").read()
        for target in INCLUDE.findall(text):
            if target not in layers:
                continue
            here, there = os.path.dirname(path), os.path.dirname(target)
            if here != there:
                edges[here][there] += 1
                if FOLDERS.index(there) > FOLDERS.index(here):
                    upward.append(f"{path} -> {target} (folder listed later)")
            if layer == "base" and layers[target] != "base":
                upward.append(f"{path} -> {target} (base file includes GUI file)")

    for folder in FOLDERS:
        kinds = sorted({l for p, l in layers.items() if os.path.dirname(p) == folder})
        uses = ", ".join(f"{t} ({n})" for t, n in sorted(edges[folder].items())) or "-"
        print(f"{folder:18} [{'+'.join(kinds)}] -> {uses}")

    for edge in upward:
        print(f"include-graph: upward include: {edge}", file=sys.stderr)
    if upward:
        return 1
    print("include-graph: every folder includes only folders above it: no cycle, no upward edge")
    return 0


if __name__ == "__main__":
    sys.exit(main())
