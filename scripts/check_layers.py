#!/usr/bin/env python3
"""Checks that every dependency of the program's libraries points down.

The folders are layers, lowest first: platform, framework, ui, data, equation,
fitting, grid, draw, graph, graphui, app, shellext (the desktop's
thumbnailer, which reads workspaces through the program's model but never
reaches its windows). Within a folder the windows (folder/widgets)
stand above the model. A source file may include headers of its own layer or
of layers below it, and a folder's libraries may link only libraries of their
own layer or below. The program's entry, app/main.cpp, belongs to the
executable above every library.

Usage: check_layers.py [SOURCE_DIR]; prints each upward dependency and exits
with 1 when there is any.
"""

import os
import re
import sys

LAYERS = ["platform", "framework", "ui", "data", "equation", "fitting", "grid", "draw", "graph", "graphui",
          "app", "shellext"]
RANK = {folder: index for index, folder in enumerate(LAYERS)}
# Folders whose code may reach no windows of any layer.
NO_WIDGETS = {"shellext"}
EXECUTABLE_SOURCES = {"app/main.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# marlox_library(<folder> ...) and marlox_widgets(<folder> ...), up to the closing parenthesis.
TARGET = re.compile(r"\bmarlox_(library|widgets)\(\s*(\w+)(.*?)\)", re.S)
LIBRARY = re.compile(r"\bmx_(\w+)")


def layer_of_path(path):
    """(rank, widgets) of a repository path, or None outside the layered folders."""
    parts = path.split("/")
    if parts[0] not in RANK:
        return None
    return (RANK[parts[0]], 1 if len(parts) > 2 and parts[1] == "widgets" else 0)


def layer_of_library(name):
    """(rank, widgets) of a library mx_<name>, or None when it is not a folder's library."""
    widgets = name.endswith("_widgets")
    folder = name[: -len("_widgets")] if widgets else name
    if folder not in RANK:
        return None
    return (RANK[folder], 1 if widgets else 0)


def check_includes(root, faults):
    for folder in LAYERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
                if path in EXECUTABLE_SOURCES:
                    continue
                own = layer_of_path(path)
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = layer_of_path(match.group(1))
                        if target is not None and target > own:
                            faults.append(f"{path}:{number}: includes {match.group(1)}, a higher layer")
                        elif target is not None and target[1] and folder in NO_WIDGETS:
                            faults.append(f"{path}:{number}: includes {match.group(1)}, a window")


def check_links(root, faults):
    for folder in LAYERS:
        cmake = os.path.join(root, folder, "CMakeLists.txt")
        if not os.path.exists(cmake):
            continue
        with open(cmake, encoding="utf-8") as text:
            content = re.sub(r"#[^\n]*", "", text.read())
        for kind, name, body in TARGET.findall(content):
            # A library stands in the layer of the folder that builds it.
            own = (RANK[folder], 1 if kind == "widgets" else 0)
            target_name = f"mx_{name}" + ("_widgets" if kind == "widgets" else "")
            for library in LIBRARY.findall(body):
                target = layer_of_library(library)
                if target is None and library.split("_")[0] in RANK:
                    # Another library of a folder (mx_fitting_engines): its folder's layer.
                    target = (RANK[library.split("_")[0]], 0)
                if target is None:
                    faults.append(f"{folder}/CMakeLists.txt: {target_name} links mx_{library}, "
                                  "which is no folder's library")
                elif target > own:
                    faults.append(f"{folder}/CMakeLists.txt: {target_name} links mx_{library}, a higher layer")
                elif target[1] and folder in NO_WIDGETS:
                    faults.append(f"{folder}/CMakeLists.txt: {target_name} links mx_{library}, windows")


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = []
    check_includes(root, faults)
    check_links(root, faults)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} dependencies point up")
        return 1
    print("every dependency points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
