"""Where LibreOffice puts the words of a .docx: the render helper of the page checks."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from libreoffice_render import FONTS_CONF, convert, word_pages  # noqa: E402


def rendered_pages(docx, out_dir, fonts_conf=FONTS_CONF):
    """Per page, (word, left x, bottom y) in points, after a LibreOffice conversion to PDF."""
    pdf = convert([docx], out_dir, fonts_conf=fonts_conf)[0]
    return [[(w.text or "", float(w.get("xMin")), float(w.get("yMax"))) for w in page]
            for page in word_pages(pdf, out_dir)]
