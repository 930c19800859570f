#!/usr/bin/python3
"""One chart from start to finish with the real program on a private X display.

Starts the built program with a fresh settings folder, a fresh temporary
folder and en-US dates, loads the sample, edits the lists, creates the chart,
zooms and drags the preview, maximises it and scrolls to the calendar's end
(the task names stay in view), saves the workbook through the file dialog,
goes back, edits the new task's start date in place, creates again (its bar
moves) and closes the main window. Then starts the program once more with the
saved workbook named on the command line and a fresh settings folder, and
closes it again. A further run zooms a 1,000-task chart in. Then checks from
outside: the saved workbook in LibreOffice and Gnumeric, the settings file of
each run (the second holds the plan read back from the workbook), and that the
temporary folder is left clean. Screenshots go to the artefacts folder.

Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing).
"""

import argparse
import configparser
import datetime
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

from outside_readers import gnumeric_values, libreoffice_values
from xsession import Display, Driver, wait_until

TITLE = "^Orvantis$"
MAIN_SIZE = (616, 426)
PREVIEW_SIZE = (656, 624)

# Main window, client coordinates. The tab pages start below the tab bar;
# fields are given on the page.
CREATE = (308, 22)
LOAD_SAMPLE = (459, 55)
TABS = {"Categories": (52, 87), "Tasks": (125, 87), "Special Events": (210, 87)}
PAGE = (12, 102)
CATEGORY_FIELD = (112 + 100, 20 + 11)
CATEGORY_ADD = (112 + 50, 50 + 13)
TASK_NAME = (112 + 100, 14 + 11)
TASK_PERCENT = (112 + 60, 40 + 11)
TASK_CATEGORY = (112 + 100, 66 + 11)
TASK_START = (112 + 60, 92 + 11)
TASK_END = (306 + 60, 92 + 11)
SUB_TASK = (112 + 10, 120 + 12)
TASK_ADD = (206 + 50, 119 + 13)
CATEGORY_LIST = (12, 84, 562, 216)
TASK_LIST = (12, 152, 562, 148)
# The "Start" cell of the first task, below the list's header.
FIRST_TASK_START = (12 + 193 + 96 + 48, 152 + 40)

# Preview window, client coordinates.
VIEWPORT = (9, 9, 620, 493)
PICTURE_CENTRE = (319, 255)
ZOOM_IN = (80, 557)
ZOOM_OUT = (200, 557)
SCREEN = (1280, 1024)
# The task names in the frozen columns, below the frozen header rows.
NAMES = (12, 170, 180, 100)
# Bars' colour of a category row (white text on indigo in columns A to F).
INDIGO = b"\x33\x33\x99"
BACK = (164, 603)
SAVE = (488, 603)


def us_short_date(day):
    return f"{day.month}/{day.day}/{day.year}"


def date_serial(day):
    return (day - datetime.date(1899, 12, 30)).days


# The new task runs across today, so that the chart's calendar (which starts
# no earlier than 30 days before today) shows its bar.
TODAY = datetime.date.today()
NEW_START = TODAY - datetime.timedelta(days=27)
NEW_END = TODAY + datetime.timedelta(days=7)
# Edited in place before the second chart: a week later.
EDITED_START = TODAY - datetime.timedelta(days=20)
NEW_CATEGORY = "Testing"
NEW_TASK = {"name": "Acceptance tests", "percent": "50", "category": "Testing",
            "start": us_short_date(NEW_START), "end": us_short_date(NEW_END)}

EXPECTED_SETTINGS = {
    "categories": "Research|Development|Testing",
    "tasks": "Initial researching^80^8/11/2016^8/24/2016^Research^"
             "|Draft project^10^8/23/2016^11/24/2016^Development^"
             f"|Acceptance tests^50^{us_short_date(EDITED_START)}^{NEW_TASK['end']}^Testing^V",
    "events": "General meeting^8/12/2016^8/12/2016",
    "tabsel": "2",
}

# The plan read back from the saved workbook, which was saved before the
# new task's start date was edited.
REOPENED_SETTINGS = dict(
    EXPECTED_SETTINGS,
    tasks=EXPECTED_SETTINGS["tasks"].replace(us_short_date(EDITED_START), NEW_TASK["start"]),
    tabsel=None)

