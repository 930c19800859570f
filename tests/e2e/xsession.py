"""A private X display and the means to drive a program's windows on it.

Xvfb picks a free display number itself (-displayfd). There is no window
manager, so windows have no frames, focus is given with XSetInputFocus and a
window is closed by sending it WM_DELETE_WINDOW, as a window manager would.
"""

import ctypes
import os
import subprocess
import time


class Timeout(AssertionError):
    pass


def wait_until(what, condition, timeout=20.0, interval=0.05):
    """Polls condition() until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Display:
    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        self._server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            self._server.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        self._server.terminate()
        try:
            self._server.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self._server.kill()
            self._server.wait()

    def environment(self):
        return {"DISPLAY": self.name}


class Driver:
    """xdotool and ImageMagick's import on one display."""

    def __init__(self, display):
        self._env = dict(os.environ, DISPLAY=display.name)
        self._display_name = display.name.encode()

    def xdotool(self, *args, check=True):
        done = subprocess.run(["xdotool", *map(str, args)], env=self._env, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))} failed: {done.stderr.strip()}")
        return done.stdout

    def visible_windows(self, name):
        found = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
        return [int(line) for line in found.split()]

    def size(self, window):
        shape = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in shape.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def wait_for_window(self, name, size, timeout=20.0):
        """The one visible window of that name and size, once it is mapped."""
        def found():
            matches = [w for w in self.visible_windows(name) if self.size(w) == size]
            return matches[0] if len(matches) == 1 else None
        return wait_until(f"a visible {size[0]}x{size[1]} window named {name!r}", found, timeout)

    def wait_for_hidden(self, window, name, timeout=20.0):
        wait_until(f"window {window} to be hidden",
                   lambda: window not in self.visible_windows(name), timeout)

    # No --sync on pointer moves: it waits for a motion that never comes when
    # the pointer is already there. The server keeps the fake events in order.
    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y, "click", 1)

    def drag(self, window, start, end, steps=8):
        self.xdotool("mousemove", "--window", window, *start, "mousedown", 1)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self.xdotool("mousemove", "--window", window, x, y)
            time.sleep(0.02)
        self.xdotool("mouseup", 1)

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)

    def type_text(self, text):
        self.xdotool("type", "--delay", 12, text)

    def key(self, *keys):
        self.xdotool("key", "--delay", 20, *keys)

    def pixels(self, window, region=None):
        """The window's RGB bytes, or those of region (x, y, width, height) in it."""
        data = subprocess.run(["import", "-window", str(window), "-depth", "8", "rgb:-"],
                              env=self._env, capture_output=True, check=True).stdout
        if region is None:
            return data
        width = self.size(window)[0]
        x, y, w, h = region
        return b"".join(data[3 * ((y + row) * width + x):3 * ((y + row) * width + x + w)] for row in range(h))

    def screenshot(self, window, path):
        subprocess.run(["import", "-window", str(window), str(path)], env=self._env, check=True)

    def wait_for_repaint(self, window, region, before, what, timeout=10.0):
        """Waits until the region's pixels differ from `before`, then until they settle."""
        wait_until(what, lambda: self.pixels(window, region) != before, timeout, interval=0.1)
        previous = None
        def settled():
            nonlocal previous
            now = self.pixels(window, region)
            same = now == previous
            previous = now
            return same
        wait_until(f"{what} to settle", settled, timeout, interval=0.1)

    def request_close(self, window):
        """What a window manager does on the close button: WM_DELETE_WINDOW."""
        xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                    ctypes.c_void_p]
        xlib.XFlush.argtypes = [ctypes.c_void_p]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                        ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                        ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

        display = xlib.XOpenDisplay(self._display_name)
        if not display:
            raise RuntimeError("cannot open the display")
        try:
            message = ClientMessage()
            message.type = 33  # ClientMessage
            message.display = display
            message.window = window
            message.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
            message.format = 32
            message.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            message.data[1] = 0  # CurrentTime
            if not xlib.XSendEvent(display, window, 0, 0, ctypes.byref(message)):
                raise RuntimeError("cannot send WM_DELETE_WINDOW")
            xlib.XFlush(display)
        finally:
            xlib.XCloseDisplay(display)
