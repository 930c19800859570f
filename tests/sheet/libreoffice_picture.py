#!/usr/bin/python3
"""Opens a workbook in headless LibreOffice Calc, exports the used range of
its first sheet as a PNG picture and prints where that range starts and the
widths of its columns and heights of its rows (1/100 mm) as JSON, so that a test can find cells in the picture.

Usage: libreoffice_picture.py WORKBOOK PICTURE PROFILE_DIR
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
    deadline = time.time() + 60
    while True:
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            if time.time() > deadline:
                raise
            time.sleep(0.1)


def main():
    workbook, picture, profile = sys.argv[1:4]
    pipe = "orvantis_render_%d" % int(time.time() * 1000)
    office = subprocess.Popen(
        ["soffice", "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
         "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--accept=pipe,name=%s;urp;" % pipe],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        context = connect(pipe)
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(workbook), "_blank", 0,
                                                (prop("Hidden", True),))
        document.calculateAll()
        sheet = document.Sheets.getByIndex(0)
        cursor = sheet.createCursor()
        cursor.gotoStartOfUsedArea(False)
        cursor.gotoEndOfUsedArea(True)
        used = cursor.RangeAddress
        document.CurrentController.select(cursor)
        document.storeToURL(uno.systemPathToFileUrl(picture),
                            (prop("FilterName", "calc_png_Export"), prop("SelectionOnly", True)))
        extent = {
            "firstColumn": used.StartColumn,
            "firstRow": used.StartRow,
            "columns": [sheet.Columns.getByIndex(c).Width for c in range(used.StartColumn, used.EndColumn + 1)],
            "rows": [sheet.Rows.getByIndex(r).Height for r in range(used.StartRow, used.EndRow + 1)],
        }
        document.close(True)
        try:
            desktop.terminate()
        except Exception:
            pass  # the bridge goes down with the office
        print(json.dumps(extent))
    finally:
        try:
            office.wait(timeout=30)
        except subprocess.TimeoutExpired:
            office.kill()


if __name__ == "__main__":
    main()
