"""Prints a chart workbook the way LibreOffice does and tells where it broke
the pages: python3 libreoffice_pages.py WORKBOOK PROFILE_FOLDER OUT.pdf.

Prints one line of JSON: the first row and column (0-based) of every page
after the first, down and across, and what LibreOffice's column breaks are
made of: the printable width and the scale of the page style and the widths
(1/100 mm) of the title columns and the print area's columns, for LibreOffice
measures columns a little wider than the format's application does."""
import json
import os
import sys

import uno

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "sheet"))
from office import prop, running_office  # noqa: E402


def breaks(page_breaks):
    return sorted(entry.Position for entry in page_breaks)


def main(workbook, profile, out):
    with running_office(profile, "pages") as desktop:
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(workbook)), "_blank", 0,
                                                (prop("Hidden", True),))
        sheet = document.Sheets.getByIndex(0)
        document.calculateAll()
        document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(out)),
                            (prop("FilterName", "calc_pdf_Export"),))
        area = sheet.getPrintAreas()[0]
        titles = sheet.getTitleColumns()
        style = document.StyleFamilies.getByName("PageStyles").getByName(sheet.PageStyle)
        widths = [sheet.Columns.getByIndex(column).Width for column in range(area.StartColumn, area.EndColumn + 1)]
        title_widths = [sheet.Columns.getByIndex(column).Width for column in range(titles.StartColumn, titles.EndColumn + 1)]
        inside = lambda positions, first, last: [p for p in positions if first < p <= last]
        print(json.dumps({"rowBreaks": inside(breaks(sheet.getRowPageBreaks()), area.StartRow, area.EndRow),
                          "columnBreaks": inside(breaks(sheet.getColumnPageBreaks()), area.StartColumn, area.EndColumn),
                          "printableWidth": style.Width - style.LeftMargin - style.RightMargin,
                          "scale": style.PageScale, "titleWidth": sum(title_widths), "columnWidths": widths}))
        document.close(True)


if __name__ == "__main__":
    main(*sys.argv[1:4])
