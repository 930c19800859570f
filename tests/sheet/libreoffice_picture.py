#!/usr/bin/python3
"""Opens a workbook in headless LibreOffice Calc, exports the used range of
its first sheet as a PNG picture and prints where that range starts and the
widths of its columns and heights of its rows (1/100 mm) as JSON, so that a test can find cells in the picture.

Usage: libreoffice_picture.py WORKBOOK PICTURE PROFILE_DIR
"""
import json
import sys

import uno

from office import prop, running_office


def main():
    workbook, picture, profile = sys.argv[1:4]
    with running_office(profile, "render") as desktop:
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
    print(json.dumps(extent))


if __name__ == "__main__":
    main()
