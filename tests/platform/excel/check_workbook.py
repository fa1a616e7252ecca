#!/usr/bin/python3
"""Checks a finished workbook with readers nobody here wrote: openpyxl for its structure and
LibreOffice Calc (through a PDF and pdftotext) for where its characters land.

usage: check_workbook.py BOOK.xlsx OUTDIR CHECK...

CHECK is one of
  value:SHEET!CELL=TEXT     openpyxl reads TEXT in the cell
  merged:SHEET!A1:C1        the range is one merged cell
  border:SHEET!CELL:SIDE=STYLE   the cell's side (left, right, top, bottom, diagonal) has
                            that line style (thin, medium, hair, none)
  active:SHEET              the sheet is the active one
  sheets:NAME|NAME|...      the workbook's sheets, in order
  cursor:SHEET=CELL         the sheet's active cell
  raised:WORD:BASE          LibreOffice draws WORD, the word right of BASE on its line,
                            above the baseline of BASE (superscript)
  smaller:WORD:BASE         WORD, right of BASE, is drawn smaller than BASE
  level:WORD:BASE           WORD, right of BASE, stands on BASE's baseline
  ink:L,T,R,B=RRGGBB        LibreOffice paints that colour (give or take a little) on at
                            least 2 % of the box of page 1 whose edges are the given
                            fractions of the page's width and height
Prints every failed check and exits 1 when there is any. A PNG of the first page is left in
OUTDIR for a look by eye.
"""
import os
import subprocess
import sys

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from libreoffice_render import convert, page_pixels, word_pages  # noqa: E402
from ooxml_check import check_package  # noqa: E402

book, out_dir, *checks = sys.argv[1:]
os.makedirs(out_dir, exist_ok=True)
workbook = openpyxl.load_workbook(book)
failures = check_package(book)
words = None


pdf_file = None
first_page = None


def rendered_pdf():
    global pdf_file
    if pdf_file is None:
        pdf_file = convert([book], out_dir, pinned_fonts=False)[0]
        subprocess.run(["pdftoppm", "-png", "-r", "100", "-f", "1", "-l", "1", "-singlefile",
                        pdf_file, os.path.join(out_dir, "page1")], check=True)
    return pdf_file


def rendered_words():
    global words
    if words is None:
        words = [(w.text or "", float(w.get("yMin")), float(w.get("yMax")),
                  float(w.get("xMin")), float(w.get("xMax")))
                 for page_words in word_pages(rendered_pdf(), out_dir) for w in page_words]
    return words


def rendered_pixels():
    """Page 1 as (width, height, RGB bytes)."""
    global first_page
    if first_page is None:
        first_page = page_pixels(rendered_pdf(), out_dir, 100)
    return first_page


def word_pair(text, base):
    """The first word `text` that stands right of a word `base` on its line, and that `base`.
    A raised word may come late in the reading order, so it is found by where it is drawn."""
    found = rendered_words()
    for b in found:
        if b[0] != base:
            continue
        height = b[2] - b[1]
        beside = [w for w in found if w[0] == text and b[4] - 0.5 <= w[3] <= b[4] + 2 * height
                  and w[1] < b[2] and w[2] > b[1]]
        if beside:
            return min(beside, key=lambda w: w[3]), b
    failures.append(f"LibreOffice shows no word {text!r} right after {base!r}")
    return None, None


def sheet_and_cell(spec):
    sheet, cell = spec.rsplit("!", 1)
    return workbook[sheet], cell


for check in checks:
    kind, spec = check.split(":", 1)
    if kind == "value":
        where, expected = spec.split("=", 1)
        sheet, cell = sheet_and_cell(where)
        value = sheet[cell].value
        if str(value) != expected:
            failures.append(f"{where} holds {value!r}, not {expected!r}")
    elif kind == "merged":
        sheet, cells = sheet_and_cell(spec)
        if cells not in [str(r) for r in sheet.merged_cells.ranges]:
            failures.append(f"{spec} is not merged: {sheet.merged_cells.ranges}")
    elif kind == "border":
        where, expected = spec.rsplit("=", 1)
        where, side = where.rsplit(":", 1)
        sheet, cell = sheet_and_cell(where)
        style = getattr(sheet[cell].border, side).style or "none"
        if style != expected:
            failures.append(f"{where} {side} line is {style}, not {expected}")
    elif kind == "sheets":
        if workbook.sheetnames != spec.split("|"):
            failures.append(f"sheets are {workbook.sheetnames}, not {spec.split('|')}")
    elif kind == "cursor":
        name, expected = spec.rsplit("=", 1)
        cell = workbook[name].sheet_view.selection[0].activeCell
        if cell != expected:
            failures.append(f"{name}'s active cell is {cell}, not {expected}")
    elif kind == "active":
        if workbook.active.title != spec:
            failures.append(f"active sheet is {workbook.active.title}, not {spec}")
    elif kind in ("raised", "smaller", "level"):
        text, base = spec.split(":")
        w, b = word_pair(text, base)
        if w is None or b is None:
            continue
        # pdftotext gives each word's box from the font's ascent to its descent, so a word's
        # baseline lies a fixed share of its box's height above its bottom. The share depends
        # on the font; every share that fonts have must give the same answer.
        shares = [0.15 + 0.01 * i for i in range(21)]
        lift = [(b[2] - share * (b[2] - b[1])) - (w[2] - share * (w[2] - w[1]))
                for share in shares]
        if kind == "raised" and not min(lift) > 1:
            failures.append(f"{text!r} {w} is not above the baseline of {base!r} {b}")
        if kind == "level" and not min(abs(x) for x in lift) < 0.75:
            failures.append(f"{text!r} {w} is off the baseline of {base!r} {b}")
        if kind == "smaller" and not w[2] - w[1] < b[2] - b[1] - 0.5:
            failures.append(f"{text!r} is not drawn smaller than {base!r}")
    elif kind == "ink":
        box, colour = spec.split("=")
        left, top, right, bottom = map(float, box.split(","))
        want = bytes.fromhex(colour)
        width, height, pixels = rendered_pixels()
        inked = total = 0
        for y in range(int(top * height), int(bottom * height)):
            for x in range(int(left * width), int(right * width)):
                at = (y * width + x) * 3
                total += 1
                if all(abs(pixels[at + i] - want[i]) <= 24 for i in range(3)):
                    inked += 1
        if inked < 0.02 * total:
            failures.append(f"{colour} covers {inked} of the {total} pixels of {box} on page 1")
    else:
        failures.append(f"unknown check {check}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
