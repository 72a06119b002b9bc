#!/usr/bin/env python3
"""Cuts the faces the page embeds down to the glyphs of the captions they draw.

Reads the lines of fontcaptions (family, caption, faces...), takes for each the first of the
faces that this machine has (the ones the Linux build shows), keeps only the caption's glyphs,
and writes fonts.css with each cut face inline as WOFF2, so that the page needs no font
request (a page opened from a file may make none). The faces' licences go beside it.

Usage: subset-fonts.py CAPTIONS FONTS_CSS LICENCE_DIR
"""
import base64
import io
import os
import shutil
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def installed_file(face):
    files = subprocess.run(["fc-list", "--format", "%{file}\n", ":family=" + face],
                           capture_output=True, text=True, check=True).stdout.split()
    return sorted(files)[0] if files else None


def package_of(path):
    owner = subprocess.run(["dpkg", "-S", os.path.realpath(path)], capture_output=True,
                           text=True, check=True).stdout
    return owner.split(":")[0]


def main(captions_path, css_path, licence_dir):
    os.makedirs(licence_dir, exist_ok=True)
    rules = []
    for line in open(captions_path, encoding="utf-8").read().splitlines():
        family, caption, *faces = line.split("\t")
        found = next(((face, path) for face in faces if (path := installed_file(face))), None)
        if not found:
            sys.exit(f"none of the faces for {family} is installed: {', '.join(faces)}")
        face, path = found
        options = subset.Options()
        options.flavor = "woff2"
        options.name_IDs = ["*"]
        options.notdef_outline = True
        font = TTFont(path, fontNumber=0)
        subsetter = subset.Subsetter(options)
        subsetter.populate(text=caption)
        subsetter.subset(font)
        data = io.BytesIO()
        font.flavor = "woff2"
        font.save(data)
        package = package_of(path)
        shutil.copyfile(f"/usr/share/doc/{package}/copyright",
                        os.path.join(licence_dir, f"{package}.copyright.txt"))
        rules.append(
            f"/* {caption}: {face}, from Debian's {package} (licence: fonts/{package}"
            f".copyright.txt) */\n"
            f"@font-face {{\n    font-family: \"{family}\";\n"
            f"    src: url(data:font/woff2;base64,{base64.b64encode(data.getvalue()).decode()})"
            f" format(\"woff2\");\n}}\n")
    with open(css_path, "w", encoding="utf-8") as css:
        css.write("/* Generated at build time: the faces of the window's fixed captions, cut to"
                  " their glyphs. */\n")
        css.write("\n".join(rules))


if __name__ == "__main__":
    main(*sys.argv[1:])
