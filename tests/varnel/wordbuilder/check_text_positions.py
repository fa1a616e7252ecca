#!/usr/bin/python3
"""Renders a converted .docx with LibreOffice and checks where every LABEL/TITLE text lands.

usage: check_text_positions.py JOB_DIR DOCX TOLERANCE_MM PAGES [SHARE [FONTS_CONF]]

For each text record of PRN_CHAR, the first word of its text must appear on the same page with
its left edge at x (from the paper's left edge) and the bottom of its line at the block's top
plus y (from the paper's top edge), both within the tolerance. The block's rows must lie on the
line grid, as a well-formed job's do. Exit status 0 when all texts are in place, or at least
the share of them given (0.97: 97 %); FONTS_CONF renders under another fontconfig than the
tests' pinned one.
"""
import os
import sys
import tempfile

from rendered_words import FONTS_CONF, rendered_pages

POINTS_PER_TENTH_MM = 72 / 254


def text_records(job_dir):
    """(page, x, line bottom y, first word) of every text record, in tenths of a millimetre."""
    with open(os.path.join(job_dir, "PRN_CHAR"), "rb") as f:
        lines = f.read().decode("cp932").split("\r\n")
    page, block_top = 1, 0
    for line in lines[1:]:
        keyword = line.split(",", 1)[0]
        if keyword == "PAGE":
            page += 1
        elif keyword == "BLOCK":
            block_top = float(line.split(",")[3])
        elif keyword in ("LABEL", "TITLE", "SMOJI", "UMOJI"):
            fields = line.split(",", 5 if keyword in ("LABEL", "TITLE") else 3)
            text = fields[-1][1:-1]
            words = text.split()
            if words and keyword in ("LABEL", "TITLE"):
                yield page, float(fields[1]), block_top + float(fields[2]), words[0]


def main(job_dir, docx, tolerance_mm, page_count, share="1", fonts_conf=FONTS_CONF):
    tolerance = float(tolerance_mm) * 10 * POINTS_PER_TENTH_MM
    with tempfile.TemporaryDirectory() as out_dir:
        pages = rendered_pages(docx, out_dir, fonts_conf)
    failures = 0
    checked = 0
    pages_right = len(pages) == int(page_count)
    if not pages_right:
        print("%d pages rendered, %s wanted" % (len(pages), page_count))
    for page, x, y, word in text_records(job_dir):
        want_x, want_y = x * POINTS_PER_TENTH_MM, y * POINTS_PER_TENTH_MM
        candidates = [w for w in pages[page - 1] if w[0].startswith(word) or word.startswith(w[0])] \
            if page <= len(pages) else []
        best = min(candidates, key=lambda w: abs(w[1] - want_x) + abs(w[2] - want_y), default=None)
        checked += 1
        if best is None or abs(best[1] - want_x) > tolerance or abs(best[2] - want_y) > tolerance:
            failures += 1
            print("page %d %r: wanted (%.1f, %.1f) pt, found %s" % (page, word, want_x, want_y, best))
    print("%d texts checked, %d out of place, %.1f %% in place" %
          (checked, failures, 100 * (checked - failures) / max(checked, 1)))
    in_place = checked > 0 and checked - failures >= float(share) * checked
    return 0 if pages_right and in_place else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
