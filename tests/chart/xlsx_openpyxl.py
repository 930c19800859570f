#!/usr/bin/python3
"""Reads an .xlsx workbook with openpyxl and prints, as JSON, what it found
of every sheet: state, column widths and row heights, merges, view, page
setup, print names, conditional formats, formulas and their stored results,
and the font size of every cell that holds something.

Usage: xlsx_openpyxl.py WORKBOOK
"""
import datetime
import json
import sys

import openpyxl
from openpyxl.utils.datetime import to_excel


def color(fill):
    if fill is None or fill.bgColor is None or fill.bgColor.rgb is None:
        return None
    return str(fill.bgColor.rgb)[-6:].upper()


def conditional_formats(sheet):
    formats = []
    for conditional in sheet.conditional_formatting:
        rules = [{"priority": rule.priority,
                  "formula": list(rule.formula),
                  "stopIfTrue": bool(rule.stopIfTrue),
                  "fill": color(rule.dxf.fill if rule.dxf else None)}
                 for rule in conditional.rules]
        formats.append({"ranges": str(conditional.sqref).split(), "rules": rules})
    return formats


def cells(sheet, results):
    formulas, values, sizes = {}, {}, {}
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                sizes[cell.coordinate] = float(cell.font.sz)
            if cell.data_type == "f":
                formulas[cell.coordinate] = cell.value
                result = results[cell.coordinate].value
                if isinstance(result, (datetime.datetime, datetime.date, datetime.time)):
                    result = to_excel(result)  # a number shown as a date
                values[cell.coordinate] = "" if result is None else result
    return formulas, values, sizes


def describe(sheet, results):
    view = sheet.sheet_view
    formulas, values, sizes = cells(sheet, results)
    setup = sheet.page_setup
    return {
        "name": sheet.title,
        "state": sheet.sheet_state,
        "columns": [[d.min, d.max, d.width, bool(d.hidden)] for d in sheet.column_dimensions.values()
                    if d.customWidth or d.width],
        "rows": {str(r): d.height for r, d in sheet.row_dimensions.items() if d.height is not None},
        "merges": sorted(str(r) for r in sheet.merged_cells.ranges),
        "frozen": sheet.freeze_panes or "",
        "gridlines": view.showGridLines is not False,
        "activeCell": view.selection[-1].activeCell if view.selection else "",
        "selection": view.selection[-1].sqref if view.selection else "",
        "orientation": setup.orientation or "portrait",
        "paperSize": int(setup.paperSize or 1),
        "scale": int(setup.scale or 100),
        "footer": str(sheet.HeaderFooter.oddFooter or ""),
        "printArea": sheet.print_area if sheet.print_area else [],
        "printTitleRows": sheet.print_title_rows or "",
        "printTitleColumns": sheet.print_title_cols or "",
        "conditionalFormats": conditional_formats(sheet),
        "formulas": formulas,
        "values": values,
        "fontSizes": sizes,
    }


def main():
    path = sys.argv[1]
    book = openpyxl.load_workbook(path)
    results = openpyxl.load_workbook(path, data_only=True)
    json.dump({"sheets": [describe(sheet, results[sheet.title]) for sheet in book.worksheets]}, sys.stdout,
              default=str)


if __name__ == "__main__":
    main()
