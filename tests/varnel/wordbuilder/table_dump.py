#!/usr/bin/python3
"""Prints the body of a converted .docx for the table tests, one line per item, as python-docx
and the document's XML give it.

P|<line spacing pt>|<text>                        a body paragraph ("-" when not set)
T|<indent twips>|<grid column widths twips, ','>  a table, followed by its rows
R|<height twips>|<rule>                           a row, followed by its cells
C|<width twips>|<span>|<top>|<left>|<bottom>|<right>|<tl2br>|<tr2bl>|<margins>|<valign>|<jc>|<text>|<runs>
                                                  borders as val:size ("nil" when none),
                                                  margins as the four widths joined by ','
                                                  runs as text:marks like dump_docx.py
A|<horizontal from>|<left pt>|<vertical from>|<top pt>|<behind>|<width pt>|<height pt>|<target>
                                                  a floating picture, in document order
"""
import sys

import docx
import docx.table
import docx.text.paragraph
from docx.oxml.ns import qn

EMU_PER_POINT = 12700


def attr(element, path, name="w:val", default="-"):
    found = element.find(path) if path else element
    if found is None:
        return default
    return found.get(qn(name), default)


def border(borders, name):
    if borders is None:
        return "-"
    b = borders.find(qn(name))
    if b is None:
        return "-"
    val = b.get(qn("w:val"))
    return val if val in ("nil", "none") else "%s:%s" % (val, b.get(qn("w:sz")))


def runs_of(paragraph):
    runs = []
    for r in paragraph.runs:
        marks = []
        if r.font.subscript:
            marks.append("sub")
        if r.font.superscript:
            marks.append("sup")
        rpr = r._r.rPr
        if rpr is not None and rpr.find(qn("w:position")) is not None:
            marks.append("pos" + rpr.find(qn("w:position")).get(qn("w:val")))
        if marks:
            runs.append(r.text + ":" + ",".join(marks))
    return ";".join(runs)


def cell_line(tc, table):
    cell = docx.table._Cell(tc, table)
    pr = tc.tcPr
    borders = pr.find(qn("w:tcBorders")) if pr is not None else None
    margins = pr.find(qn("w:tcMar")) if pr is not None else None
    mar = "-" if margins is None else ",".join(
        attr(margins, qn("w:" + side), "w:w") for side in ("top", "left", "bottom", "right"))
    paragraph = cell.paragraphs[0]
    jc = attr(paragraph._p, ".//" + qn("w:jc"))
    fields = [attr(pr, qn("w:tcW"), "w:w"), attr(pr, qn("w:gridSpan"), default="1")]
    fields += [border(borders, "w:" + side) for side in ("top", "left", "bottom", "right",
                                                          "tl2br", "tr2bl")]
    fields += [mar, attr(pr, qn("w:vAlign")), jc, cell.text, runs_of(paragraph)]
    return "C|" + "|".join(fields)


def table_lines(element, document):
    table = docx.table.Table(element, document)
    pr = element.tblPr
    grid = ",".join(g.get(qn("w:w")) for g in element.tblGrid.iter(qn("w:gridCol")))
    print("T|%s|%s" % (attr(pr, qn("w:tblInd"), "w:w"), grid))
    for tr in element.tr_lst:
        height = tr.find(qn("w:trPr") + "/" + qn("w:trHeight"))
        print("R|%s|%s" % (attr(height, None), attr(height, None, "w:hRule")))
        for tc in tr.tc_lst:
            print(cell_line(tc, table))


def anchor_line(anchor, document):
    def offset(axis):
        position = anchor.find(qn("wp:position" + axis))
        return (position.get("relativeFrom"),
                int(position.find(qn("wp:posOffset")).text) / EMU_PER_POINT)

    extent = anchor.find(qn("wp:extent"))
    blip = anchor.find(".//" + qn("a:blip"))
    target = document.part.related_parts[blip.get(qn("r:embed"))].partname
    h_from, left = offset("H")
    v_from, top = offset("V")
    print("A|%s|%.2f|%s|%.2f|%s|%.2f|%.2f|%s" % (
        h_from, left, v_from, top, anchor.get("behindDoc"),
        int(extent.get("cx")) / EMU_PER_POINT, int(extent.get("cy")) / EMU_PER_POINT, target))


def main(path):
    document = docx.Document(path)
    body = document.element.body
    for child in body.iterchildren():
        if child.tag == qn("w:p"):
            paragraph = docx.text.paragraph.Paragraph(child, document)
            spacing = paragraph.paragraph_format.line_spacing
            print("P|%s|%s" % ("-" if spacing is None else "%.2f" % spacing.pt, paragraph.text))
        elif child.tag == qn("w:tbl"):
            table_lines(child, document)
    for anchor in body.iter(qn("wp:anchor")):
        anchor_line(anchor, document)


if __name__ == "__main__":
    main(sys.argv[1])
