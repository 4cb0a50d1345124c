#!/usr/bin/env python3
"""Checks that the source tree's floors stack.

Every folder under src/ stands on a floor; a file may include headers of its
own folder and of folders on lower floors only, never of a folder on its own
floor or above. Nothing under src/core may include a Qt header. Prints each
breach and exits 1 when there is one.
"""
import os, re, sys

FLOORS = {
    "core/base": 0,
    "core/link": 1,
    "core/memory": 2, "core/monitoring": 2,
    "core/pages": 3,
    "core/sim": 3,
    "core/cli": 4,
    "gui/controls": 5, "gui/manual": 5, "gui/report": 5,
    "gui/pages": 6,
    "gui/memory": 7, "gui/monitoring": 7,
    "gui/app": 8,
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
breaches = []
for folder, floor in FLOORS.items():
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        breaches.append(f"src/{folder}: folder missing")
        continue
    for name in sorted(os.listdir(path)):
        if not name.endswith((".h", ".cpp")):
            continue
        rel = f"src/{folder}/{name}"
        for number, line in enumerate(open(os.path.join(path, name), encoding="utf-8"), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, header = m.groups()
            if kind == "<":
                if folder.startswith("core/") and re.match(r"Q|qt", header):
                    breaches.append(f"{rel}:{number}: Qt header <{header}> in Qt-free code")
                continue
            target = os.path.dirname(header)
            if target == folder:
                continue
            if target not in FLOORS:
                breaches.append(f"{rel}:{number}: \"{header}\" is not under a known folder")
            elif FLOORS[target] >= floor:
                breaches.append(f"{rel}:{number}: \"{header}\" is on floor {FLOORS[target]}, "
                                f"not below {folder} (floor {floor})")
for folder in sorted(os.listdir(root)):
    for sub in sorted(os.listdir(os.path.join(root, folder))):
        if os.path.isdir(os.path.join(root, folder, sub)) and f"{folder}/{sub}" not in FLOORS:
            breaches.append(f"src/{folder}/{sub}: folder without a floor")
for b in breaches:
    print(b)
if breaches:
    sys.exit(1)
print(f"layout: {len(FLOORS)} folders, every include runs downward, no Qt under src/core")
