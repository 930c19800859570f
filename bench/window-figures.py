#!/usr/bin/env python3
"""Whole-process figures for the window: the real program on a private Xvfb
display, a project of N tasks in its settings, a click on "Create Template!".

Reports, best and median of the runs, the time from the click until the
preview window is mapped (it paints its first view at once), and the
program's peak memory (VmHWM) with the chart on screen.

    bench/window-figures.py build/src/orvantis [--tasks 1000] [--runs 5]
"""

import argparse
import ctypes
import os
import pathlib
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from xsession import Display, Driver, wait_until  # noqa: E402

TITLE = "Orvantis"
MAIN_SIZE = (616, 426)
PREVIEW_SIZE = (656, 624)
CREATE = (308, 22)


def project(tasks):
    """The lists as the settings store keeps them: the benchmarks' project."""
    categories = max(2, tasks // 50)
    category_list = "|".join(f"Category {c + 1}" for c in range(categories))
    task_list = "|".join(
        "^".join((f"Task {t + 1}", str(t * 7 % 101), f"8/{1 + t % 28}/2016", f"9/{1 + t % 28}/2016",
                  f"Category {t % categories + 1}", "V" if t % 4 == 3 else ""))
        for t in range(tasks))
    event_list = "|".join(f"Event {e + 1}^8/{10 + e}/2016^8/{10 + e}/2016" for e in range(5))
    return category_list, task_list, event_list


def write_settings(folder, tasks):
    categories, task_list, events = project(tasks)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "Varnholt.ini").write_text(
        "[Orvantis]\n"
        f'Categories="{categories}"\n'
        f'Tasks="{task_list}"\n'
        f'Events="{events}"\n'
        "TabSel=0\n", encoding="utf-8")


class MapWatch:
    """Clicks through XTest and waits for the next window to be mapped, on
    one connection to the X server, so that neither starting a helper
    program nor polling adds to the time measured."""

    SUBSTRUCTURE_NOTIFY = 1 << 19
    MAP_NOTIFY = 19
    WINDOW_OFFSET = 40  # XMapEvent.window on 64-bit

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self.x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.connection = self.x11.XOpenDisplay(display.name.encode())
        if not self.connection:
            raise RuntimeError("cannot open the display")
        self.x11.XSelectInput(self.connection, self.x11.XDefaultRootWindow(self.connection),
                              self.SUBSTRUCTURE_NOTIFY)
        self.x11.XSync(self.connection, 0)

    def click_and_wait_for_map(self, mapped_window_wanted):
        """Seconds from the click to the MapNotify of a wanted window."""
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 0, 0)
        self.x11.XFlush(self.connection)
        clicked = time.monotonic()
        event = (ctypes.c_long * 24)()
        while True:
            self.x11.XNextEvent(self.connection, ctypes.byref(event))
            raw = bytes(event)
            if int.from_bytes(raw[0:4], "little") != self.MAP_NOTIFY:
                continue
            window = int.from_bytes(raw[self.WINDOW_OFFSET:self.WINDOW_OFFSET + 8], "little")
            if mapped_window_wanted(window):
                return time.monotonic() - clicked


def peak_megabytes(pid):
    for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    raise RuntimeError("no VmHWM")


def preview_shown(driver):
    return [w for w in driver.visible_windows(TITLE) if driver.size(w) == PREVIEW_SIZE]


def one_run(program, tasks, display):
    driver = Driver(display)
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        for folder in ("temp", "home", "runtime"):
            (scratch / folder).mkdir()
        (scratch / "runtime").chmod(0o700)
        write_settings(scratch / "config", tasks)
        env = dict(os.environ, **display.environment(), QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=str(scratch / "config"), TEMP=str(scratch / "temp"),
                   HOME=str(scratch / "home"), XDG_RUNTIME_DIR=str(scratch / "runtime"),
                   LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            main = driver.wait_for_window(TITLE, MAIN_SIZE, timeout=30)
            time.sleep(0.5)  # the lists are loaded and painted
            driver.xdotool("mousemove", "--window", main, *CREATE)
            watch = MapWatch(display)
            shown = watch.click_and_wait_for_map(lambda window: driver.size(window) == PREVIEW_SIZE)
            wait_until("the preview", lambda: preview_shown(driver), timeout=60)
            time.sleep(0.5)
            return shown * 1000, peak_megabytes(process.pid)
        finally:
            process.kill()
            process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--tasks", type=int, default=1000)
    parser.add_argument("--runs", type=int, default=5)
    arguments = parser.parse_args()
    display = Display()
    try:
        results = [one_run(arguments.program, arguments.tasks, display) for _ in range(arguments.runs)]
    finally:
        display.close()
    times = sorted(r[0] for r in results)
    peaks = sorted(r[1] for r in results)
    print(f"{arguments.tasks} tasks: click to preview mapped {times[0]:.0f} ms best, "
          f"{times[len(times) // 2]:.0f} ms median; peak memory {peaks[-1]:.0f} MB at most")


if __name__ == "__main__":
    main()
