#!/usr/bin/python3
"""Spreadsheet files read back with openpyxl and the csv module.

Makes the priced project of tests/scenarios/aggregation.vts, writes every
summary table as one workbook and as CSV with `veltrano-cli export`, and
checks each cell against the clipboard text of the same table: numbers are
numbers with the digits shown, a subtotal in parentheses is a positive
number whose format adds them, texts are texts; the heading rows are
frozen and printed on every page, A4 landscape with the project's name in
the header.

    spreadsheet_files.py VELTRANO_CLI SCENARIO WORK_DIR
"""
import csv
import io
import os
import re
import shutil
import subprocess
import sys

import openpyxl

TABLES = [(f"interior-{p}", f"内部 {n}") for p, n in enumerate("床 巾木 壁 天井 雑".split())]
TABLES += [(f"exterior-{p}", f"外部 {n}") for p, n in enumerate("床 巾木 壁 天井 雑".split())]
TABLES += [("fittings", "建具廻り"), ("worktype", "工種別")]
NUMBER = re.compile(r"^(\()?(-?)(\d{1,3}(?:,\d{3})+|\d+)(?:\.(\d+))?(\))?$")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(cli, base, *args):
    done = subprocess.run([cli, "--base", base, *args], capture_output=True)
    if done.returncode != 0:
        sys.exit(f"veltrano-cli {' '.join(args)} failed: {done.stderr.decode()}")
    return done.stdout.decode("utf-8")


def value_cell(table, row, col):
    """Where the program's tables hold quantities, places and amounts."""
    if table == "worktype":
        return row >= 1 and col in (5, 7, 8)
    return (row == 3 or row >= 4) and col >= 1


def shown_number(text):
    match = NUMBER.match(text.strip())
    if not match or (match.group(1) is None) != (match.group(5) is None):
        return None
    value = float(match.group(3).replace(",", "") + "." + (match.group(4) or "0"))
    return (-value if match.group(2) else value,
            len(match.group(4) or ""), "," in match.group(3), match.group(1) is not None)


def main():
    cli, scenario, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "home"))
    os.environ["HOME"] = os.path.join(work, "home")
    base = os.path.join(work, "Veltrano")
    run(cli, base, "run", scenario)
    project = os.path.join(base, "Data", "集計.xdt")
    book_path = os.path.join(work, "all.xlsx")
    run(cli, base, "export", project, "all", "--xlsx", book_path)
    book = openpyxl.load_workbook(book_path)
    check(book.sheetnames == [name for _, name in TABLES], f"sheets {book.sheetnames}")
    numbers = bracketed = 0
    for table, name in TABLES:
        text = run(cli, base, "export", project, table)
        rows = [line.split("\t") for line in text.split("\r")]
        sheet = book[name]
        for r, cells in enumerate(rows):
            for c, shown in enumerate(cells):
                cell = sheet.cell(row=r + 1, column=c + 1)
                where = f"{name} {cell.coordinate} {shown!r}"
                number = shown_number(shown) if value_cell(table, r, c) else None
                if number is None:
                    check(cell.value == (shown if shown else None), f"{where}: {cell.value!r}")
                    continue
                value, decimals, grouped, in_brackets = number
                numbers += 1
                check(isinstance(cell.value, (int, float)) and not isinstance(cell.value, bool),
                      f"{where}: not a number but {cell.value!r}")
                check(cell.value == value, f"{where}: {cell.value!r}")
                fmt = cell.number_format
                check(fmt.startswith("(") == in_brackets and fmt.endswith(")") == in_brackets,
                      f"{where}: format {fmt}")
                check(("," in fmt) == grouped, f"{where}: format {fmt}")
                check(len(fmt.split(".")[1].rstrip(")")) == decimals if decimals else "." not in fmt,
                      f"{where}: format {fmt}")
                if in_brackets:
                    bracketed += 1
                    check(cell.value >= 0, f"{where}: a subtotal below zero")
        # Headings bold and frozen, printed on every page, A4 landscape.
        heading_rows = 1 if table == "worktype" else 4
        check(sheet.freeze_panes == ("A2" if table == "worktype" else "C5"),
              f"{name}: frozen at {sheet.freeze_panes}")
        check(sheet.print_title_rows == f"$1:${heading_rows}", f"{name}: {sheet.print_title_rows}")
        check(sheet.cell(row=1, column=1).font.b, f"{name}: heading not bold")
        check(sheet.page_setup.orientation == "landscape", f"{name}: not landscape")
        check(str(sheet.page_setup.paperSize) == "9", f"{name}: paper {sheet.page_setup.paperSize}")
        check(sheet.oddHeader.left.text == "集計", f"{name}: header {sheet.oddHeader.left.text}")
        check("&P" in (sheet.oddHeader.right.text or ""), f"{name}: no page number")
    check(numbers >= 15 and bracketed == 2, f"{numbers} numbers, {bracketed} subtotals")

    # One table alone, and CSV in both encodings.
    single = os.path.join(work, "floor.xlsx")
    run(cli, base, "export", project, "interior-0", "--xlsx", single)
    check(openpyxl.load_workbook(single).sheetnames == ["内部 床"], "one sheet")
    for encoding, args in (("cp932", []), ("utf-8-sig", ["--utf8"])):
        out = os.path.join(work, f"work-{encoding}.csv")
        run(cli, base, "export", project, "worktype", "--csv", out, *args)
        data = open(out, "rb").read()
        check(data.startswith(b"\xef\xbb\xbf") == (encoding == "utf-8-sig"), f"{encoding}: BOM")
        check(data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""),
              f"{encoding}: lines end CR LF")
        read = list(csv.reader(io.StringIO(data.decode(encoding), newline="")))
        clip = [line.split("\t") for line in
                run(cli, base, "export", project, "worktype").split("\r")]
        check(len(read) == len(clip), f"{encoding}: {len(read)} rows")
        for r, (got, shown) in enumerate(zip(read, clip)):
            for c, text in enumerate(shown):
                number = shown_number(text) if value_cell("worktype", r, c) else None
                expected = text if number is None else text.strip("()").replace(",", "")
                check(got[c] == expected, f"{encoding} row {r} col {c}: {got[c]!r} not {expected!r}")
    # Bad requests write nothing.
    bad = subprocess.run([cli, "--base", base, "export", project, "all", "--csv",
                          os.path.join(work, "x.csv")], capture_output=True)
    check(bad.returncode == 2 and not os.path.exists(os.path.join(work, "x.csv")), "all as CSV")
    missing = subprocess.run([cli, "--base", base, "export", project, "worktype", "--xlsx",
                              os.path.join(work, "gone", "x.xlsx")], capture_output=True)
    check(missing.returncode == 1 and "保存できませんでした" in missing.stderr.decode(),
          "a folder that is not there")

    for failure in failures:
        print("FAIL", failure)
    print(f"{numbers} numbers, {bracketed} subtotals checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
