"""Prints what a workbook holds, one fact a line, as openpyxl and the package's own drawing
parts give it: sheets, cell texts with their fonts, row heights other than the sheet's
default, manual page breaks and pictures (anchor cell, offset and size in EMU, media type)."""
import re
import sys
import zipfile

import openpyxl


def pictures(path):
    """Anchors of every sheet's drawing, keyed by sheet part name."""
    found = {}
    with zipfile.ZipFile(path) as package:
        names = package.namelist()
        types = package.read("[Content_Types].xml").decode()
        for sheet in [n for n in names if re.match(r"xl/worksheets/sheet\d+\.xml$", n)]:
            rels_name = sheet.replace("worksheets/", "worksheets/_rels/") + ".rels"
            if rels_name not in names:
                continue
            rels = package.read(rels_name).decode()
            for target in re.findall(r'Target="\.\./drawings/(drawing\d+\.xml)"', rels):
                drawing = package.read("xl/drawings/" + target).decode()
                drels_name = "xl/drawings/_rels/" + target + ".rels"
                drels = package.read(drels_name).decode() if drels_name in names else ""
                media = dict(re.findall(r'Id="(rId\d+)"[^>]*Target="\.\./media/([^"]+)"', drels))
                media.update(
                    {k: v for v, k in re.findall(r'Target="\.\./media/([^"]+)"[^>]*Id="(rId\d+)"', drels)})
                for anchor in re.findall(r"<xdr:oneCellAnchor>.*?</xdr:oneCellAnchor>|"
                                         r"<xdr:twoCellAnchor.*?</xdr:twoCellAnchor>", drawing, re.S):
                    frm = re.search(r"<xdr:from><xdr:col>(\d+)</xdr:col><xdr:colOff>(-?\d+)</xdr:colOff>"
                                    r"<xdr:row>(\d+)</xdr:row><xdr:rowOff>(-?\d+)</xdr:rowOff>", anchor)
                    ext = re.search(r'<xdr:ext cx="(\d+)" cy="(\d+)"', anchor) or \
                        re.search(r'<a:ext cx="(\d+)" cy="(\d+)"', anchor)
                    embed = re.search(r'r:embed="(rId\d+)"', anchor)
                    file = media.get(embed.group(1), "?") if embed else "?"
                    extension = file.rsplit(".", 1)[-1]
                    match = re.search(r'Extension="' + extension + r'" ContentType="([^"]+)"', types)
                    found.setdefault(sheet, []).append(
                        "picture %s %s %s %s %s %s %s" % (
                            frm.group(1), frm.group(3), frm.group(2), frm.group(4),
                            ext.group(1) if ext else "?", ext.group(2) if ext else "?",
                            match.group(1) if match else "?"))
    return found


def main(path):
    book = openpyxl.load_workbook(path)
    drawn = pictures(path)
    for index, sheet in enumerate(book.worksheets, 1):
        print("sheet", sheet.title)
        default = sheet.sheet_format.defaultRowHeight
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    print("cell %s %s|%s %g" % (cell.coordinate, cell.value, cell.font.name,
                                                cell.font.sz or 0))
        for number, dimension in sorted(sheet.row_dimensions.items()):
            if dimension.ht is not None and dimension.ht != default:
                print("height %d %g" % (number, dimension.ht))
        for brk in sheet.row_breaks.brk:
            print("rowbreak", brk.id)
        for brk in sheet.col_breaks.brk:
            print("colbreak", brk.id)
        for line in drawn.get("xl/worksheets/sheet%d.xml" % index, []):
            print(line)


if __name__ == "__main__":
    main(sys.argv[1])
