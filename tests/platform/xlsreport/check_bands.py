"""Every workbook in the folder conforms to the schemas and, printed by LibreOffice, takes two
pages, and each page shows the text of its first and of its last cell. Usage: check_bands.py <folder>"""
import glob
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from libreoffice_render import convert  # noqa: E402
from ooxml_check import check_package  # noqa: E402


def main(folder):
    books = sorted(glob.glob(os.path.join(folder, "*.xlsx")))
    pdfs = convert(books, folder, timeout=300) if books else []
    failures = [p for book in books for p in check_package(book)]
    for book, pdf in zip(books, pdfs):
        text = subprocess.run(["pdftotext", pdf, "-"], check=True, capture_output=True,
                              text=True).stdout
        pages = [p.split() for p in text.split("\f") if p.strip()]
        if pages != [["S", "E"], ["S", "E"]]:
            failures.append(f"{os.path.basename(book)}: pages {pages}")
    for failure in failures:
        print(failure)
    return 1 if failures or not books else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
