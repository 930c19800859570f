#!/usr/bin/python3
"""Opens workbooks in one headless LibreOffice Calc and prints, as JSON, the
values of every sheet's used area: the results of the formula cells as the
file stored them (LibreOffice does not recalculate on load), then every value
after a full recalculation.

Usage: libreoffice_values.py PROFILE_DIR WORKBOOK...
"""
import json
import sys

import uno

from office import prop, running_office


def name(column, row):
    letters = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        letters = chr(65 + rest) + letters
    return "%s%d" % (letters, row + 1)


def used_area(sheet):
    cursor = sheet.createCursor()
    cursor.gotoStartOfUsedArea(False)
    cursor.gotoEndOfUsedArea(True)
    return cursor, cursor.RangeAddress


def cell_values(area, data, only=None):
    values = {}
    for r, row in enumerate(data):
        for c, value in enumerate(row):
            at = name(area.StartColumn + c, area.StartRow + r)
            if only is None or at in only:
                values[at] = value
    return values


def read(desktop, path):
    document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0, (prop("Hidden", True),))
    sheets = []
    areas = []
    for index in range(document.Sheets.Count):
        sheet = document.Sheets.getByIndex(index)
        cursor, area = used_area(sheet)
        formulas = set()
        for r, row in enumerate(cursor.getFormulaArray()):
            for c, text in enumerate(row):
                if text.startswith("="):
                    formulas.add(name(area.StartColumn + c, area.StartRow + r))
        areas.append((cursor, area, formulas))
        sheets.append({"name": sheet.Name, "stored": cell_values(area, cursor.getDataArray(), formulas)})
    document.calculateAll()
    for entry, (cursor, area, formulas) in zip(sheets, areas):
        entry["computed"] = cell_values(area, cursor.getDataArray())
    document.close(True)
    return {"sheets": sheets}


def main():
    profile, paths = sys.argv[1], sys.argv[2:]
    with running_office(profile, "values") as desktop:
        result = {path: read(desktop, path) for path in paths}
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
