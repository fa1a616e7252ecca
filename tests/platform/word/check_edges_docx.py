"""Reads the awkward-cases document back with python-docx.

Usage: check_edges_docx.py EDGES.docx   (exit status 0 when every check holds)
"""
import os
import sys

import docx
from docx.oxml.ns import qn

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from ooxml_check import check_package  # noqa: E402

failures = check_package(sys.argv[1])


def check(condition, what):
    if not condition:
        failures.append(what)


d = docx.Document(sys.argv[1])
paragraphs = d.paragraphs
first = paragraphs[0]._p
texts = "".join(t.text for t in first.iter(qn("w:t")))
check(texts == "A\ufffdB\ufffd]]>tabnext", "text %r" % texts)
check(len(first.findall(".//" + qn("w:tab"))) == 1, "tab")
line_breaks = [b for b in first.iter(qn("w:br")) if b.get(qn("w:type")) is None]
check(len(line_breaks) == 1, "line break")
text_run = next(r for r in first.iter(qn("w:r")) if r.find(qn("w:t")) is not None)
fonts = text_run.rPr.find(qn("w:rFonts"))
check(fonts.get(qn("w:ascii")) == "Q\"&<F>'", "font name %r" % fonts.get(qn("w:ascii")))
check(fonts.get(qn("w:eastAsia")) is None, "a Latin font name leaves the Japanese font")

# A page break inside a paragraph stays a break in that paragraph.
second = paragraphs[1]._p
check([b.get(qn("w:type")) for b in second.iter(qn("w:br"))] == ["page"], "page break")
check(paragraphs[1].text.startswith("before"), "text before the break")

check(paragraphs[2].style.name == "Heading 3", "heading 3 applied")
h3 = d.styles["Heading 3"].element
check(h3.find(qn("w:autoRedefine")) is not None, "automatically update")
ind = h3.find(qn("w:pPr")).find(qn("w:ind"))
check(ind is not None and ind.get(qn("w:leftChars")) == "0" and ind.get(qn("w:left")) == "0",
      "heading 3 indent reset")

types = sorted(p.content_type for p in d.part.package.parts if p.partname.startswith("/word/media/"))
check(types == ["image/bmp", "image/jpeg", "image/png"], "media %r" % types)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("ok")
