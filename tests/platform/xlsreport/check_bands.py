"""Every workbook in the folder, printed by LibreOffice, takes two pages, and each page shows
the text of its first and of its last cell. Usage: check_bands.py <folder>"""
import glob
import os
import re
import subprocess
import sys


def main(folder):
    env = dict(os.environ)
    env["FONTCONFIG_FILE"] = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                          "data", "fontconfig", "fonts.conf")
    books = sorted(glob.glob(os.path.join(folder, "*.xlsx")))
    subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(folder, "profile"),
                    "--headless", "--convert-to", "pdf", "--outdir", folder] + books, check=True,
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    failures = []
    for book in books:
        pdf = os.path.splitext(book)[0] + ".pdf"
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
