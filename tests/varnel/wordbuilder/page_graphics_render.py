#!/usr/bin/python3
"""Renders a converted .docx with LibreOffice and checks where texts drawn in block figures land.

usage: page_graphics_render.py DOCX TOLERANCE_MM PAGE:X_MM:Y_MM:WORD ...

Each WORD must appear on PAGE with its left edge at X and its bottom at Y, in millimetres from
the paper's top-left corner, both within the tolerance; the document must have as many pages
as the highest PAGE named. Exit status 0 when all are in place.
"""
import sys
import tempfile

from rendered_words import rendered_pages

POINTS_PER_MM = 72 / 25.4


def main(docx, tolerance_mm, *expected):
    tolerance = float(tolerance_mm) * POINTS_PER_MM
    with tempfile.TemporaryDirectory() as out_dir:
        pages = rendered_pages(docx, out_dir)
    failures = 0
    last_page = 0
    for item in expected:
        page, x, y, word = item.split(":", 3)
        page, want_x, want_y = int(page), float(x) * POINTS_PER_MM, float(y) * POINTS_PER_MM
        last_page = max(last_page, page)
        found = [w for w in pages[page - 1] if w[0] == word] if page <= len(pages) else []
        best = min(found, key=lambda w: abs(w[1] - want_x) + abs(w[2] - want_y), default=None)
        if best is None or abs(best[1] - want_x) > tolerance or abs(best[2] - want_y) > tolerance:
            failures += 1
            print("page %d %r: wanted (%.1f, %.1f) pt, found %s" % (page, word, want_x, want_y, best))
    if len(pages) != last_page:
        failures += 1
        print("%d pages rendered, %d expected" % (len(pages), last_page))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
