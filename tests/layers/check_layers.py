#!/usr/bin/env python3
"""check_layers.py ROOT: every #include of monitor/<folder> reaches only that
folder or a folder listed before it in README.md's "The monitor's source",
and every folder of monitor/ is in that list. Prints each include that runs
upward and fails if there is one."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
readme = (root / "README.md").read_text(encoding="utf-8")
section = readme.split("## The monitor's source", 1)[1].split("\n## ", 1)[0]
order = re.findall(r"^- `([a-z_]+)/`", section, re.MULTILINE)
rank = {folder: place for place, folder in enumerate(order)}

faults = []
monitor = root / "monitor"
for folder in sorted(p.name for p in monitor.iterdir() if p.is_dir()):
    if folder not in rank:
        faults.append(f"monitor/{folder}/ is not in README's list {order}")
for source in sorted(monitor.rglob("*")):
    if source.suffix not in (".h", ".cpp", ".rc", ".in"):
        continue
    folder = source.relative_to(monitor).parts[0]
    if folder not in rank:
        continue
    lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
    for number, line in enumerate(lines, 1):
        found = re.match(r'\s*#\s*include\s+"([a-z_]+)/', line)
        if found and found.group(1) in rank and rank[found.group(1)] > rank[folder]:
            faults.append(f"{source.relative_to(root)}:{number}: {folder} includes "
                          f"{found.group(1)}, listed after it")

for fault in faults:
    print(fault)
print(f"layers {' < '.join(order)}: {len(faults)} upward includes or unlisted folders")
sys.exit(1 if faults or len(order) < 2 else 0)
