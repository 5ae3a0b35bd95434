#!/usr/bin/env python3
"""Regenerates packages/Base.xml from the codec programs installed on this machine.

Each shipped codec program gets one entry: the MD5 of the installed file (what kelto's HashFile
gives: 32 upper-case hexadecimal digits), its file name, size and Debian package date, and the
presets of every package folder in packages/Coders and packages/Decoders that runs it, so that
the program copied bare into Codecs works like its packages.

Usage: tools/make_base_xml.py [output]   (default: packages/Base.xml beside this script)
"""

import datetime
import email.utils
import gzip
import hashlib
import os
import subprocess
import sys
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGES = os.path.join(ROOT, "packages")

# program: (description, format)
PROGRAMS = {
    "flac": ("FLAC encoder and decoder", "FLAC"),
    "lame": ("LAME MP3 encoder and decoder", "MP3"),
    "oggenc": ("Ogg Vorbis encoder", "Ogg Vorbis"),
    "oggdec": ("Ogg Vorbis decoder", "Ogg Vorbis"),
    "opusenc": ("Opus encoder", "Opus"),
    "opusdec": ("Opus decoder", "Opus"),
    "wavpack": ("WavPack encoder", "WavPack"),
    "wvunpack": ("WavPack decoder", "WavPack"),
    "speexenc": ("Speex encoder", "Speex"),
    "speexdec": ("Speex decoder", "Speex"),
    "ffmpeg": ("FFmpeg", "AAC, ALAC, TTA, APE, WMA, MP2, AIFF, CAF, W64, MKA, AC-3, DTS, DSD"),
    "mpcdec": ("Musepack decoder", "Musepack"),
}


def read_lines(path):
    """Lines of a package text file without their terminators; a missing file is empty."""
    try:
        with open(path, encoding="utf-8") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def package_presets(folder, lines_name, with_names):
    """The presets of a package as kelto pairs them: (extension, name, command line)."""
    lines = iter(read_lines(os.path.join(folder, lines_name)))

    def next_non_empty():
        line = ""
        for line in lines:
            if line:
                break
        else:
            line = ""
        return line

    presets = []
    for ext in read_lines(os.path.join(folder, "Extensions.ini")):
        ext = ext.strip()
        if not ext:
            continue
        name = next_non_empty() if with_names else ""
        presets.append((ext, name, next_non_empty()))
    return presets


def display_name(folder, program):
    lines = read_lines(os.path.join(folder, program + ".name"))
    return lines[0] if lines else os.path.basename(folder)


def presets_of(program):
    """Coding and Decoding presets of every package that runs program, in package order."""
    result = []
    for kind, lines_name, preset_type in (("Coders", "Presets.ini", "Coding"),
                                          ("Decoders", "Format.ini", "Decoding")):
        base = os.path.join(PACKAGES, kind)
        for package in sorted(os.listdir(base), key=lambda n: (n.lower(), n)):
            folder = os.path.join(base, package)
            if not os.path.islink(os.path.join(folder, program)):
                continue
            coder = preset_type == "Coding"
            label = display_name(folder, program)
            for ext, name, command in package_presets(folder, lines_name, coder):
                description = f"{label}, {name}" if coder else label
                result.append((command, ext, description, preset_type))
    return result


def debian_package(path):
    out = subprocess.run(["dpkg-query", "-S", path], capture_output=True, text=True, check=True)
    return out.stdout.split(":")[0].strip()


def package_date(package):
    """Date of the installed Debian package's latest changelog entry, as YYYY-MM-DD."""
    changelog = f"/usr/share/doc/{package}/changelog.Debian.gz"
    with gzip.open(changelog, "rt", encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith(" -- "):
                stamp = line.split(">", 1)[1].strip()
                return email.utils.parsedate_to_datetime(stamp).date().isoformat()
    return ""


def md5_upper(path):
    digest = hashlib.md5()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest().upper()


def entry_xml(program):
    description, fmt = PROGRAMS[program]
    path = os.path.realpath(f"/usr/bin/{program}")
    package = debian_package(path)
    presets = presets_of(program)
    types = {p[3] for p in presets}
    kind = "Coder and decoder" if len(types) == 2 else ("Coder" if "Coding" in types else "Decoder")
    date = package_date(package)
    attrs = [("Hash", md5_upper(path)), ("FileName", program),
             ("FileSize", str(os.path.getsize(path))), ("Date", date),
             ("Description", description), ("Type", kind), ("Format", fmt)]
    out = ["  <Codec " + " ".join(f"{k}={quoteattr(v)}" for k, v in attrs) + ">"]
    for command, ext, desc, ptype in presets:
        out.append("    <Preset " + " ".join(
            f"{k}={quoteattr(v)}" for k, v in (("CommandLine", command), ("Extension", ext),
                                               ("Description", desc), ("Type", ptype))) + "/>")
    out.append("  </Codec>")
    return date, "\n".join(out)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(PACKAGES, "Base.xml")
    dates, entries = [], []
    for program in PROGRAMS:
        date, xml = entry_xml(program)
        dates.append(date)
        entries.append(xml)
    # The database date is the newest program's date, so regenerating on the same programs
    # gives the same file.
    root_date = max(dates) if dates else datetime.date.today().isoformat()
    text = ('<?xml version="1.0" encoding="UTF-8"?>\n'
            "<!-- Generated by tools/make_base_xml.py from the installed Debian codec programs. -->\n"
            f"<Codecs Date={quoteattr(root_date)}>\n" + "\n".join(entries) + "\n</Codecs>\n")
    with open(target, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
