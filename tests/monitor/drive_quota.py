#!/usr/bin/env python3
"""Helpers of windows_drive_quota.sh, on the Linux side.

drive_quota.py expect MOUNT LOGIN WARN DANGER
    What the monitor's Windows drive build must show and send for the file
    system mounted at MOUNT, worked out from its statvfs the way Wine answers
    GetDiskFreeSpaceExA (f_blocks and f_bavail in units of f_frsize), with
    percent thresholds WARN and DANGER: NAME=TEXT lines for the details
    window's figures, level=, and datagram= (hex) at warning and danger.
    The limit is the caller's total and the free space what the caller may
    still fill (f_bavail), never the disk's own free space (f_bfree, which
    holds the blocks reserved for root): MOUNT must have reserved blocks, so
    that the two differ in the texts compared.

drive_quota.py fill MOUNT FILE PERCENT
    Allocates FILE on MOUNT so that PERCENT of the caller's total is in use
    (as the expectation above counts it).

drive_quota.py receive PORTFILE OUTFILE SECONDS
    Binds a UDP socket on 127.0.0.1, writes its port to PORTFILE, and appends
    each datagram it receives, as hex, as one line of OUTFILE, for at most
    SECONDS.
"""
import os
import socket
import sys
import time

STATUS = {
    "ok": "You have enough free space.",
    "warning": "Free space is low : you should keep an eye on it.",
    "danger": "You're running almost out of free space : please take necessary steps.",
}


def mb(kb):
    return "%.2f Mb" % (kb / 1000.0)


def expect(mount, login, warn, danger):
    fs = os.statvfs(mount)
    total_kb = fs.f_blocks * fs.f_frsize // 1024
    free_kb = min(fs.f_bavail * fs.f_frsize, fs.f_blocks * fs.f_frsize) // 1024
    disk_free_kb = fs.f_bfree * fs.f_frsize // 1024
    if mb(disk_free_kb) == mb(free_kb):
        sys.exit("%s: free to the caller and free on the disk read alike (%s): "
                 "no reserved blocks" % (mount, mb(free_kb)))
    used_kb = total_kb - free_kb
    # The monitor's directory percentage, in double precision as it computes it.
    percent = int((1.0 - free_kb / total_kb) * 100.0)
    level = "ok" if percent < warn else "warning" if percent < danger else "danger"
    print("IDC_DIR_USED=" + mb(used_kb))
    print("IDC_DIR_LIMIT=" + mb(total_kb))
    print("IDC_DIR_FREE=" + mb(free_kb))
    print("IDC_VOL_USED=" + mb(used_kb))
    print("IDC_VOL_LIMIT=")
    print("IDC_VOL_FREE=")
    print("IDC_PERCENT_TEXT=%d%%" % percent)
    print("IDC_STATUS_TEXT=" + STATUS[level])
    print("level=" + level)
    if level != "ok":
        text = "%s,%s,%d%%,%s free,%s max" % (
            level.capitalize(), login, percent, mb(free_kb), mb(total_kb))
        print("datagram=" + text.encode("ascii").hex())


def fill(mount, path, percent):
    fs = os.statvfs(mount)
    target_free = fs.f_blocks * (100 - percent) // 100
    if fs.f_bavail <= target_free:
        sys.exit("%s is already %d%% full" % (mount, percent))
    with open(path, "wb") as f:
        os.posix_fallocate(f.fileno(), 0, (fs.f_bavail - target_free) * fs.f_frsize)


def receive(port_file, out_file, seconds):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % sock.getsockname()[1])
    os.rename(port_file + ".tmp", port_file)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        sock.settimeout(max(0.1, end - time.monotonic()))
        try:
            data = sock.recv(2048)
        except socket.timeout:
            continue
        with open(out_file, "a") as f:
            f.write(data.hex() + "\n")


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "expect":
        expect(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
    elif len(sys.argv) == 5 and sys.argv[1] == "fill":
        fill(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    elif len(sys.argv) == 5 and sys.argv[1] == "receive":
        receive(sys.argv[2], sys.argv[3], float(sys.argv[4]))
    else:
        sys.exit(__doc__)
