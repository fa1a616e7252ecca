#!/usr/bin/env python3
"""Refuses an #include that crosses the folder rules of the architecture.

Each folder may include its own headers, base/, and the folders listed for it below; nothing
else of ours. The programs' entry points, and the files that wire a program's stages to its
driver, tie the layers together and may include any folder of their own program and the shared
layers below it. Tests, benchmarks and fuzzers may include
anything. Prints one line per offending include and exits 1 when there is any.
"""
import pathlib
import re
import sys

RULES = {
    "base": [],
    "jobfiles": [],
    # DrawBitmap copies bitmaps onto canvases, so the primitives sit over the raster layer too.
    "graphics": ["jobfiles", "platform/emf", "platform/raster"],
    "platform/emf": [],
    "platform/raster": [],
    "platform/ooxml": [],
    "platform/word": ["platform/ooxml"],
    "platform/xlsreport": ["platform/ooxml"],
    "platform/excel": ["platform/ooxml"],
    "platform/ui": [],
    "platform/os": [],
    "templates": [],
    "varnel/frontend": ["jobfiles", "platform/ui", "platform/os"],
    "varnel/wordbuilder": ["jobfiles", "graphics", "platform/word", "platform/raster"],
    "sorbel/driver": ["jobfiles", "graphics", "platform/ui", "platform/os"],
    "sorbel/workbook": ["jobfiles", "platform/xlsreport", "platform/excel"],
}
SHARED_LAYERS = ["jobfiles", "graphics", "platform"]
ENTRY_POINTS = {
    "varnel/main.cpp": ["varnel"] + SHARED_LAYERS,
    "sorbel/main.cpp": ["sorbel"] + SHARED_LAYERS,
    "sorbel/stage_wiring.h": ["sorbel"] + SHARED_LAYERS,
    "sorbel/stage_wiring.cpp": ["sorbel"] + SHARED_LAYERS,
}
FREE = ("tests/", "bench/", "fuzz/", "examples/", "build")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def owner(relative):
    """The ruled folder a file or header path belongs to: the longest matching folder."""
    best = None
    for folder in RULES:
        if relative == folder or relative.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def allowed(source, target):
    if target.startswith("base/"):
        return True
    for entry, roots in ENTRY_POINTS.items():
        if source == entry:
            return any(target.startswith(root + "/") for root in roots)
    mine = owner(source)
    theirs = owner(target)
    if mine is None or theirs is None:
        return True
    return theirs == mine or theirs in RULES[mine]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".hpp", ".cpp", ".cc") or not path.is_file():
            continue
        source = path.relative_to(root).as_posix()
        if source.startswith(FREE) or "/build" in source:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if "/" not in target or (root / target).exists() is False:
                continue  # a header beside the source, or a system header in quotes
            if not allowed(source, target):
                line = text.count("\n", 0, match.start()) + 1
                faults.append(f"{source}:{line}: may not include {target}")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) across the folder rules")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
