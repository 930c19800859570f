#!/usr/bin/python3
"""Orvantis' batch mode side by side with LibreOffice driven through the same steps.

Run it with Debian's Python (python3-uno and libreoffice-calc-nogui plus
libreoffice-draw-nogui installed, see scripts/install-deps --test) after a build:

    /usr/bin/python3 bench/compare-with-libreoffice.py [--build BUILD_DIR] [--runs N]

BUILD_DIR defaults to $ORVANTIS_BUILD_DIR or build/; it must hold the program
(src/orvantis) and the chart template the build writes (src/chart/template/101).
Three projects are built: the sample (2 categories, 2 tasks, 1 event), 200 tasks
and 1,000 tasks over a few categories. Each job is timed from process start to
exit, N times (default 5), alternating between the two programs. The table
shows the best of the N runs of each, the least disturbed figure on a shared
machine, and the ratio; every run's time is printed above it.

The LibreOffice side does what the chart builder does, with the builder's two
application instances: a fresh headless soffice (own, already initialised
profile) opens the template as a template, fills in the events, inserts a copy
of the category block (rows 10:13) for each further category, a copy of the
previous task row for each further task of a category, types names and dates
(dates as localised formula input), saves the workbook in the Excel 97 format
and quits; a second soffice opens the saved workbook, exports the used range as
PNG pictures (in slices, as the export paints at most about 1,000 rows at once)
and quits.

Last it times bench/start-floor: a Qt program that only starts without a
window, draws one word and exits, the least any such program takes here.

The exit code is 1 when Orvantis is less than 50 times faster on any project.
It takes a few minutes; it is not part of the test suite.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from datetime import date, timedelta

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

REQUIRED_RATIO = 50
EXPORT_ROWS = 1000


@dataclass
class Task:
    name: str
    percent: str
    start: str
    end: str
    category: str
    sub: bool = False


@dataclass
class Project:
    name: str
    categories: list
    tasks: list
    events: list = field(default_factory=list)


def us_date(day):
    return f"{day.month}/{day.day}/{day.year}"


def sample_project():
    return Project("sample", ["Research", "Development"], [
        Task("Initial researching", "80", "8/11/2016", "8/24/2016", "Research"),
        Task("Draft project", "10", "8/23/2016", "11/24/2016", "Development"),
    ], [("General meeting", "8/12/2016", "8/12/2016")])


def generated_project(tasks, categories):
    names = [f"Category {c + 1}" for c in range(categories)]
    first = date(2016, 8, 1)
    plan = []
    for t in range(tasks):
        start = first + timedelta(days=(t * 3) % 300)
        plan.append(Task(f"Task {t + 1}", str((t * 7) % 101), us_date(start), us_date(start + timedelta(days=5 + t % 20)),
                         names[t % categories], sub=t % 4 == 3))
    events = [(f"Milestone {e + 1}", us_date(first + timedelta(days=60 * e)), us_date(first + timedelta(days=60 * e + 1)))
              for e in range(3)]
    return Project(f"{tasks} tasks", names, plan, events)


# --- Orvantis ---------------------------------------------------------------

def settings_text(project):
    def quoted(value):
        return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'
    tasks = "|".join("^".join([t.name, t.percent, t.start, t.end, t.category, "V" if t.sub else ""])
                     for t in project.tasks)
    events = "|".join("^".join(e) for e in project.events)
    return ("[Orvantis]\n"
            f"Categories={quoted('|'.join(project.categories))}\n"
            f"Tasks={quoted(tasks)}\nEvents={quoted(events)}\n")


def run_orvantis(program, project, scratch):
    for sub in ("config", "home", "temp"):
        os.makedirs(os.path.join(scratch, sub), exist_ok=True)
    with open(os.path.join(scratch, "config", "Varnholt.ini"), "w", encoding="utf-8") as out:
        out.write(settings_text(project))
    env = dict(os.environ, HOME=os.path.join(scratch, "home"), XDG_CONFIG_HOME=os.path.join(scratch, "config"),
               TEMP=os.path.join(scratch, "temp"), LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
    workbook = os.path.join(scratch, "orvantis.xls")
    picture = os.path.join(scratch, "orvantis.png")
    began = time.perf_counter()
    done = subprocess.run([program, "--build-chart", workbook, "--picture", picture], env=env,
                          capture_output=True, text=True)
    elapsed = time.perf_counter() - began
    if done.returncode != 0 or not os.path.getsize(workbook) or not os.path.getsize(picture):
        sys.exit(f"Orvantis failed on {project.name}: {done.stderr}")
    return elapsed


def run_floor(floor):
    began = time.perf_counter()
    subprocess.run([floor], check=True, capture_output=True)
    return time.perf_counter() - began


# --- LibreOffice --------------------------------------------------------------

def props(**values):
    return tuple(PropertyValue(Name=k, Value=v) for k, v in values.items())


def file_url(path):
    return uno.systemPathToFileUrl(os.path.abspath(path))


class Office:
    """One headless soffice with its own profile, driven over a pipe."""

    def __init__(self, profile, pipe):
        self.pipe = pipe
        self.process = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
             f"-env:UserInstallation={file_url(profile)}", f"--accept=pipe,name={pipe};urp;"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + 60
        while True:
            try:
                context = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
                break
            except NoConnectException:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise
                time.sleep(0.005)
        self.desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)

    def load(self, path, **options):
        return self.desktop.loadComponentFromURL(file_url(path), "_blank", 0, props(Hidden=True, **options))

    def quit(self):
        try:
            self.desktop.terminate()
        except Exception:  # the bridge goes down with the process
            pass
        self.process.wait(timeout=60)


def used_width(sheet):
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    return cursor.RangeAddress.EndColumn + 1


def copy_rows_down(sheet, width, first, last, at):
    """Inserts a copy of rows first..last (1-based) above row `at`, as Excel's copy and insert does.

    Only the template's used columns are copied: the rest of the rows is empty,
    and copying all 16,384 columns would cost LibreOffice some 0.2 s a row.
    """
    count = last - first + 1
    sheet.Rows.insertByIndex(at - 1, count)
    shift = count if at <= first else 0
    source = sheet.getCellRangeByPosition(0, first - 1 + shift, width - 1, last - 1 + shift).RangeAddress
    sheet.copyRange(sheet.getCellByPosition(0, at - 1).CellAddress, source)
    for i in range(count):
        sheet.Rows.getByIndex(at - 1 + i).Height = sheet.Rows.getByIndex(first - 1 + shift + i).Height


def cell(sheet, row, column):
    return sheet.getCellByPosition(column - 1, row - 1)


def fill_chart(sheet, project):
    """Returns the last row written."""
    last = 3
    width = used_width(sheet)
    for e, (name, start, end) in enumerate(project.events[:5], start=1):
        cell(sheet, 3 + e - 1, 2).String = name
        cell(sheet, 3 + e - 1, 4).FormulaLocal = start
        cell(sheet, 3 + e - 1, 5).FormulaLocal = end
    for c, category in enumerate(project.categories, start=1):
        if c > 1:
            copy_rows_down(sheet, width, 10, 13, 14 + (c - 2) * 4)
        cell(sheet, 10 + (c - 1) * 4, 1).String = category
    k = 0
    for c, category in enumerate(project.categories, start=1):
        n, m = 0, k
        for task in project.tasks:
            if task.category != category:
                continue
            row = 11 + (c - 1) * 4 + m
            if n > 0:
                copy_rows_down(sheet, width, row - 1, row - 1, row)
                k += 1
            cell(sheet, row, 2).String = "" if task.sub else task.name
            cell(sheet, row, 3).String = task.name if task.sub else ""
            cell(sheet, row, 4).FormulaLocal = task.start
            cell(sheet, row, 5).FormulaLocal = task.end
            cell(sheet, row, 6).Value = int(task.percent) / 100
            last = max(last, row)
            n += 1
            m += 1
    return last


def export_used_range(office, document, picture):
    sheet = document.Sheets.getByIndex(0)
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    last_row, last_column = cursor.RangeAddress.EndRow, cursor.RangeAddress.EndColumn
    controller = document.CurrentController
    pieces = 0
    for top in range(0, last_row + 1, EXPORT_ROWS):
        bottom = min(top + EXPORT_ROWS - 1, last_row)
        controller.select(sheet.getCellRangeByPosition(0, top, last_column, bottom))
        path = f"{picture}.{pieces}.png"
        document.storeToURL(file_url(path), props(FilterName="calc_png_Export", SelectionOnly=True))
        if not os.path.getsize(path):
            sys.exit(f"LibreOffice exported an empty picture {path}")
        pieces += 1
    return last_row + 1


def run_libreoffice(template, project, profile, scratch):
    """Builds the chart the way the chart builder does, with two application
    instances: the first fills the template and saves the workbook, then quits;
    a second one opens the saved workbook and makes the picture."""
    template_copy = os.path.join(scratch, "template.xlt")
    workbook = os.path.join(scratch, "libreoffice.xls")
    pipe = f"orvantis_bench_{os.getpid()}"
    began = time.perf_counter()
    office = Office(profile, pipe)
    try:
        shutil.copyfile(template, template_copy)
        document = office.load(template_copy, AsTemplate=True)
        last_task_row = fill_chart(document.Sheets.getByIndex(0), project)
        document.storeAsURL(file_url(workbook), props(FilterName="MS Excel 97", Overwrite=True))
        document.close(True)
    finally:
        office.quit()
    office = Office(profile, pipe)
    try:
        saved = office.load(workbook)
        rows = export_used_range(office, saved, os.path.join(scratch, "libreoffice"))
        saved.close(True)
        os.remove(template_copy)
    finally:
        office.quit()
    elapsed = time.perf_counter() - began
    if rows < last_task_row:
        sys.exit(f"LibreOffice's picture of {project.name} has {rows} rows; the last task is in row {last_task_row}")
    return elapsed


# --- The comparison -------------------------------------------------------------

def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.environ.get("ORVANTIS_BUILD_DIR", os.path.join(top, "build")))
    parser.add_argument("--runs", type=int, default=5)
    arguments = parser.parse_args()
    program = os.path.join(arguments.build, "src", "orvantis")
    template = os.path.join(arguments.build, "src", "chart", "template", "101")
    floor = os.path.join(arguments.build, "bench", "qt_start_floor")
    for needed in (program, template, floor):
        if not os.path.isfile(needed):
            sys.exit(f"{needed} is missing: build Orvantis first")

    projects = [sample_project(), generated_project(200, 4), generated_project(1000, 5)]
    print(f"load average before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}, {os.cpu_count()} cores")
    with tempfile.TemporaryDirectory(prefix="orvantis-bench-") as scratch:
        profile = os.path.join(scratch, "profile")
        Office(profile, f"orvantis_bench_{os.getpid()}").quit()  # the profile's first start is not measured
        results = []
        for project in projects:
            ours, theirs = [], []
            for run in range(arguments.runs):
                job = os.path.join(scratch, f"{project.name}-{run}".replace(" ", "-"))
                os.makedirs(job)
                ours.append(run_orvantis(program, project, job))
                theirs.append(run_libreoffice(template, project, profile, job))
            results.append((project, min(ours), min(theirs)))
            print(f"{project.name}: Orvantis {' '.join(f'{t:.3f}' for t in ours)} s, "
                  f"LibreOffice {' '.join(f'{t:.2f}' for t in theirs)} s", flush=True)
    floor_time = min(run_floor(floor) for _ in range(max(arguments.runs, 10)))
    print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print()
    print(f"| job | Orvantis | LibreOffice | ratio |  (best of {arguments.runs} runs)")
    print("|---|---:|---:|---:|")
    slow = False
    for project, ours, theirs in results:
        ratio = theirs / ours
        slow |= ratio < REQUIRED_RATIO
        print(f"| {project.name} ({len(project.categories)} categories, {len(project.tasks)} tasks) "
              f"| {ours * 1000:.0f} ms | {theirs:.2f} s | {ratio:.0f}x |")
    print(f"A Qt program that only starts without a window, draws one word and exits: {floor_time * 1000:.0f} ms")
    if slow:
        print(f"Orvantis is less than {REQUIRED_RATIO} times faster on some project")
    return 1 if slow else 0


if __name__ == "__main__":
    sys.exit(main())
