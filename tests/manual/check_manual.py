#!/usr/bin/env python3
"""Checks of the manual and the man pages, run by CTest.

  check_manual.py pdf PDF MANUAL.txt KELTO_MANUAL
      The PDF the build made: enough pages, every heading of the source, a contents whose
      page numbers lead to their headings, every picture embedded; kelto_manual refuses a
      source whose picture is missing or whose table is ragged.
  check_manual.py options KELTO_CLI MANUAL.txt KELTO_CLI.1 KELTO.1
      Every long option kelto-cli --help prints is in kelto-cli.1 and in the manual, neither
      documents one it does not print, and both man pages format without a warning.
"""
import os
import re
import subprocess
import sys
import tempfile

LIGATURES = {"\ufb00": "ff", "\ufb01": "fi", "\ufb02": "fl", "\ufb03": "ffi", "\ufb04": "ffl"}
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def plain(text):
    for ligature, letters in LIGATURES.items():
        text = text.replace(ligature, letters)
    return " ".join(text.split())


def page_text(pdf, page):
    result = run(["pdftotext", "-layout", "-f", str(page), "-l", str(page), pdf, "-"])
    return result.stdout


def source_headings(source):
    """(number, title) of every heading, numbered as the PDF numbers them."""
    headings = []
    chapter = section = 0
    with open(source, encoding="utf-8") as text:
        for line in text:
            match = re.match(r"^(#{1,3}) (.+)$", line.rstrip("\n"))
            if not match:
                continue
            level, title = len(match.group(1)), match.group(2).strip()
            if level == 1:
                chapter, section = chapter + 1, 0
                headings.append((str(chapter), title))
            elif level == 2:
                section += 1
                headings.append((f"{chapter}.{section}", title))
            else:
                headings.append(("", title))
    return headings


def check_pdf(pdf, source, renderer):
    info = run(["pdfinfo", pdf])
    if info.returncode != 0:
        fail(f"pdfinfo cannot read {pdf}: {info.stderr.strip()}")
        return
    pages = int(re.search(r"^Pages:\s+(\d+)", info.stdout, re.M).group(1))
    if pages < 20:
        fail(f"the manual has {pages} pages, fewer than 20")
    texts = {page: page_text(pdf, page) for page in range(1, pages + 1)}
    # Each page's lines, each line with its blanks folded.
    lines = {page: [plain(line) for line in text.splitlines()] for page, text in texts.items()}

    headings = source_headings(source)
    for number, title in headings:
        line = plain(f"{number} {title}")
        if not any(line in page_lines for page_lines in lines.values()):
            fail(f"heading '{line}' is not a line of the PDF")

    # The contents: "2.3 Title .... 7", every numbered heading once, with the page it is on.
    entries = {}
    for page in range(2, pages + 1):
        found = False
        for line in lines[page]:
            match = re.match(r"^(\d+(?:\.\d+)?) (.+) (\d+)$", line)
            if match and (match.group(1), match.group(2)) in headings:
                entries[(match.group(1), match.group(2))] = int(match.group(3))
                found = True
        if not found and entries:
            first_body_page = page
            break
    else:
        first_body_page = pages + 1
    numbered = [(n, t) for n, t in headings if n]
    if sorted(entries) != sorted(numbered):
        missing = [f"{n} {t}" for n, t in numbered if (n, t) not in entries]
        fail(f"the contents lacks {missing}")
    for (number, title), page in entries.items():
        line = plain(f"{number} {title}")
        on = [p for p in range(first_body_page, pages + 1) if line in lines[p]]
        if on != [page]:
            fail(f"the contents puts '{line}' on page {page}, the PDF has it on {on}")
        elif "." not in number and lines[page] and next(l for l in lines[page] if l) != line:
            fail(f"chapter '{line}' does not start page {page}")

    # An image with transparency is listed twice, as "image" and as its "smask".
    listed = [row for row in run(["pdfimages", "-list", pdf]).stdout.splitlines()[2:]
              if row.split()[2] == "image"]
    with open(source, encoding="utf-8") as text:
        pictures = sum(1 for line in text if line.startswith("[picture:"))
    if len(listed) != pictures:
        fail(f"the PDF holds {len(listed)} pictures, the source names {pictures}")

    check_refusals(renderer, os.path.dirname(source))


