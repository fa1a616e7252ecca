"""The eight templates as two readers see them: openpyxl reads the settings written, and
LibreOffice lays the sheet out (converted to .ods, whose column widths and row heights are
LibreOffice's own). Usage: check_templates.py <program folder> <scratch folder>"""
import os
import re
import sys
import zipfile

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from libreoffice_render import convert  # noqa: E402
from ooxml_check import check_package  # noqa: E402

# name: (row height pt, column px, default font pt, print scale)
EXPECTED = {
    "TMP-12P": (12.75, 8, 12, 89), "TMP-12PW": (12.75, 16, 12, 89),
    "TMP-11P": (12, 8, 12, 82), "TMP-11PW": (12, 16, 12, 82),
    "TMP-10P": (10.5, 7, 10.5, 85), "TMP-10PW": (10.5, 14, 10.5, 85),
    "TMP-09P": (9.75, 6, 9, 89), "TMP-09PW": (9.75, 12, 9, 89),
}


def inches(text):
    assert text.endswith("in"), text
    return float(text[:-2])


def main(program_dir, out_dir):
    files = [os.path.join(program_dir, name + ".xlsx") for name in EXPECTED]
    failures = [p for f in files for p in check_package(f)]
    for name, file in zip(EXPECTED, files):
        row_pt, col_px, font_pt, scale = EXPECTED[name]
        book = openpyxl.load_workbook(file)
        sheet = book["1"]
        font = book._fonts[0]
        got = {"row height": float(sheet.sheet_format.defaultRowHeight),
               "paper": int(sheet.page_setup.paperSize),
               "orientation": sheet.page_setup.orientation,
               "scale": int(sheet.page_setup.scale),
               "font": font.name, "font size": float(font.sz)}
        want = {"row height": row_pt, "paper": 9, "orientation": "portrait", "scale": scale,
                "font": "ＭＳ ゴシック", "font size": font_pt}
        if got != want:
            failures.append(f"{name}: openpyxl reads {got}, expected {want}")

    convert(files, out_dir, to="ods", timeout=300)
    for name in EXPECTED:
        row_pt, col_px, _, scale = EXPECTED[name]
        with zipfile.ZipFile(os.path.join(out_dir, name + ".ods")) as ods:
            content = ods.read("content.xml").decode()
            styles = ods.read("styles.xml").decode()
        widths = {inches(w) for w in re.findall(r'style:column-width="([^"]+)"', content)}
        heights = {inches(h) for h in re.findall(r'style:row-height="([^"]+)"', content)}
        # LibreOffice writes lengths to 1/10000 inch: allow half a per cent.
        if len(widths) != 1 or abs(widths.pop() * 96 - col_px) > col_px * 0.005:
            failures.append(f"{name}: LibreOffice column widths {widths}, expected {col_px} px")
        if len(heights) != 1 or abs(heights.pop() * 72 - row_pt) > row_pt * 0.005:
            failures.append(f"{name}: LibreOffice row heights {heights}, expected {row_pt} pt")
        if f'style:scale-to="{scale}%"' not in styles:
            failures.append(f"{name}: LibreOffice does not print at {scale} %")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
