#!/usr/bin/python3
"""Renders a converted .docx with LibreOffice and checks where texts drawn in block figures land.

usage: page_graphics_render.py DOCX TOLERANCE_MM PAGE:X_MM:Y_MM:WORD ...

Each WORD must appear on PAGE with its left edge at X and its bottom at Y, in millimetres from
the paper's top-left corner, both within the tolerance; the document must have as many pages
as the highest PAGE named. Exit status 0 when all are in place.
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

POINTS_PER_MM = 72 / 25.4


def rendered_pages(docx, out_dir):
    env = dict(os.environ)
    env["FONTCONFIG_FILE"] = os.path.join(os.path.dirname(__file__), "..", "..", "data",
                                          "fontconfig", "fonts.conf")
    profile = "file://" + os.path.join(out_dir, "profile")
    subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to",
                    "pdf", "--outdir", out_dir, docx], check=True, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
    pdf = os.path.join(out_dir, os.path.splitext(os.path.basename(docx))[0] + ".pdf")
    html = os.path.join(out_dir, "words.html")
    subprocess.run(["pdftotext", "-bbox", pdf, html], check=True)
    root = ET.fromstring(re.sub(r'xmlns="[^"]*"', "", open(html, encoding="utf-8").read()))
    return [[(w.text or "", float(w.get("xMin")), float(w.get("yMax"))) for w in page.iter("word")]
            for page in root.iter("page")]


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