def check_refusals(renderer, picture_dir):
    cases = {
        "missing picture": ("Title: T\n\n# One\n\ntext\n\n[picture: nowhere.png] gone\n",
                            "line 7: picture nowhere.png"),
        "ragged table": ("Title: T\n\n# One\n\n| a | b |\n|---|---|\n| 1 | 2 | 3 |\n",
                         "line 7: this table row has 3 cells"),
    }
    with tempfile.TemporaryDirectory() as scratch:
        for name, (text, expected) in cases.items():
            source = os.path.join(scratch, "bad.txt")
            output = os.path.join(scratch, "bad.pdf")
            with open(source, "w", encoding="utf-8") as out:
                out.write(text)
            result = run([renderer, source, picture_dir, output])
            if result.returncode == 0 or expected not in result.stderr:
                fail(f"{name}: kelto_manual exited {result.returncode} saying "
                     f"'{result.stderr.strip()}', expected a failure naming '{expected}'")
            if os.path.exists(output):
                fail(f"{name}: kelto_manual left {output} behind")
        # The same markup, whole, is set.
        source = os.path.join(scratch, "good.txt")
        with open(source, "w", encoding="utf-8") as out:
            out.write("Title: T\n\n# One\n\n| a | b |\n|---|---|\n| 1 | 2 |\n\n"
                      "[picture: codecs.png] a picture\n")
        result = run([renderer, source, picture_dir, os.path.join(scratch, "good.pdf")])
        if result.returncode != 0:
            fail(f"kelto_manual refused a good source: {result.stderr.strip()}")


LONG_OPTION = re.compile(r"(?<![\w-])--[a-z][a-z-]*")


def man_options(page):
    """The long options of a man page's OPTIONS section, as groff sets them."""
    text = run(["groff", "-man", "-Tascii", "-P-cbou", page]).stdout
    section = re.search(r"^OPTIONS\n(.*?)^\S", text, re.M | re.S)
    return set(LONG_OPTION.findall(text)), set(LONG_OPTION.findall(section.group(1) if section else ""))


def check_options(cli, manual, cli_page, kelto_page):
    result = run([cli, "--help"])
    printed = set(LONG_OPTION.findall(result.stdout))
    if result.returncode != 0 or len(printed) < 10:
        fail(f"kelto-cli --help exited {result.returncode} with {len(printed)} long options")
        return
    anywhere, documented = man_options(cli_page)
    with open(manual, encoding="utf-8") as text:
        manual_text = text.read()
    for option in sorted(printed):
        if option not in documented:
            fail(f"{option} (kelto-cli --help) is not in the OPTIONS of {cli_page}")
        if not re.search(re.escape(option) + r"(?![\w-])", manual_text):
            fail(f"{option} (kelto-cli --help) is not in {manual}")
    for option in sorted(documented - printed):
        fail(f"{cli_page} documents {option}, which kelto-cli --help does not print")
    # The manual's table of kelto-cli's options.
    table = set()
    for line in manual_text.splitlines():
        if line.startswith("| `--"):
            table.update(LONG_OPTION.findall(line.split("|")[1]))
    if table != printed:
        fail(f"the manual's option table differs from --help: only in the table "
             f"{sorted(table - printed)}, only in --help {sorted(printed - table)}")

    for page in (cli_page, kelto_page):
        checked = run(["groff", "-man", "-ww", "-z", page])
        if checked.returncode != 0 or checked.stderr:
            fail(f"groff -ww on {page}: {checked.stderr.strip()}")
        shown = run(["man", "--warnings", "-l", page],
                    env=dict(os.environ, MANPAGER="cat", PAGER="cat", MANWIDTH="80"))
        if shown.returncode != 0 or shown.stderr:
            fail(f"man --warnings on {page}: {shown.stderr.strip()}")


def main():
    mode, args = sys.argv[1], sys.argv[2:]
    if mode == "pdf":
        check_pdf(*args)
    elif mode == "options":
        check_options(*args)
    else:
        sys.exit(f"unknown mode {mode}")
    if failures:
        sys.exit(f"{len(failures)} failure(s)")
    print("ok")


if __name__ == "__main__":
    main()
