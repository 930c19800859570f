"""The saved chart workbook as two independent applications read it.

LibreOffice gives the values in their types' plain forms (a date as
08/11/2016, a fraction formatted as percent as 80%), not as the cells show
them; Gnumeric gives the stored constants (dates as serial numbers, fractions
as numbers). Both give the first sheet as rows of texts, indexed from 1 like
the sheet.
"""

import csv
import pathlib
import subprocess
from xml.etree import ElementTree

GNUMERIC = {"gnm": "http://www.gnumeric.org/v10.dtd"}


class Sheet:
    def __init__(self, rows):
        self._rows = rows

    def cell(self, row, column):
        if row > len(self._rows):
            return ""
        values = self._rows[row - 1]
        return values[column - 1] if column <= len(values) else ""

    def row(self, row, first, last):
        return [self.cell(row, column) for column in range(first, last + 1)]


def _read_csv(path):
    with open(path, newline="", encoding="utf-8") as text:
        return Sheet(list(csv.reader(text)))


def libreoffice_values(workbook, scratch):
    """The first sheet's stored values, through headless LibreOffice with a profile of its own."""
    scratch = pathlib.Path(scratch)
    profile = scratch / "lo-profile"
    out = scratch / "lo-out"
    out.mkdir(parents=True, exist_ok=True)
    # CSV filter tokens: comma, double quote, UTF-8, from line 1, default
    # cell format, en-US, ..., last token false: values, not as shown.
    csv_filter = 'csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,false,false'
    done = subprocess.run(
        ["soffice", f"-env:UserInstallation={profile.as_uri()}", "--headless", "--norestore",
         "--convert-to", csv_filter, "--outdir", str(out), str(workbook)],
        capture_output=True, text=True, timeout=120)
    converted = out / (pathlib.Path(workbook).stem + ".csv")
    if done.returncode != 0 or not converted.exists():
        raise AssertionError(f"LibreOffice could not open {workbook}: {done.stdout}{done.stderr}")
    return _read_csv(converted)


def gnumeric_values(workbook, scratch):
    """The first sheet's stored constants, through Gnumeric's ssconvert as uncompressed XML."""
    out = pathlib.Path(scratch) / "gnumeric-out"
    out.mkdir(parents=True, exist_ok=True)
    xml = out / "workbook.xml"
    done = subprocess.run(
        ["ssconvert", "--recalc", "-T", "Gnumeric_XmlIO:sax:0", str(workbook), str(xml)],
        capture_output=True, text=True, timeout=120)
    if done.returncode != 0 or not xml.exists():
        raise AssertionError(f"Gnumeric could not open {workbook}: {done.stderr}")
    sheet = ElementTree.parse(xml).getroot().find("gnm:Sheets/gnm:Sheet", GNUMERIC)
    rows = []
    for cell in sheet.iterfind("gnm:Cells/gnm:Cell", GNUMERIC):
        if cell.get("ValueType") is None:
            continue  # a formula: only constants are compared
        row, column = int(cell.get("Row")), int(cell.get("Col"))
        while len(rows) <= row:
            rows.append([])
        rows[row].extend([""] * (column + 1 - len(rows[row])))
        rows[row][column] = cell.text or ""
    return Sheet(rows)
