"""Where LibreOffice puts the words of a .docx: the render helper of the page checks."""
import os
import re
import subprocess
import xml.etree.ElementTree as ET


def rendered_pages(docx, out_dir):
    """Per page, (word, left x, bottom y) in points, after a LibreOffice conversion to PDF."""
    env = dict(os.environ)
    env["FONTCONFIG_FILE"] = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                          "data", "fontconfig", "fonts.conf")
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
