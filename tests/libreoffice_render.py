"""LibreOffice and poppler as the render checks use them: a conversion in a profile of its own,
with the fonts the tests pin, and what pdftotext and pdftoppm make of the result. The checks
import it from the tests folder."""
import os
import re
import subprocess
import xml.etree.ElementTree as ET

FONTS_CONF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "fontconfig",
                          "fonts.conf")


def convert(files, out_dir, to="pdf", pinned_fonts=True, timeout=180, fonts_conf=FONTS_CONF):
    """Converts the documents into out_dir; returns the paths of what LibreOffice wrote. The
    fonts are pinned by fonts_conf, or left to the system's configuration."""
    env = dict(os.environ)
    if pinned_fonts:
        env["FONTCONFIG_FILE"] = fonts_conf
    profile = "file://" + os.path.abspath(os.path.join(out_dir, "profile"))
    subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to",
                    to, "--outdir", out_dir] + list(files), check=True, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)
    return [os.path.join(out_dir, os.path.splitext(os.path.basename(f))[0] + "." + to)
            for f in files]


def word_pages(pdf, out_dir):
    """Per page, its pdftotext -bbox word elements (text, xMin, yMin, xMax, yMax in points)."""
    html = os.path.join(out_dir, "words.html")
    subprocess.run(["pdftotext", "-bbox", pdf, html], check=True)
    root = ET.fromstring(re.sub(r'xmlns="[^"]*"', "", open(html, encoding="utf-8").read()))
    return [list(page.iter("word")) for page in root.iter("page")]


def page_pixels(pdf, out_dir, resolution, page=1):
    """One page as (width, height, RGB bytes), through a binary PPM."""
    stem = os.path.join(out_dir, "page%d-pixels" % page)
    subprocess.run(["pdftoppm", "-r", str(resolution), "-f", str(page), "-l", str(page),
                    "-singlefile", pdf, stem], check=True)
    data = open(stem + ".ppm", "rb").read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    return int(header.group(1)), int(header.group(2)), data[header.end():]
