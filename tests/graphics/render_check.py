#!/usr/bin/python3
"""Renders a metafile with LibreOffice, a reader nobody here wrote, and checks its text.

usage: render_check.py FILE.emf WIDTH_MM HEIGHT_MM OUTDIR TEXT...

LibreOffice Writer has no direct .emf import here, so the picture is placed in a flat
OpenDocument text and the document converted to PDF; the PDF's text must contain every TEXT.
A PNG of the page is left in OUTDIR for a look by eye. Exit 0 when all is well.
"""
import base64
import os
import subprocess
import sys

emf, width, height, outdir, *texts = sys.argv[1:]
os.makedirs(outdir, exist_ok=True)
name = os.path.splitext(os.path.basename(emf))[0]
fodt = os.path.join(outdir, name + ".fodt")
with open(emf, "rb") as f:
    data = base64.b64encode(f.read()).decode()
with open(fodt, "w", encoding="utf-8") as f:
    f.write(f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text><text:p>
<draw:frame svg:width="{width}mm" svg:height="{height}mm" text:anchor-type="as-char">
<draw:image><office:binary-data>{data}</office:binary-data></draw:image></draw:frame>
</text:p></office:text></office:body></office:document>
""")
profile = "file://" + os.path.abspath(os.path.join(outdir, "lo-profile"))
subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to",
                "pdf", "--outdir", outdir, fodt], check=True, capture_output=True, timeout=180)
pdf = os.path.join(outdir, name + ".pdf")
subprocess.run(["pdftoppm", "-png", "-r", "150", "-singlefile", pdf,
                os.path.join(outdir, name)], check=True)
found = subprocess.run(["pdftotext", pdf, "-"], check=True, capture_output=True,
                       text=True).stdout
compact = "".join(found.split())
missing = [t for t in texts if t not in compact]
if missing:
    print("text not found in the rendered page:", missing, "page text:", found)
    sys.exit(1)
