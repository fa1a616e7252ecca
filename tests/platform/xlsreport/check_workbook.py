"""The sample workbook (sample_workbook.cpp) as two readers see it: openpyxl reads what was
written, LibreOffice prints it. Usage: check_workbook.py <workbook.xlsx> <scratch folder>"""
import os
import sys

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from libreoffice_render import convert, page_pixels, word_pages  # noqa: E402
from ooxml_check import check_package  # noqa: E402

failures = []


def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r}, expected {want!r}")


def cell_looks(cell):
    b = cell.border
    return (cell.font.name, float(cell.font.sz), cell.alignment.horizontal,
            cell.alignment.vertical, b.left.style, b.bottom.style, b.right.style, b.top.style,
            b.diagonal.style, bool(b.diagonalUp), bool(b.diagonalDown))


def check_structure(file):
    book = openpyxl.load_workbook(file)
    expect("sheet names", book.sheetnames, ["Page 1～2", "Page 3～3"])
    for sheet in book.worksheets:
        # What each sheet takes over from the template, and the margins given to it.
        expect(f"{sheet.title} standard row", float(sheet.sheet_format.defaultRowHeight), 12.75)
        columns = sheet.column_dimensions["A"]
        expect(f"{sheet.title} columns", (columns.min, columns.max, columns.width),
               (1, 16384, 1.0))
        setup = sheet.page_setup
        expect(f"{sheet.title} page setup", (int(setup.paperSize), setup.orientation,
                                             int(setup.scale)), (9, "portrait", 89))
        m = sheet.page_margins
        expect(f"{sheet.title} margins in mm",
               [round(v * 25.4, 6) for v in (m.left, m.top, m.right, m.bottom, m.header,
                                             m.footer)], [20, 15, 10, 0, 0, 0])
        expect(f"{sheet.title} column break", [b.id for b in sheet.col_breaks.brk], [86])
    default_font = book._fonts[0]
    expect("default font", (default_font.name, float(default_font.sz)), ("ＭＳ ゴシック", 12.0))

    one, two = book.worksheets
    expect("title", one["A1"].value, "  月次売上報告")
    expect("title look", cell_looks(one["A1"])[:2], ("ＭＳ 明朝", 15.0))
    expect("row heights", (one.row_dimensions[1].height, one.row_dimensions[2].height),
           (15.75, 12.75))
    # openpyxl shows Excel's escape of "_x0041_" as it is stored.
    expect("hostile text", one["A3"].value, "<&>\"' \ufffd _x005F_x0041_ ｱ\ufffd")
    expect("merges", sorted(str(r) for r in one.merged_cells.ranges), ["K6:T6", "U6:Y6"])
    expect("thin and medium", cell_looks(one["K6"]),
           ("ＭＳ ゴシック", 11.0, "center", "center", "thin", "thin", "medium", "thin", None,
            False, False))
    expect("hair and diagonals", cell_looks(one["U6"]),
           ("ＭＳ ゴシック", 12.0, "right", None, "hair", "hair", "hair", "hair", "hair", True,
            True))
    expect("left", one["A7"].alignment.horizontal, "left")
    expect("row breaks", [b.id for b in one.row_breaks.brk], [65])
    expect("second sheet", (two["A1"].value, [b.id for b in two.row_breaks.brk]), ("page 3", []))


def check_print(file, out_dir):
    pdf = convert([file], out_dir)[0]
    pages = [" ".join(w.text or "" for w in page) for page in word_pages(pdf, out_dir)]
    # One printed page per page break, the sheets one after the other.
    expect("printed pages", len(pages), 3)
    for page, words in zip(pages, ["月次売上報告 <&>\"' \ufffd _x0041_", "page 2", "page 3"]):
        if words not in page:
            failures.append(f"'{words}' is not printed on its page: {page}")

    # The metafile's red frame, scaled by the print scale, below the title row, 20 mm from the
    # left and 15 mm from the top edge of the paper.
    width, height, pixels = page_pixels(pdf, out_dir, 72)
    red = [(i % width, i // width) for i in range(width * height)
           if pixels[3 * i] > 200 and pixels[3 * i + 1] < 80 and pixels[3 * i + 2] < 80]
    if not red:
        failures.append("the metafile is not printed")
        return
    scale = 0.89
    box = (min(x for x, _ in red), min(y for _, y in red), max(x for x, _ in red),
           max(y for _, y in red))
    want = (20 / 25.4 * 72 + 0.7 * scale, 15 / 25.4 * 72 + 15.75 * scale,
            20 / 25.4 * 72 + (0.7 + 141.73) * scale, 15 / 25.4 * 72 + (15.75 + 56.69) * scale)
    if any(abs(g - w) > 3 for g, w in zip(box, want)):
        failures.append(f"the metafile lies at {box}, expected about {want}")


def main(file, out_dir):
    failures.extend(check_package(file))
    check_structure(file)
    check_print(file, out_dir)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
