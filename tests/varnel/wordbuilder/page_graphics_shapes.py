#!/usr/bin/python3
"""Prints the floating pictures of a .docx, read from word/document.xml, one line each in
document order:

A|<page>|<behindDoc>|<wrap>|<relativeFrom H>:<left mm>|<relativeFrom V>:<top mm>|<width mm>x<height mm>|<media>|<relativeHeight>

page: 1-based, counted by the page breaks met before the picture's run; wrap: the wp:wrap*
element's name less "wrap"; media: "emf" or "png WxH" (the PNG's pixel size) of the embedded
picture. Lengths are rounded to 0.001 mm.
"""
import posixpath
import struct
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = {
    "w": "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
    "wp": "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
}
REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def q(name):
    prefix, local = name.split(":")
    return "{%s}%s" % (NS[prefix], local)


def mm(emu):
    return "%.3f" % (int(emu) / 36000.0)


def media_kind(package, target):
    data = package.read(posixpath.normpath(posixpath.join("word", target)))
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height = struct.unpack(">II", data[16:24])
        return "png %dx%d" % (width, height)
    if data[40:44] == b" EMF":
        return "emf"
    return "other"


def main(path):
    package = zipfile.ZipFile(path)
    rels = ET.fromstring(package.read("word/_rels/document.xml.rels"))
    targets = {r.get("Id"): r.get("Target") for r in rels.iter(REL + "Relationship")}
    body = ET.fromstring(package.read("word/document.xml")).find(q("w:body"))
    page = 1
    for paragraph in body.iter(q("w:p")):
        ppr = paragraph.find(q("w:pPr"))
        if ppr is not None and ppr.find(q("w:pageBreakBefore")) is not None:
            page += 1
        for run in paragraph.iter(q("w:r")):
            for anchor in run.iter(q("wp:anchor")):
                h = anchor.find(q("wp:positionH"))
                v = anchor.find(q("wp:positionV"))
                extent = anchor.find(q("wp:extent"))
                wrap = next(c.tag.split("}")[1][4:] for c in anchor if c.tag.split("}")[1].startswith("wrap"))
                blip = anchor.find(".//" + q("a:blip"))
                print("A|%d|%s|%s|%s:%s|%s:%s|%sx%s|%s|%s" % (
                    page, anchor.get("behindDoc"), wrap,
                    h.get("relativeFrom"), mm(h.find(q("wp:posOffset")).text),
                    v.get("relativeFrom"), mm(v.find(q("wp:posOffset")).text),
                    mm(extent.get("cx")), mm(extent.get("cy")),
                    media_kind(package, targets[blip.get(q("r:embed"))]),
                    anchor.get("relativeHeight")))
            for br in run.iter(q("w:br")):
                if br.get(q("w:type")) == "page":
                    page += 1


if __name__ == "__main__":
    main(sys.argv[1])
