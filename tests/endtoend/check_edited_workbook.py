"""The workbook built on the template as a user edits it (make_templates --edited), as outside
readers see it: the schemas and package rules, openpyxl for the names, header and properties,
the package itself for the header picture, LibreOffice for the printed pages.

Usage: check_edited_workbook.py <workbook.xlsx> <logo.png> <scratch folder> <sheet name>...
Prints what is wrong and ends with status 1, or ends with status 0."""
import datetime
import os
import posixpath
import sys
import zipfile

import openpyxl
from lxml import etree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from libreoffice_render import convert, word_pages  # noqa: E402
from ooxml_check import check_package  # noqa: E402

failures = []


def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r}, expected {want!r}")


def check_names_and_properties(book, sheets):
    wb = openpyxl.load_workbook(book)
    expect("sheets", wb.sheetnames, sheets)
    for ws in wb.worksheets:
        expect(f"{ws.title} title rows", ws.print_title_rows, "$1:$2")
        expect(f"{ws.title} print area", ws.print_area, ["$A:$CZ"])
        expect(f"{ws.title} header", (ws.oddHeader.left.text, ws.oddHeader.center.text),
               ("&G", "月次報告"))
    p = wb.properties
    expect("properties", (p.title, p.subject, p.creator, p.keywords, p.description, p.category),
           ("月次報告 <社外秘> & 控え", "売上", "経理部", "月次, 売上", "「帳票」の雛形", "帳票"))
    now = datetime.datetime.utcnow()
    for what, when in (("created", p.created), ("modified", p.modified)):
        if not (when and abs((now - when).total_seconds()) < 600):
            failures.append(f"{what} {when} is not the time of the run ({now})")
    app = etree.fromstring(zipfile.ZipFile(book).read("docProps/app.xml"))
    expect("application", app.findtext(
        "{http://schemas.openxmlformats.org/officeDocument/2006/extended-properties}Application"),
        "Sorbel")


def check_header_pictures(book, logo):
    """Each sheet's header drawing shows the logo, which the package holds once. LibreOffice
    does not draw the header pictures of an .xlsx (not even libxlsxwriter's own), so the
    package is where the logo is looked for."""
    z = zipfile.ZipFile(book)
    copies = [n for n in z.namelist() if n.startswith("xl/media/") and z.read(n) == logo]
    expect("copies of the logo", len(copies), 1)
    r_ns = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
    rel_ns = "{http://schemas.openxmlformats.org/package/2006/relationships}"

    def target(part, rel_id):
        folder, name = posixpath.split(part)
        rels = etree.fromstring(z.read(posixpath.join(folder, "_rels", name + ".rels")))
        for r in rels.iter(rel_ns + "Relationship"):
            if r.get("Id") == rel_id:
                return posixpath.normpath(posixpath.join(folder, r.get("Target")))
        return None

    workbook = etree.fromstring(z.read("xl/workbook.xml"))
    for sheet in workbook.iter("{http://schemas.openxmlformats.org/spreadsheetml/2006/main}sheet"):
        part = target("xl/workbook.xml", sheet.get(r_ns + "id"))
        root = etree.fromstring(z.read(part))
        hf = root.find("{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
                       "legacyDrawingHF")
        if hf is None:
            failures.append(f"{sheet.get('name')}: no header picture")
            continue
        vml_part = target(part, hf.get(r_ns + "id"))
        vml = etree.fromstring(z.read(vml_part))
        shown = [target(vml_part, d.get("{urn:schemas-microsoft-com:office:office}relid"))
                 for d in vml.iter("{urn:schemas-microsoft-com:vml}imagedata")]
        expect(f"{sheet.get('name')} header pictures", shown, copies)


def check_printed_pages(book, scratch):
    """Every printed page starts with its sheet's two title rows: the second page of a sheet
    repeats the first lines of the sheet's first page, where they stand on the first."""
    pdf = convert([book], scratch)[0]
    pages = word_pages(pdf, scratch)
    if len(pages) < 2:
        failures.append(f"{len(pages)} printed pages")
        return

    def placed(page):
        return [(w.text, float(w.get("yMin"))) for w in page]

    for n, page in enumerate(pages, 1):
        if "月次報告" not in [text for text, _ in placed(page)]:
            failures.append(f"page {n} has no header text")
    header = max((y for text, y in placed(pages[0]) if text == "月次報告"), default=0.0)
    lines = sorted({round(y) for _, y in placed(pages[0]) if y > header + 5})
    titles = [(text, y) for text, y in placed(pages[0]) if y > header + 5 and round(y) <= lines[1]]
    on_second = placed(pages[1])
    missing = [t for t in titles
               if not any(text == t[0] and abs(y - t[1]) < 2 for text, y in on_second)]
    expect("title rows missing from page 2", missing, [])


def main(book, logo, scratch, sheets):
    failures.extend(check_package(book))
    check_names_and_properties(book, sheets)
    check_header_pictures(book, open(logo, "rb").read())
    check_printed_pages(book, scratch)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]))
