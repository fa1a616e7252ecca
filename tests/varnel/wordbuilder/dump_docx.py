#!/usr/bin/python3
"""Prints a .docx's body as python-docx reads it, one line per element, for the builder tests.

P|<style>|<line spacing pt or ->|<rule>|<text>|<runs>   runs: text:sub/sup/pos, only formatted
B                                                      a page break (or a paragraph starting a page)
T|<rows>x<cols>|<cell texts by row, cells joined by '/'> a table
S|<count>                                              floating pictures in the document
M|<left>|<top>|<right>|<bottom>                        section margins in points
"""
import sys

import docx
import docx.table
import docx.text.paragraph
from docx.oxml.ns import qn


def paragraph_line(p):
    style = p.style.name if p.style is not None else "-"
    fmt = p.paragraph_format
    spacing = "-" if fmt.line_spacing is None else "%.2f" % (fmt.line_spacing.pt if hasattr(fmt.line_spacing, "pt") else fmt.line_spacing)
    rule = "-" if fmt.line_spacing_rule is None else str(fmt.line_spacing_rule).split(".")[-1].split(" ")[0]
    runs = []
    for r in p.runs:
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
    return "P|%s|%s|%s|%s|%s" % (style, spacing, rule, p.text.replace("\n", ""), ";".join(runs))


def main(path):
    document = docx.Document(path)
    body = document.element.body
    for child in body.iterchildren():
        if child.tag == qn("w:p"):
            p = docx.text.paragraph.Paragraph(child, document)
            if p.paragraph_format.page_break_before:
                print("B")
            for br in child.iter(qn("w:br")):
                if br.get(qn("w:type")) == "page":
                    print("B")
            print(paragraph_line(p))
        elif child.tag == qn("w:tbl"):
            t = docx.table.Table(child, document)
            rows = ["/".join(docx.table._Cell(tc, t).text for tc in row._tr.tc_lst) for row in t.rows]
            print("T|%dx%d|%s" % (len(t.rows), len(t.columns), "//".join(rows)))
    anchors = body.findall(".//" + qn("wp:anchor"))
    print("S|%d" % len(anchors))
    s = document.sections[0]
    print("M|%.1f|%.1f|%.1f|%.1f" % (s.left_margin.pt, s.top_margin.pt, s.right_margin.pt, s.bottom_margin.pt))


if __name__ == "__main__":
    main(sys.argv[1])
