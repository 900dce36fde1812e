#!/usr/bin/env python3
"""check_layers.py ROOT: in each program (monitor/, daemon/, report/) every
#include "<folder>/..." reaches only that folder or a folder listed before it
in the program's section of README.md ("The monitor's source", ...), and
every folder of the program is in that list. Folders named on one line of
the list share a place and never include each other (the daemon's posix/
and win/). A program reaches another's folders only where the table below
allows it, and the portable folders of the daemon and the report include no
operating system header. Prints each fault and fails if there is one."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
readme = (root / "README.md").read_text(encoding="utf-8")

# (folder, README section, the other programs' folders it may include)
PROGRAMS = [
    ("monitor", "The monitor's source", {}),
    ("daemon", "The daemon's source", {}),
    ("report", "The report's source", {"daemon": {"alerts"}}),
]
# Folders that hold one platform's side; the others are portable.
PLATFORM_FOLDERS = {"posix", "win"}
# The operating systems' own headers, which only the platform folders include.
SYSTEM_HEADER = re.compile(
    r"\s*#\s*include\s+<(windows|winsock2|ws2tcpip|mswsock|unistd|fcntl|poll|pthread|"
    r"sys/|netinet/|arpa/|linux/)")
INCLUDE = re.compile(r'\s*#\s*include\s+"([a-z_]+)/')


def order_of(section_title):
    section = readme.split(f"## {section_title}", 1)[1].split("\n## ", 1)[0]
    rank = {}
    for place, line in enumerate(re.findall(r"^- ((?:`[a-z_]+/`(?:,? and |, )?)+)", section,
                                            re.MULTILINE)):
        for folder in re.findall(r"`([a-z_]+)/`", line):
            rank[folder] = place
    return rank


faults = []
orders = []
for program, title, foreign in PROGRAMS:
    rank = order_of(title)
    orders.append(f"{program}: " + " < ".join(
        "/".join(f for f in rank if rank[f] == place) for place in sorted(set(rank.values()))))
    base = root / program
    for folder in sorted(p.name for p in base.iterdir() if p.is_dir()):
        if folder not in rank:
            faults.append(f"{program}/{folder}/ is not in README's list {sorted(rank)}")
    if len(set(rank.values())) < 2:
        faults.append(f"README's \"{title}\" lists fewer than two places")
    for source in sorted(base.rglob("*")):
        if source.suffix not in (".h", ".cpp", ".rc", ".in"):
            continue
        folder = source.relative_to(base).parts[0]
        if folder not in rank:
            continue
        where = source.relative_to(root)
        lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            if (program != "monitor" and folder not in PLATFORM_FOLDERS
                    and SYSTEM_HEADER.match(line)):
                faults.append(f"{where}:{number}: portable {folder}/ includes a system header")
            found = INCLUDE.match(line)
            if not found:
                continue
            target = found.group(1)
            path = line.split('"')[1]
            # The program's own file first, as the include path finds it;
            # one made at build time is the program's own too.
            owner = program
            if not (base / path).exists():
                owner = next((other for other, _, _ in PROGRAMS
                              if other != program and (root / other / path).exists()), program)
            if owner != program:
                if target not in foreign.get(owner, set()):
                    faults.append(f"{where}:{number}: {program} includes {owner}'s {target}/")
            elif target in rank and rank[target] > rank[folder]:
                faults.append(f"{where}:{number}: {folder} includes {target}, listed after it")
            elif target in rank and rank[target] == rank[folder] and target != folder:
                faults.append(f"{where}:{number}: {folder} includes {target}, which shares its "
                              "place")

for fault in faults:
    print(fault)
print(f"layers {'; '.join(orders)}: {len(faults)} faults")
sys.exit(1 if faults else 0)
