#!/usr/bin/python3
"""Prints what openpyxl, a reader nobody here wrote, finds in a workbook's first sheet: one
line per merged range, per row with a height of its own and per cell with a value or a format.

usage: dump_cells.py BOOK.xlsx
  merged A1:C1
  row 5 height=18.0
  cell B5 value='text' type=s halign=left valign=center size=11.0 font=name
       lines=left:thin,bottom:thin,... (only the sides that have a line)
"""
import sys

import openpyxl

sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for merged in sorted(str(r) for r in sheet.merged_cells.ranges):
    print("merged", merged)
for index, dimension in sorted(sheet.row_dimensions.items()):
    if dimension.customHeight:
        print(f"row {index} height={dimension.height}")
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None and not cell.has_style:
            continue
        if type(cell).__name__ == "MergedCell":
            continue
        border = cell.border
        lines = [f"{side}:{getattr(border, side).style}"
                 for side in ("left", "bottom", "right", "top")
                 if getattr(border, side) is not None and getattr(border, side).style]
        if border.diagonal is not None and border.diagonal.style:
            if border.diagonalDown:
                lines.append(f"down:{border.diagonal.style}")
            if border.diagonalUp:
                lines.append(f"up:{border.diagonal.style}")
        print(f"cell {cell.coordinate} value={cell.value!r} type={cell.data_type} "
              f"halign={cell.alignment.horizontal} valign={cell.alignment.vertical} "
              f"size={cell.font.sz} font={cell.font.name} lines={','.join(lines)}")
