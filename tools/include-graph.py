#!/usr/bin/env python3
"""Prints which program folder includes which, and fails on a cycle between folders or on a
file of the widget-free base library that includes a file of the GUI library."""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
FOLDERS = ["camera_control", "store", "ndi", "automation/engine",
           "position_editing", "automation", "shell", "app"]
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
            if layer == "base" and layers[target] != "base":
                upward.append(f"{path} -> {target}")

    for folder in FOLDERS:
        kinds = sorted({l for p, l in layers.items() if os.path.dirname(p) == folder})
        uses = ", ".join(f"{t} ({n})" for t, n in sorted(edges[folder].items())) or "-"
        print(f"{folder:18} [{'+'.join(kinds)}] -> {uses}")

    cycle = find_cycle(edges)
    if cycle:
        print("include-graph: cycle: " + " -> ".join(cycle), file=sys.stderr)
    for edge in upward:
        print(f"include-graph: base includes GUI: {edge}", file=sys.stderr)
    if cycle or upward:
        return 1
    print("include-graph: no cycle, no include from the base layer into the GUI layer")
    return 0


def find_cycle(edges):
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in edges[node]:
            if state.get(nxt) == "open":
                return trail + [node, nxt]
            if nxt not in state:
                found = visit(nxt, trail + [node])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in list(edges):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


if __name__ == "__main__":
    sys.exit(main())
