"""Reads the sample document back with python-docx and checks what the builder relies on.

Usage: check_sample_docx.py SAMPLE.docx   (exit status 0 when every check holds)
"""
import os
import sys

import docx
from docx.enum.table import WD_ROW_HEIGHT_RULE
from docx.enum.text import WD_LINE_SPACING
from docx.oxml.ns import qn
from docx.shared import Mm, Pt

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from ooxml_check import check_package  # noqa: E402

failures = check_package(sys.argv[1])


def check(condition, what):
    if not condition:
        failures.append(what)


def near(a, b, tolerance):
    return abs(a - b) <= tolerance


d = docx.Document(sys.argv[1])
body = d.element.body

# Page: A4 portrait, 20 mm margins (twips rounding allowed).
section = d.sections[0]
check(section.page_width == 11906 * 635 and section.page_height == 16838 * 635, "A4 page")
for name in ("left_margin", "right_margin", "top_margin", "bottom_margin"):
    check(near(getattr(section, name), Mm(20), 635), name)

# Paragraphs: title in heading 1, grid lines with exact spacing equal to the font size.
paragraphs = d.paragraphs
check(paragraphs[0].text == "表題 Title", "title text")
check(paragraphs[0].style.name == "Heading 1", "title style " + paragraphs[0].style.name)
heading = d.styles["Heading 1"]
check(heading.base_style.name == "Normal", "heading based on Normal")
check(heading.font.size == Pt(16), "heading font size")
check(heading.paragraph_format.line_spacing_rule == WD_LINE_SPACING.EXACTLY, "heading exact")
check(heading.paragraph_format.line_spacing == Pt(16), "heading spacing")
check(heading.element.find(qn("w:pPr")).find(qn("w:outlineLvl")) is not None, "outline level")
for p in paragraphs[1:5]:
    check(p.style.name == "Normal", "line style")
    check(p.paragraph_format.line_spacing_rule == WD_LINE_SPACING.EXACTLY, "line exact")
    check(p.paragraph_format.line_spacing == Pt(10.5), "line spacing")
    ppr = p._p.pPr
    check(ppr.find(qn("w:autoSpaceDE")).get(qn("w:val")) == "0", "autoSpaceDE off")
    check(ppr.find(qn("w:autoSpaceDN")).get(qn("w:val")) == "0", "autoSpaceDN off")

line2 = paragraphs[2]
check(line2.text == "H2O and x2 <&>", "escaped text: " + line2.text)
runs = line2.runs
check([r.text for r in runs] == ["H", "2", "O and x", "2", " <&>"], "runs %r" % [r.text for r in runs])
check(runs[1].font.subscript and not runs[1].font.superscript, "subscript run")
check(runs[3].font.superscript, "superscript run")
position = runs[1]._r.rPr.find(qn("w:position"))
check(position is not None and position.get(qn("w:val")) == "2", "position in half points")
fonts = runs[0]._r.rPr.find(qn("w:rFonts"))
check(fonts.get(qn("w:eastAsia")) == "ＭＳ 明朝" and fonts.get(qn("w:ascii")) == "ＭＳ 明朝", "fonts")
check(runs[0].font.size == Pt(10.5), "run size")

# The page break, then the marker line.
breaks = body.findall(".//" + qn("w:br")) + body.findall(".//" + qn("w:pageBreakBefore"))
check(len(breaks) == 1, "one page break")
check(any(p.text == " " * 10 + "MARK" for p in paragraphs), "marker line")

# The table: two rows, exact heights, widths, merged first two cells of row 2, borders.
check(len(d.tables) == 1, "one table")
t = d.tables[0]
check(len(t.rows) == 3, "three rows")
for row in t.rows[:2]:
    check(row.height_rule == WD_ROW_HEIGHT_RULE.EXACTLY and row.height == Pt(15), "row height")
# The joined rows share one grid holding every cell edge: 60 | 40 | 50 pt, 100 + 50, 80 | 40.
grid = [int(c.get(qn("w:w"))) for c in t._tbl.tblGrid.findall(qn("w:gridCol"))]
check(grid == [1200, 400, 400, 400, 600], "grid %r" % grid)
spans = [[int(tc.tcPr.find(qn("w:gridSpan")).get(qn("w:val"))) if tc.tcPr.find(qn("w:gridSpan")) is not None else 1
          for tc in row._tr.findall(qn("w:tc"))] for row in t.rows]
check(spans == [[1, 2, 2], [3, 2], [2, 2]], "spans %r" % spans)
after = t.rows[2]._tr.trPr.find(qn("w:gridAfter"))
check(after is not None and after.get(qn("w:val")) == "1", "grid after the short row")
check(t.rows[2]._tr.findall(qn("w:tc"))[1].tcPr.find(qn("w:tcW")).get(qn("w:w")) == "800", "width")
cell11 = t.rows[0]._tr.findall(qn("w:tc"))[0]
borders = cell11.tcPr.find(qn("w:tcBorders"))
check(borders.find(qn("w:tl2br")).get(qn("w:val")) == "single", "diagonal")
check(borders.find(qn("w:top")).get(qn("w:val")) == "nil", "no outside top")
check(borders.find(qn("w:bottom")).get(qn("w:sz")) == "4", "half-point bottom")
check(cell11.tcPr.find(qn("w:vAlign")).get(qn("w:val")) == "center", "vertical centre")
margins = cell11.tcPr.find(qn("w:tcMar"))
check(all(m.get(qn("w:w")) == "0" for m in margins), "zero cell margins")
indent = t._tbl.tblPr.find(qn("w:tblInd"))
check(near(int(indent.get(qn("w:w"))), 567, 1), "row indent")
check(t.rows[0].cells[0].text == "CELL" and t.rows[1].cells[-1].text == "m2", "cell text")
check(t.rows[2].cells[-1].text == "JOINED", "joined row text")
last = t.rows[1]._tr.findall(qn("w:tc"))[1]
check(last.find(qn("w:p")).pPr.find(qn("w:jc")).get(qn("w:val")) == "right", "cell alignment")
sup = last.findall(".//" + qn("w:r"))[1].rPr
check(sup.find(qn("w:vertAlign")).get(qn("w:val")) == "superscript", "cell superscript")
check(sup.find(qn("w:position")).get(qn("w:val")) == "-4", "cell position")
check(paragraphs[-2].text == "after the table", "text after the table")

# Pictures: both anchored behind the text at page positions, embedded as EMF and PNG.
anchors = body.findall(".//{http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing}anchor")
check(len(anchors) == 2, "two anchors")
wp = "{http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing}"
for a in anchors:
    check(a.get("behindDoc") == "1", "behind text")
    check(a.find(wp + "wrapNone") is not None, "no wrapping")
    check(a.find(wp + "positionH").get("relativeFrom") == "page", "page relative")
offsets = sorted(int(a.find(wp + "positionH").find(wp + "posOffset").text) for a in anchors)
check(near(offsets[0], Mm(30), 127) and near(offsets[1], Mm(100), 127), "left offsets %r" % offsets)
extents = sorted(int(a.find(wp + "extent").get("cx")) for a in anchors)
check(near(extents[1], Mm(50), 127), "metafile natural width %r" % extents)
types = sorted(p.content_type for p in d.part.package.parts if p.partname.startswith("/word/media/"))
check(types == ["image/png", "image/x-emf"], "media types %r" % types)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("ok")
