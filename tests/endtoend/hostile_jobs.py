"""Hostile and hand-made print jobs through the Excel route, each a change of the bundled sample:
bare and repeated records, files cut short, numbers out of range, texts off the grid, narrow
and tall tables, texts that look like formulas, control characters, damaged bytes.

Whatever the job, the run must end with a status it documents and keep its promises: no crash
or sanitizer report, no hang, no temporary file beside the workbook, an earlier workbook left
byte for byte as it was when the run fails, a workbook openpyxl reads when it succeeds, no
formula made from a text, and a warning (status 3) whenever something of the report was left
out.

usage: hostile_jobs.py PROGRAM_DIR SAMPLE_DIR [SCRATCH_DIR]
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

EARLIER = b"an earlier workbook the run must not touch"


def lines(data):
    return data.split(b"\r\n")


def joined(parts):
    return b"\r\n".join(parts)


def replace_lines(data, keyword, change):
    return joined([change(l) if l.startswith(keyword) else l for l in lines(data)])


def cases():
    """(name, change, expected statuses): change(files) edits the job's files in place."""
    def char(change):
        def apply(files):
            files["PRN_CHAR"] = change(files["PRN_CHAR"])
        return apply

    def pict(change):
        def apply(files):
            files["PRN_PICT"] = change(files["PRN_PICT"])
        return apply

    def mode(change):
        def apply(files):
            files["PRN_MODE"] = change(files["PRN_MODE"])
        return apply

    def insert_after_first(keyword, record):
        def change(data):
            out, done = [], False
            for l in lines(data):
                out.append(l)
                if not done and l.startswith(keyword):
                    out.append(record)
                    done = True
            return joined(out)
        return change

    label = lambda text, x=b"200", y=b"74": b"LABEL," + x + b"," + y + b",0,0,\"" + text + b"\""
    ok = {0}
    told = {3}
    failed = {1}
    yield "bare page lines", char(lambda d: re.sub(rb"PAGE,\d+", b"PAGE", d)), ok
    pages_ends = lambda d: [m.end() for m in re.finditer(rb"PAGE,\d+\r\n", d)]
    yield "last page missing", char(lambda d: d[: pages_ends(d)[-2]]), told
    yield "no page at all", char(lambda d: d[: pages_ends(d)[0]]), failed
    yield "cut in half", char(lambda d: d[: len(d) // 2]), failed | told
    for at in (0.1, 0.37, 0.71, 0.93):
        yield "cut at %.2f" % at, char(lambda d, at=at: d[: int(len(d) * at)]), failed | told
    yield "one block number", char(lambda d: re.sub(rb"BLOCK,\d+,", b"BLOCK,1,", d)), ok
    yield "same numbers in pict", pict(lambda d: re.sub(rb"BLOCK,\d+,", b"BLOCK,1,", d)), ok | told
    yield "left of the margin", char(insert_after_first(b"BLOCK", label(b"left", x=b"0"))), told
    yield "line 150", char(insert_after_first(b"BLOCK", label(b"low", y=b"5600"))), told
    yield "above the block", char(insert_after_first(b"BLOCK", label(b"high", y=b"-300"))), told
    yield "cut at column 192", char(insert_after_first(b"BLOCK", label(b"x" * 300))), told
    yield "line zero", char(insert_after_first(b"BLOCK", label(b"zero", y=b"0"))), ok
    for lead in (b"=", b"+", b"-", b"@", b"\t"):
        formula = lead + b"SUM(A1:A2)"
        yield "label " + repr(lead), char(insert_after_first(b"BLOCK", label(formula))), ok
        yield "cell " + repr(lead), char(
            lambda d, f=formula: d.replace(b"\"\xb4\xdd\"", b"\"" + f + b"\"")), ok
    yield "narrow columns", char(lambda d: re.sub(rb"(MATRIX,[^\r]*?,T1),[^\r]*",
                                                  rb"\1,1,2,3,1,2,300", d)), ok
    yield "tall table rows", char(lambda d: re.sub(rb"(MATRIX,\d+,\d+,\d+,[\d.]+),[\d.]+",
                                                   rb"\1,120", d)), ok
    yield "more rows announced", char(lambda d: re.sub(rb"MATRIX,8,", b"MATRIX,9,", d)), failed | told
    yield "fewer rows announced", char(lambda d: re.sub(rb"MATRIX,8,", b"MATRIX,7,", d)), told
    yield "row of @ cells", char(lambda d: re.sub(rb"C,1,0,001111,1,259.3,\"[^\r]*",
                                                  b"C,1,0,001111,1,259.3,\"@\"", d, 1)), failed
    yield "empty table", char(lambda d: re.sub(rb"MATRIX,8,6,", b"MATRIX,0,0,", d)), told
    yield "empty pict", pict(lambda d: b""), told
    yield "font with a control character", mode(lambda d: d.replace(b"\"", b"\"\x01", 1)), ok
    yield "more pages announced", mode(lambda d: re.sub(rb",5,10,", b",9,10,", d)), told
    yield "too many pages", mode(lambda d: re.sub(rb",5,10,", b",40000,10,", d)), failed
    yield "repeated raised text", char(lambda d: re.sub(rb"(UMOJI[^\r]*\r\n)", rb"\1\1", d)), ok
    yield "upside-down block", char(lambda d: d.replace(b"BLOCK,3,200,798,1900,1315",
                                                       b"BLOCK,3,200,1315,1900,798")), ok | told
    yield "tall block", char(lambda d: d.replace(b"BLOCK,3,200,798,1900,1315",
                                                b"BLOCK,3,200,798,1900,99999")), ok | told
    yield "not a number", char(lambda d: d.replace(b"LABEL,200,", b"LABEL,abc,", 1)), failed
    yield "lone lead byte", char(insert_after_first(b"BLOCK", label(b"ab\x82"))), ok | told
    yield "control characters", char(insert_after_first(b"BLOCK", label(b"a\x01b\x1fc\x7f"))), ok
    yield "keyword alone", char(insert_after_first(b"BLOCK", b"LABEL")), failed
    yield "unknown records", char(insert_after_first(b"BLOCK", b"NOTE,1,2,\"x\"")), told
    yield "huge block numbers", char(lambda d: d.replace(b"BLOCK,2,", b"BLOCK,2147483647,")), ok
    rng = random.Random(17)
    for i in range(12):
        def flip(d, seed=rng.random()):
            r = random.Random(seed)
            data = bytearray(d)
            for _ in range(8):
                data[r.randrange(len(data))] = r.randrange(256)
            return bytes(data)
        yield "flipped bytes %d" % i, char(flip), ok | told | failed
    for i in range(6):
        def drop(d, seed=rng.random()):
            r = random.Random(seed)
            ls = lines(d)
            del ls[r.randrange(1, len(ls))]
            return joined(ls)
        yield "dropped line %d" % i, char(drop), ok | told | failed
        def repeat(d, seed=rng.random()):
            r = random.Random(seed)
            ls = lines(d)
            k = r.randrange(1, len(ls))
            ls.insert(k, ls[k])
            return joined(ls)
        yield "repeated line %d" % i, char(repeat), ok | told | failed


def check_workbook(path):
    """Problems of a workbook that claims success: unreadable, or a formula made of a text."""
    try:
        book = openpyxl.load_workbook(path)
    except Exception as error:  # any refusal is a broken workbook
        return ["openpyxl cannot read it: %s" % error]
    problems = []
    for sheet in book.worksheets:
        for row in sheet.iter_rows():
            for cell in row:
                if cell.data_type == "f":
                    problems.append("formula in %s!%s: %r" % (sheet.title, cell.coordinate,
                                                              cell.value))
    with zipfile.ZipFile(path) as package:
        for name in package.namelist():
            if name.endswith(".xml") and re.search(rb"&#(x0*[0-8bcef]|x0*1[0-9a-f]|0*[0-8]|"
                                                   rb"0*1[124-9]|0*2[0-9]|0*3[01]);",
                                                   package.read(name), re.I):
                problems.append("%s holds a character XML 1.0 forbids" % name)
    return problems


def run_case(programs, sample, scratch, name, change, expected):
    job = os.path.join(scratch, "job")
    shutil.rmtree(job, ignore_errors=True)
    shutil.copytree(sample, job)
    os.makedirs(os.path.join(job, "META_FILE"), exist_ok=True)
    files = {}
    for f in ("PRN_MODE", "PRN_CHAR", "PRN_PICT"):
        with open(os.path.join(job, f), "rb") as stream:
            files[f] = stream.read()
    # The templates are made for 12, 11, 10 and 9 points; the sample is printed at 10.5.
    files["PRN_MODE"] = b"100" + files["PRN_MODE"][3:]
    change(files)
    for f, data in files.items():
        with open(os.path.join(job, f), "wb") as stream:
            stream.write(data)
    book = os.path.join(job, "Book1.xlsx")
    with open(book, "wb") as stream:
        stream.write(EARLIER)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    command = [os.path.join(programs, "varnel"), "--console", "--excel", "--job-dir", job,
               "--pages", "all", "--sheet-pages", "2", "--output", book]
    try:
        done = subprocess.run(command, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    except subprocess.TimeoutExpired:
        return ["hangs"]
    errors = done.stderr.decode("utf-8", "replace")
    # What is left when the progress lines are taken out: messages and warnings.
    told = [l for l in errors.splitlines() if l.strip() and not re.search(r"\[[#.]+\]$", l)]
    problems = []
    if re.search(r"AddressSanitizer|LeakSanitizer|runtime error:", errors):
        problems.append("sanitizer report:\n" + errors[-3000:])
    if done.returncode not in expected:
        problems.append("status %d, expected %s; stderr:\n%s" % (
            done.returncode, sorted(expected), "\n".join(told)[-2000:]))
    leftovers = [f for f in os.listdir(job) if f.endswith(".tmp") or f.startswith(".Book1")]
    if leftovers:
        problems.append("left behind: %s" % leftovers)
    with open(book, "rb") as stream:
        written = stream.read()
    if done.returncode in (0, 3):
        if written == EARLIER:
            problems.append("status %d but the workbook was not written" % done.returncode)
        else:
            problems += check_workbook(book)
    elif written != EARLIER:
        problems.append("status %d changed the earlier workbook" % done.returncode)
    if done.returncode == 0 and told:
        problems.append("status 0 with words on stderr:\n" + "\n".join(told)[-1000:])
    return problems


def main(programs, sample, scratch=None):
    scratch = scratch or tempfile.mkdtemp(prefix="hostile_jobs.")
    failures = 0
    count = 0
    for name, change, expected in cases():
        count += 1
        problems = run_case(programs, sample, scratch, name, change, expected)
        if problems:
            failures += 1
            print("FAIL %s:\n  %s" % (name, "\n  ".join(problems)))
    print("%d of %d hostile jobs kept every promise" % (count - failures, count))
    shutil.rmtree(scratch, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
