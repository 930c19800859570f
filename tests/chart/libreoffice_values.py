#!/usr/bin/python3
"""Opens workbooks in one headless LibreOffice Calc and prints, as JSON, the
values of every sheet's used area: the results of the formula cells as the
file stored them (LibreOffice does not recalculate on load), then every value
after a full recalculation.

Usage: libreoffice_values.py PROFILE_DIR WORKBOOK...
"""
import json
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    result = PropertyValue()
    result.Name = name
    result.Value = value
    return result


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.time() + 120
    while True:
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            if time.time() > deadline:
                raise
            time.sleep(0.2)


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
    pipe = "orvantis_values_%d" % int(time.time() * 1000)
    office = subprocess.Popen(
        ["soffice", "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
         "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--accept=pipe,name=%s;urp;" % pipe],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        context = connect(pipe)
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        result = {path: read(desktop, path) for path in paths}
        try:
            desktop.terminate()
        except Exception:
            pass  # the bridge goes down with the office
        json.dump(result, sys.stdout)
    finally:
        try:
            office.wait(timeout=30)
        except subprocess.TimeoutExpired:
            office.kill()


if __name__ == "__main__":
    main()