# Chart rows: the special event in row 3; each category heads a block of four
# rows from row 10 on, its first task in the row below. Columns: B task name
# (C for a sub-task), D start, E end, F completed fraction.
EXPECTED_ROWS = [
    # task row, (category, its row), (name in B, name in C), start, end (date serials), fraction
    (11, ("Research", 10), ("Initial researching", ""), 42593, 42606, 0.8),
    (15, ("Development", 14), ("Draft project", ""), 42605, 42698, 0.1),
    (19, ("Testing", 18), ("", "Acceptance tests"), date_serial(NEW_START), date_serial(NEW_END), 0.5),
]
EXPECTED_EVENT = (3, "General meeting", 42594)


class Scenario:
    def __init__(self, program, artifacts, scratch, display):
        self.program = program
        self.artifacts = artifacts
        self.scratch = scratch
        self.x = Driver(display)
        self.config = scratch / "config"
        self.temp = scratch / "temp"
        self.saved = scratch / "saved" / "My chart.xls"
        for folder in (self.config, self.temp, self.saved.parent, scratch / "home", scratch / "runtime"):
            folder.mkdir(parents=True)
        (scratch / "runtime").chmod(0o700)
        env = dict(os.environ, **display.environment())
        # Qt takes its system locale from LC_ALL/LANG themselves, so en-US
        # dates need no generated glibc locale on the machine.
        env.update(QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=str(self.config), TEMP=str(self.temp),
                   HOME=str(scratch / "home"), XDG_RUNTIME_DIR=str(scratch / "runtime"),
                   LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        self.env = env
        self.log = open(scratch / "program.log", "w")
        self.process = None
        self.started = time.monotonic()

    def step(self, name):
        print(f"{time.monotonic() - self.started:6.1f} s  {name}", flush=True)

    def shot(self, window, name):
        self.x.screenshot(window, self.artifacts / f"{name}.png")

    # --- main window -------------------------------------------------------

    def settings_value(self, key):
        return read_settings(self.config).get(key.lower())

    def switch_tab(self, main, tab):
        index = list(TABS).index(tab)
        self.x.click(main, *TABS[tab])
        wait_until(f"the {tab} tab to be stored as selected",
                   lambda: self.settings_value("TabSel") == str(index))
        time.sleep(0.2)  # the page paints after the change is stored
        self.shot(main, f"main-{tab.lower().replace(' ', '-')}")

    def on_page(self, point):
        return PAGE[0] + point[0], PAGE[1] + point[1]

    def page_region(self, region):
        return (PAGE[0] + region[0], PAGE[1] + region[1], *region[2:])

    def type_into(self, main, field, text):
        self.x.click(main, *self.on_page(field))
        self.x.key("ctrl+a")
        self.x.type_text(text)

    def press(self, window, point, watched, what):
        """Clicks at point and waits for the watched region to change and settle."""
        before = self.x.pixels(window, watched)
        self.x.click(window, *point)
        self.x.wait_for_repaint(window, watched, before, what)

    def picture_height(self, preview):
        """Rows of the viewport down to the picture's last one: below it the
        frame's own colour shows, as in the viewport's bottom-left corner."""
        picture = self.x.pixels(preview, VIEWPORT)
        width, height = VIEWPORT[2], VIEWPORT[3]
        frame = picture[3 * (height - 1) * width:3 * (height - 1) * width + 3]
        for row in range(height - 1, -1, -1):
            line = picture[3 * row * width:3 * (row + 1) * width]
            if any(line[i:i + 3] != frame for i in range(0, len(line), 3)):
                return row + 1
        raise AssertionError("no picture in the viewport")

    def wait_for_preview(self):
        preview = self.x.wait_for_window(TITLE, PREVIEW_SIZE, timeout=30)
        def chart_painted():
            picture = self.x.pixels(preview, VIEWPORT)
            colours = {picture[i:i + 3] for i in range(0, len(picture), 3 * 97)}
            return len(colours) > 4
        wait_until("the chart picture in the preview", chart_painted, timeout=10)
        return preview

    # --- the scenario ------------------------------------------------------

    def run(self):
        self.process = subprocess.Popen([str(self.program)], env=self.env, stdout=self.log,
                                        stderr=subprocess.STDOUT, cwd=self.scratch)
        main = self.x.wait_for_window(TITLE, MAIN_SIZE)
        self.x.focus(main)
        self.step("main window shown")

        self.press(main, LOAD_SAMPLE, self.page_region(CATEGORY_LIST), "the sample in the lists")
        self.step("sample loaded")

        self.switch_tab(main, "Tasks")
        self.switch_tab(main, "Categories")
        self.type_into(main, CATEGORY_FIELD, NEW_CATEGORY)
        self.press(main, self.on_page(CATEGORY_ADD), self.page_region(CATEGORY_LIST),
                   "the new category in the list")
        self.shot(main, "main-categories-added")

        self.switch_tab(main, "Tasks")
        self.type_into(main, TASK_NAME, NEW_TASK["name"])
        self.type_into(main, TASK_PERCENT, NEW_TASK["percent"])
        self.type_into(main, TASK_CATEGORY, NEW_TASK["category"])
        self.type_into(main, TASK_START, NEW_TASK["start"])
        self.type_into(main, TASK_END, NEW_TASK["end"])
        self.x.click(main, *self.on_page(SUB_TASK))
        self.press(main, self.on_page(TASK_ADD), self.page_region(TASK_LIST), "the new task in the list")
        self.shot(main, "main-tasks-added")
        self.switch_tab(main, "Special Events")
        self.step("lists edited")

        self.x.click(main, *CREATE)
        preview = self.wait_for_preview()
        self.x.wait_for_hidden(main, TITLE)
        self.assert_chart_workbook_count(1)
        self.shot(preview, "preview")
        first_picture = self.x.pixels(preview, VIEWPORT)
        self.step("chart created, preview shown")

        own_height = self.picture_height(preview)
        self.press(preview, ZOOM_OUT, VIEWPORT, "the picture zoomed out")
        self.press(preview, ZOOM_OUT, VIEWPORT, "the picture zoomed out further")
        self.shot(preview, "preview-zoomed-out")
        self.step("zoomed out")
        self.press(preview, ZOOM_IN, VIEWPORT, "the picture zoomed in")
        self.press(preview, ZOOM_IN, VIEWPORT, "the picture back at its own size")
        assert self.picture_height(preview) == own_height, "zooming out and in again changed the picture's size"
        self.press(preview, ZOOM_IN, VIEWPORT, "the picture zoomed in beyond its own size")
        self.shot(preview, "preview-zoomed-in")
        grown = self.picture_height(preview) / own_height
        assert 1.2 <= grown <= 1.3, f"Zoom In made the picture {grown:.2f} times as tall, not 1.25"
        self.press(preview, ZOOM_OUT, VIEWPORT, "the picture back at its own size")
        self.step(f"zoomed in: the picture grew from {own_height} to {round(own_height * grown)} pixels")
        before = self.x.pixels(preview, VIEWPORT)
        centre = PICTURE_CENTRE
        self.x.drag(preview, centre, (centre[0] - 160, centre[1] - 120))
        self.x.wait_for_repaint(preview, VIEWPORT, before, "the picture dragged")
        self.shot(preview, "preview-dragged")
        self.step("dragged")

        self.maximise_and_scroll_right(preview)
        self.step("maximised and scrolled to the calendar's end: the task names stayed")

        self.save_through_dialog(preview)
        self.step("workbook saved")

        self.x.click(preview, *BACK)
        main = self.x.wait_for_window(TITLE, MAIN_SIZE)
        self.x.wait_for_hidden(preview, TITLE)
        wait_until("the chart workbook to be deleted", lambda: self.chart_workbooks() == [])
        self.step("back in the main window")

        self.edit_new_task_start(main)
        self.step("start date edited in place")

        self.x.click(main, *CREATE)
        preview = self.wait_for_preview()
        self.assert_chart_workbook_count(1)
        self.shot(preview, "preview-again")
        before, after = bar_start(first_picture), bar_start(self.x.pixels(preview, VIEWPORT))
        assert before is not None and after is not None, "no task bar in the preview"
        assert after > before, f"the edited task's bar did not move right: it starts at x {before}, then {after}"
        self.x.click(preview, *BACK)
        main = self.x.wait_for_window(TITLE, MAIN_SIZE)
        self.step("created again and back")

        self.x.request_close(main)
        wait_until("the program to end", lambda: self.process.poll() is not None, timeout=15)
        assert self.process.returncode == 0, f"the program ended with status {self.process.returncode}"
        self.step("main window closed, program ended")

    def maximise_and_scroll_right(self, preview):
        """Without a window manager, maximising is the window made as large as the screen."""
        self.x.xdotool("windowsize", preview, *SCREEN)
        wait_until("the maximised preview", lambda: self.x.size(preview) == SCREEN)
        wait_until("the viewport to fill the window",
                   lambda: self.x.pixels(preview, (SCREEN[0] - 200, 100, 1, 1)) != self.x.pixels(preview, (1, 1, 1, 1)))
        time.sleep(0.3)
        self.shot(preview, "preview-maximised")
        names = self.x.pixels(preview, NAMES)
        # Text brings the many shades of its smoothed edges.
        assert len({names[i:i + 3] for i in range(0, len(names), 3)}) > 20, "no task names in the preview"
        calendar = (400, 100, SCREEN[0] - 500, 300)
        before = self.x.pixels(preview, calendar)
        self.x.focus(preview)
        self.x.key("ctrl+End")
        self.x.wait_for_repaint(preview, calendar, before, "the calendar scrolled to its end")
        self.shot(preview, "preview-scrolled-right")
        assert self.x.pixels(preview, NAMES) == names, "the task names left the view when the calendar scrolled"
        self.x.key("ctrl+Home")
        self.x.xdotool("windowsize", preview, *PREVIEW_SIZE)
        wait_until("the preview at its own size again", lambda: self.x.size(preview) == PREVIEW_SIZE)

    def reopen_saved_chart(self):
        """`orvantis "My chart.xls"` on empty lists: no question, the lists
        filled from the workbook, stored when the window is closed."""
        self.reopened_config = self.scratch / "config-reopened"
        self.reopened_config.mkdir()
        env = dict(self.env, XDG_CONFIG_HOME=str(self.reopened_config))
        self.process = subprocess.Popen([str(self.program), str(self.saved)], env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT, cwd=self.scratch)
        main = self.x.wait_for_window(TITLE, MAIN_SIZE)
        time.sleep(0.5)  # the lists paint after the file is read
        self.shot(main, "main-reopened")
        assert self.message_box(main) is None, "opening the saved chart showed a message"
        self.x.request_close(main)
        wait_until("the reopened program to end", lambda: self.process.poll() is not None, timeout=15)
        assert self.process.returncode == 0, f"the program ended with status {self.process.returncode}"
        self.step("saved chart reopened from the command line and closed")

    def edit_new_task_start(self, main):
        """F2 on the last task's "Start" cell, reached from the first task's by End."""
        self.switch_tab(main, "Tasks")
        self.x.click(main, *self.on_page(FIRST_TASK_START))
        self.x.key("End", "F2", "ctrl+a")
        self.x.type_text(us_short_date(EDITED_START))
        self.x.key("Return")
        time.sleep(0.3)
        self.shot(main, "main-task-edited")
        self.switch_tab(main, "Special Events")

    def save_through_dialog(self, preview):
        self.x.click(preview, *SAVE)
        dialog = wait_until("the Save File dialog",
                            lambda: next(iter(self.x.visible_windows("^Save File")), None))
        self.x.focus(dialog)
        self.shot(dialog, "save-dialog")
        self.x.key("ctrl+a")
        self.x.type_text(str(self.saved))
        self.x.key("Return")
        done = wait_until("the \"Done.\" message", lambda: self.message_box(preview))
        self.shot(done, "done-message")
        assert self.saved.exists(), "\"Done.\" was shown but the workbook was not saved"
        shutil.copyfile(self.saved, self.artifacts / "saved-chart.xls")
        self.x.focus(done)
        self.x.key("Return")
        self.x.wait_for_hidden(done, TITLE)

    def message_box(self, *known):
        """A visible window titled like the program that is not one of its two windows."""
        for window in self.x.visible_windows(TITLE):
            if window not in known and self.x.size(window) not in (MAIN_SIZE, PREVIEW_SIZE):
                return window
        return None

    def chart_workbooks(self):
        return sorted(self.temp.glob("kdrave*.xls"))

    def assert_chart_workbook_count(self, count):
        found = self.chart_workbooks()
        assert len(found) == count, f"expected {count} chart workbook(s) in the temporary folder, found {found}"

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()


def thousand_task_settings(config):
    """A saved project of 1,000 tasks in 20 categories, a sub-task every fourth."""
    categories = "|".join(f"Category {c + 1}" for c in range(20))
    tasks = "|".join(f"Task {t + 1}^{t * 7 % 101}^8/{1 + t % 28}/2016^9/{1 + t % 28}/2016^Category {t % 20 + 1}^"
                     + ("V" if t % 4 == 3 else "") for t in range(1000))
    config.mkdir(parents=True, exist_ok=True)
    (config / "Varnholt.ini").write_text(
        f'[Orvantis]\nCategories="{categories}"\nTasks="{tasks}"\nEvents=""\nTabSel=0\n', encoding="utf-8")


def category_row_width(picture, width=VIEWPORT[2]):
    """The longest run of the category rows' indigo from the viewport's left edge."""
    longest = 0
    for row in range(len(picture) // (3 * width)):
        line = picture[3 * row * width:3 * (row + 1) * width]
        run = 0
        while run < width and line[3 * run:3 * run + 3] == INDIGO:
            run += 1
        longest = max(longest, run)
    return longest


def zoom_thousand_tasks(program, artifacts, scratch, display):
    """A 1,000-task chart zooms in: its category rows grow by the zoom step."""
    scenario = Scenario(program, artifacts, scratch, display)
    thousand_task_settings(scenario.config)
    try:
        scenario.process = subprocess.Popen([str(program)], env=scenario.env, stdout=scenario.log,
                                            stderr=subprocess.STDOUT, cwd=scratch)
        main = scenario.x.wait_for_window(TITLE, MAIN_SIZE)
        scenario.x.focus(main)
        scenario.x.click(main, *CREATE)
        preview = scenario.wait_for_preview()
        own = category_row_width(scenario.x.pixels(preview, VIEWPORT))
        assert own > 0, "no category row in the preview"
        scenario.press(preview, ZOOM_IN, VIEWPORT, "the 1,000-task chart zoomed in")
        scenario.x.focus(preview)
        scenario.x.key("ctrl+Home")
        time.sleep(0.3)
        scenario.shot(preview, "preview-1000-tasks-zoomed-in")
        grown = category_row_width(scenario.x.pixels(preview, VIEWPORT))
        assert abs(grown - own * 1.25) <= 2, f"Zoom In made the category rows {grown} pixels wide, not 1.25 x {own}"
        scenario.step(f"1,000 tasks zoomed in: the category rows grew from {own} to {grown} pixels")
    finally:
        scenario.stop()


def bar_start(picture, width=VIEWPORT[2]):
    """The leftmost column of the preview picture painted in the task bars' green."""
    columns = [i // 3 % width for i in range(0, len(picture), 3) if picture[i:i + 3] == b"\x00\xff\x00"]
    return min(columns, default=None)


def read_settings(folder):
    path = folder / "Varnholt.ini"
    if not path.exists():
        return {}
    parser = configparser.RawConfigParser(delimiters=("=",), comment_prefixes=(";",), strict=False)
    parser.read(path, encoding="utf-8")
    if not parser.has_section("Orvantis"):
        return {}
    return {key: unquote(value) for key, value in parser.items("Orvantis")}


def unquote(value):
    return value[1:-1] if len(value) >= 2 and value[0] == value[-1] == '"' else value


class Checks:
    """Collects every failed expectation instead of stopping at the first."""

    def __init__(self):
        self.failures = []

    def equal(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")


def check_settings(checks, config, expected_settings, run):
    stored = read_settings(config)
    for key, expected in expected_settings.items():
        checks.equal(f"{run}: settings value {key}", stored.get(key), expected)


def check_temporary_folder(checks, temp):
    left = sorted(p.name for p in temp.iterdir()
                  if p.name in ("template.xlt", "temp.bmp") or (p.name.startswith("kdrave") and p.suffix == ".xls"))
    checks.equal("chart files left in the temporary folder", left, [])


def number(text):
    try:
        return float(text)
    except ValueError:
        return None


def us_long_date(serial):
    return (datetime.date(1899, 12, 30) + datetime.timedelta(days=serial)).strftime("%m/%d/%Y")


def check_workbook(checks, workbook, scratch):
    """Names in their rows and columns in both readers; dates and fractions as values."""
    libreoffice = libreoffice_values(workbook, scratch)
    gnumeric = gnumeric_values(workbook, scratch)
    event_row, event_name, event_start = EXPECTED_EVENT
    for reader, sheet in (("LibreOffice", libreoffice), ("Gnumeric", gnumeric)):
        checks.equal(f"{reader}: event name B{event_row}", sheet.cell(event_row, 2), event_name)
        for row, (category, category_row), names, _, _, _ in EXPECTED_ROWS:
            checks.equal(f"{reader}: category A{category_row}", sheet.cell(category_row, 1), category)
            checks.equal(f"{reader}: task names B{row}:C{row}", tuple(sheet.row(row, 2, 3)), names)
    checks.equal("Gnumeric: event start D3", number(gnumeric.cell(event_row, 4)), event_start)
    checks.equal("LibreOffice: event start D3", libreoffice.cell(event_row, 4), us_long_date(event_start))
    for row, _, _, start, end, fraction in EXPECTED_ROWS:
        checks.equal(f"Gnumeric: dates D{row}:E{row}", tuple(map(number, gnumeric.row(row, 4, 5))), (start, end))
        checks.equal(f"Gnumeric: completed F{row}", number(gnumeric.cell(row, 6)), fraction)
        checks.equal(f"LibreOffice: dates D{row}:E{row}", tuple(libreoffice.row(row, 4, 5)),
                     (us_long_date(start), us_long_date(end)))
        checks.equal(f"LibreOffice: completed F{row}", libreoffice.cell(row, 6), f"{round(fraction * 100)}%")


def missing_tools():
    needed = ["Xvfb", "xdotool", "import", "soffice", "ssconvert"]
    return [tool for tool in needed if shutil.which(tool) is None]


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument("--program", required=True, type=pathlib.Path)
    arguments.add_argument("--artifacts", required=True, type=pathlib.Path)
    options = arguments.parse_args()
    missing = missing_tools()
    if missing:
        print(f"skipped: missing {', '.join(missing)}")
        return 77
    options.artifacts.mkdir(parents=True, exist_ok=True)
    for old in options.artifacts.glob("*.png"):
        old.unlink()

    with tempfile.TemporaryDirectory(prefix="orvantis-e2e-") as folder:
        scratch = pathlib.Path(folder)
        display = Display()
        scenario = Scenario(options.program, options.artifacts, scratch, display)
        try:
            scenario.run()
            scenario.reopen_saved_chart()
            zoom_thousand_tasks(options.program, options.artifacts, scratch / "thousand", display)
        except AssertionError as failure:
            print(f"FAILED during the scenario: {failure}")
            status = scenario.process.poll() if scenario.process else None
            print("the program is still running" if status is None else f"the program ended with status {status}")
            for window in scenario.x.visible_windows("."):
                scenario.shot(window, f"failure-window-{window}")
            return 1
        finally:
            scenario.stop()
            display.close()
            print((scratch / "program.log").read_text(), end="")

        checks = Checks()
        check_settings(checks, scenario.config, EXPECTED_SETTINGS, "first run")
        check_settings(checks, scenario.reopened_config, REOPENED_SETTINGS, "saved chart reopened")
        check_temporary_folder(checks, scenario.temp)
        check_workbook(checks, scenario.saved, scratch)
        print(f"{time.monotonic() - scenario.started:6.1f} s  checks done")
        for failure in checks.failures:
            print(f"FAILED: {failure}")
        return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
