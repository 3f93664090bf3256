#!/usr/bin/env python3
"""Watches a rectangle of the X screen from outside a program under test.

  page_watch.py hash X Y W H
      prints a hash of the rectangle's pixels now.
  page_watch.py click-until X Y W H HASH CX CY TIMEOUT_S
      clicks at screen point CX,CY and polls the rectangle until its hash is
      HASH; prints "seconds polls mean_poll_ms" (seconds from just before the
      click to the first poll that saw HASH). Exit code 1 after TIMEOUT_S.

  page_watch.py drive TIMEOUT_S STEP...
      drives a program through its pages as fast as it shows them. Each STEP
      is X,Y,W,H,CX,CY,HASH: a click at screen point CX,CY (none when CX is
      -), then polls of the rectangle until its hash is HASH, or, for HASH +,
      until it differs from before the click and then holds still for one
      more poll. Prints the time (seconds since the epoch) at which the last
      step was seen. Exit code 1 when a step takes more than TIMEOUT_S.

Talks to libX11 and libXtst through ctypes, so nothing needs building: one
poll is a grab of the rectangle (XGetImage) and a hash of its bytes, then a
pause of PAGE_WATCH_PAUSE_MS (default 15). A poll costs about 2 ms of
processor here, Xvfb's included: without the pause the watcher takes half a
core from the program it times, which on two cores slows what it measures.
The resolution is the mean poll time it prints.
"""
import ctypes
import hashlib
import os
import sys
import time

PAUSE = float(os.environ.get("PAGE_WATCH_PAUSE_MS", "15")) / 1000

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                      ctypes.c_ulong]
Z_PIXMAP = 2


class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


def grab_hash(display, root, x, y, w, h):
    p = x11.XGetImage(display, root, x, y, w, h, 0xFFFFFFFF, Z_PIXMAP)
    if not p:
        return None
    image = XImage.from_address(p)
    digest = hashlib.md5(ctypes.string_at(image.data, image.bytes_per_line * h)).hexdigest()
    # XDestroyImage is a macro; for an image from XGetImage it frees these two.
    x11.XFree(image.data)
    x11.XFree(p)
    return digest


def click(display, cx, cy):
    xtst.XTestFakeMotionEvent(display, -1, cx, cy, 0)
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XFlush(display)


def drive(display, root, timeout, steps):
    for n, step in enumerate(steps):
        x, y, w, h, cx, cy, want = step.split(",")
        x, y, w, h = int(x), int(y), int(w), int(h)
        before = grab_hash(display, root, x, y, w, h)
        if cx != "-":
            click(display, int(cx), int(cy))
        t0 = time.monotonic()
        last = None
        while True:
            seen = grab_hash(display, root, x, y, w, h)
            if want == "+" and seen != before and seen == last:
                break
            if seen == want:
                break
            last = seen
            if time.monotonic() - t0 > timeout:
                print("page_watch: step %d not reached within %g s" % (n + 1, timeout),
                      file=sys.stderr)
                return 1
            time.sleep(PAUSE)
    print("%.4f" % time.time())
    return 0


def main(argv):
    display = x11.XOpenDisplay(None)
    if not display:
        print("page_watch: cannot open the display", file=sys.stderr)
        return 2
    root = x11.XDefaultRootWindow(display)
    if argv[1] == "drive":
        return drive(display, root, float(argv[2]), argv[3:])
    x, y, w, h = (int(v) for v in argv[2:6])
    if argv[1] == "hash":
        print(grab_hash(display, root, x, y, w, h))
        return 0
    want, cx, cy, timeout = argv[6], int(argv[7]), int(argv[8]), float(argv[9])
    xtst.XTestFakeMotionEvent(display, -1, cx, cy, 0)
    x11.XFlush(display)
    time.sleep(0.05)
    t0 = time.monotonic()
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XFlush(display)
    polls = 0
    while True:
        polls += 1
        seen = grab_hash(display, root, x, y, w, h)
        t = time.monotonic()
        if seen == want:
            print("%.4f %d %.2f" % (t - t0, polls, (t - t0) / polls * 1000))
            return 0
        if t - t0 > timeout:
            print("page_watch: no match within %g s" % timeout, file=sys.stderr)
            return 1
        time.sleep(PAUSE)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
