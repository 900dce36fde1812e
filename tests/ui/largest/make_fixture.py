#!/usr/bin/env python3
"""make_fixture.py ROOT EXPECT: the tree the scan test reads, and what the
scan must find in it, as the Copy command's lines without the header.

Sizes are what Wine reports as a file's allocated size: st_blocks * 512, or
the size where the file system allocates nothing for a file of at most 4096
bytes.
Wine 8 follows Linux symbolic links without telling (no reparse point), so
the link loop here is one only the scan's folder identity check catches."""
import os
import sys

root, expect = sys.argv[1], sys.argv[2]
os.makedirs(root)


def write(path, size, offset=0):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        if offset:
            f.truncate(offset + size)
            f.seek(offset)
        f.write(b"x" * size)


write("top.bin", 1000)
write("big/a.bin", 300000)
write("big/nested/b.bin", 120000)
write("big/.snapshot/hidden.bin", 900000)
write("~snapshot/old.bin", 1000000)
write("sparse/holey.bin", 4096, offset=50 * 1000 * 1000)
write("loop/data.bin", 5000)
os.symlink("..", os.path.join(root, "loop", "up"))
write("names/\u03a9mega.bin", 20000)
write("names/caf\u00e9.txt", 3000)
deep = "/".join(["d" * 60] * 5)
write("deep/" + deep + "/long.bin", 7000)
write("locked/secret.bin", 4000)
for i in range(10000):  # the folder of 10 000 names
    write("many/f%05d.bin" % i, 1)
os.chmod(os.path.join(root, "locked"), 0)

# Whether this user can list the locked folder (root can: chmod does not
# stop it), decides what the scan must count.
locked_readable = os.access(os.path.join(root, "locked"), os.R_OK | os.X_OK)


def allocated(path):
    """The scan's rule: the allocation; the length only where nothing is
    allocated and the file fits a file record (4096 bytes)."""
    st = os.lstat(path)
    if st.st_blocks or st.st_size > 4096:
        return st.st_blocks * 512
    return st.st_size


folders, files = {}, []
for top in sorted(os.listdir(root)):
    full = os.path.join(root, top)
    if not os.path.isdir(full):
        files.append((allocated(full), top))
        continue
    if top in ("~snapshot", ".snapshot"):
        continue
    folders[top] = 0
    if top == "locked" and not locked_readable:
        continue
    for here, dirs, names in os.walk(full):
        dirs[:] = [d for d in dirs if d not in ("~snapshot", ".snapshot")
                   and not os.path.islink(os.path.join(here, d))]
        for name in names:
            path = os.path.join(here, name)
            folders[top] += allocated(path)
            files.append((allocated(path), os.path.relpath(path, root).replace("/", "\\")))

if not allocated(os.path.join(root, "sparse/holey.bin")) < 1000000:
    sys.exit("this file system makes no sparse files")


def kb(size):
    return (size + 1023) // 1024


rank = lambda item: (-item[0], item[1])
lines = ["folder\t%d\t%s" % (kb(s), p) for s, p in sorted(((s, p) for p, s in folders.items()), key=rank)]
lines += ["file\t%d\t%s" % (kb(s), p) for s, p in sorted(files, key=rank)[:20]]
with open(expect, "w", encoding="utf-8") as f:
    f.write("counts\t%d\t%d\n" % (0 if locked_readable else 1, 1))
    f.write("\n".join(lines) + "\n")
