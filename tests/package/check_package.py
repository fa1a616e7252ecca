#!/usr/bin/python3
"""The Debian package as a user gets it: made by CPack from a finished build folder, passed by
lintian, unpacked into a scratch root, and run from there.

usage: check_package.py BUILD_DIR SOURCE_DIR

The unpacked /usr/bin/varnel converts the bundled sample both ways, finding sorbel and the
templates through its link; both programs tell the package's version; the manual pages format
without a warning and name every option the programs take; and a converted text report renders
in LibreOffice with its texts in place under a fontconfig that has the system's font folders
and nothing but the package's aliases. Prints what is wrong and exits 1 when anything is.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "varnel",
                                "wordbuilder"))
import check_text_positions  # noqa: E402

PROGRAM_DIR = "usr/lib/varnel"
FONT_ALIASES = "30-varnel-ms-japanese.conf"
TEMPLATES = ["TMP-%sP%s.xlsx" % (size, wide) for size in ("12", "11", "10", "09")
             for wide in ("", "W")]
# Each name a job may give, and the IPA family that must stand in for it.
ALIASES = {
    "ＭＳ 明朝": "IPAMincho", "MS Mincho": "IPAMincho",
    "ＭＳ Ｐ明朝": "IPAPMincho", "MS PMincho": "IPAPMincho",
    "ＭＳ ゴシック": "IPAGothic", "MS Gothic": "IPAGothic",
    "ＭＳ Ｐゴシック": "IPAPGothic", "MS PGothic": "IPAPGothic",
    "MS UI Gothic": "IPAPGothic",
}
# What the programs load, by the Debian package that holds it.
NEEDED_PACKAGES = ["libqt6widgets6", "qt6-qpa-plugins", "libzip4", "libpugixml1v5", "zlib1g",
                   "fonts-ipafont-mincho", "fonts-ipafont-gothic", "fontconfig"]
# On a console, as a user without a display runs the programs.
CONSOLE = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}

problems = []


def problem(text):
    problems.append(text)
    print(text)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def make_package(build_dir, out_dir):
    """The .deb CPack makes of the build, without building anything again."""
    made = run(["cpack", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-G", "DEB",
                "-B", out_dir])
    debs = glob.glob(os.path.join(out_dir, "*.deb"))
    if made.returncode != 0 or len(debs) != 1:
        sys.exit("cpack made no package:\n" + made.stdout + made.stderr)
    return debs[0]


def check_lintian(deb):
    linted = run(["lintian", "--fail-on", "error", deb])
    if linted.returncode != 0:
        problem("lintian:\n" + linted.stdout + linted.stderr)


def check_contents(deb, root):
    depends = run(["dpkg-deb", "-f", deb, "Depends"]).stdout
    for package in NEEDED_PACKAGES:
        if not re.search(r"(^|, )%s( |,|$)" % re.escape(package), depends.strip()):
            problem("Depends lacks %s: %s" % (package, depends))
    for program in ("varnel", "sorbel"):
        link = os.path.join(root, "usr/bin", program)
        target = os.readlink(link) if os.path.islink(link) else ""
        if target.startswith("/") or os.path.realpath(link) != os.path.join(
                os.path.realpath(root), PROGRAM_DIR, program):
            problem("usr/bin/%s is not a relative link to the program folder: %r" %
                    (program, target))
    missing = [t for t in TEMPLATES if not os.path.isfile(os.path.join(root, PROGRAM_DIR, t))]
    if missing:
        problem("templates missing from the program folder: %s" % missing)
    enabled = os.path.join(root, "etc/fonts/conf.d", FONT_ALIASES)
    wanted = "/usr/share/fontconfig/conf.avail/" + FONT_ALIASES
    if not os.path.islink(enabled) or os.readlink(enabled) != wanted:
        problem("/etc/fonts/conf.d does not switch on %s" % wanted)


def check_versions(deb, root):
    """The programs, their manual pages and the changelog's newest entry tell the package's
    version."""
    version = run(["dpkg-deb", "-f", deb, "Version"]).stdout.strip()
    for program in ("varnel", "sorbel"):
        told = run([os.path.join(root, "usr/bin", program), "--version"])
        if told.returncode != 0 or told.stdout.strip() != "%s %s" % (program, version):
            problem("%s --version: %r, status %d; the package is %s" %
                    (program, told.stdout, told.returncode, version))
        page = run(["zcat", os.path.join(root, "usr/share/man/man1", program + ".1.gz")]).stdout
        if '"%s %s"' % (program, version) not in page.split("\n", 1)[0]:
            problem("man %s does not name version %s" % (program, version))
    changelog = run(["zcat", os.path.join(root, "usr/share/doc/varnel/changelog.gz")]).stdout
    if not changelog.startswith("varnel (%s) " % version):
        problem("the changelog's newest entry is not %s: %s" %
                (version, changelog.split("\n", 1)[0]))


def copy_job(source, job):
    """A job as a user copies it from the package's examples, which leave out the empty
    META_FILE folder that the programs make."""
    shutil.copytree(source, job)
    shutil.rmtree(os.path.join(job, "META_FILE"), ignore_errors=True)


def convert(root, job, arguments):
    """Runs the unpacked varnel from another folder than its own; returns its exit status."""
    done = run([os.path.join(root, "usr/bin/varnel"), "--console", "--job-dir", job] + arguments,
               cwd=os.path.dirname(job), env=CONSOLE)
    if done.returncode != 0:
        print(done.stderr)
    return done.returncode


def holds_part(package, part):
    try:
        with zipfile.ZipFile(package) as z:
            return part in z.namelist()
    except (OSError, zipfile.BadZipFile):
        return False


def check_both_routes(root, source_dir, scratch):
    sample = os.path.join(source_dir, "examples", "sample")
    word_job = os.path.join(scratch, "word")
    copy_job(sample, word_job)
    document = os.path.join(word_job, "文書.docx")
    status = convert(root, word_job, ["--word", "--output", document])
    if status != 0 or not holds_part(document, "word/document.xml"):
        problem("Word route: status %d, document %s" % (status, os.path.exists(document)))

    excel_job = os.path.join(scratch, "excel")
    copy_job(sample, excel_job)
    # The workbook templates are made for 12, 11, 10 and 9 points; the sample is printed at 10.5.
    mode = os.path.join(excel_job, "PRN_MODE")
    with open(mode, "rb") as f:
        settings = f.read()
    with open(mode, "wb") as f:
        f.write(re.sub(rb"^105,", b"100,", settings))
    workbook = os.path.join(excel_job, "Book1.xlsx")
    status = convert(root, excel_job, ["--excel", "--output", workbook, "--sheet-pages", "50",
                                       "--cell-width", "1", "--lines", "solid"])
    # UDSTRING.DAT is sorbel's, written between the workbook build and its post-processing.
    if status != 0 or not holds_part(workbook, "xl/workbook.xml") or \
            not os.path.exists(os.path.join(excel_job, "UDSTRING.DAT")):
        problem("Excel route: status %d, workbook %s" % (status, os.path.exists(workbook)))


def check_manual_pages(root):
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8")
    for program in ("varnel", "sorbel"):
        page = os.path.join(root, "usr/share/man/man1", program + ".1.gz")
        shown = run(["man", "--warnings", "-E", "UTF-8", "-l", page], env=env)
        if shown.returncode != 0 or shown.stderr or not shown.stdout:
            problem("man %s: status %d\n%s" % (program, shown.returncode, shown.stderr))
        headings = set(re.findall(r"^([A-Z][A-Z ]+)$", shown.stdout, re.M))
        for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES",
                        "ENVIRONMENT", "EXAMPLES"):
            if heading not in headings:
                problem("man %s has no %s section" % (program, heading))
        source = run(["zcat", page]).stdout.replace("\\-", "-")
        options = set(re.findall(r"--[a-z][a-z-]*",
                                 run([os.path.join(root, "usr/bin", program), "--help"]).stdout))
        undocumented = sorted(o for o in options if not re.search(re.escape(o) + r"\b", source))
        if undocumented:
            problem("man %s does not describe %s" % (program, " ".join(undocumented)))


def alias_only_fontconfig(root, scratch):
    """A fontconfig of the system's font folders and caches, and the package's aliases."""
    conf = ET.Element("fontconfig")
    system = "/etc/fonts/fonts.conf"
    kept = [e for e in ET.parse(system).getroot() if e.tag in ("dir", "cachedir")] \
        if os.path.exists(system) else []
    if not any(e.tag == "dir" for e in kept):
        ET.SubElement(conf, "dir").text = "/usr/share/fonts"
    conf.extend(kept)
    ET.SubElement(conf, "include").text = os.path.join(
        root, "usr/share/fontconfig/conf.avail", FONT_ALIASES)
    path = os.path.join(scratch, "fonts.conf")
    ET.ElementTree(conf).write(path, encoding="utf-8", xml_declaration=True)
    return path


def check_rendering(root, source_dir, scratch):
    fonts_conf = alias_only_fontconfig(root, scratch)
    for name, family in ALIASES.items():
        found = run(["fc-match", "-f", "%{family[0]}", name],
                    env=dict(os.environ, FONTCONFIG_FILE=fonts_conf)).stdout
        if found != family:
            problem("fontconfig gives %s for %s, not %s" % (found, name, family))
    job = os.path.join(scratch, "text_report")
    copy_job(os.path.join(source_dir, "tests", "package", "data", "text_report"), job)
    document = os.path.join(job, "report.docx")
    if convert(root, job, ["--word", "--output", document]) != 0:
        return problem("the text report was not converted")
    with open(os.path.join(job, "PRN_MODE"), "rb") as f:
        pages = f.read().split(b",")[6].decode()
    if check_text_positions.main(job, document, "1.0", pages, "0.97", fonts_conf) != 0:
        problem("fewer than 97 % of the text report's texts within 1 mm of their place")


def main(build_dir, source_dir):
    with tempfile.TemporaryDirectory() as scratch:
        deb = make_package(build_dir, os.path.join(scratch, "cpack"))
        check_lintian(deb)
        root = os.path.join(scratch, "root")
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        check_contents(deb, root)
        check_versions(deb, root)
        check_both_routes(root, source_dir, scratch)
        check_manual_pages(root)
        check_rendering(root, source_dir, scratch)
    print("%s: %d problems" % (os.path.basename(deb), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
