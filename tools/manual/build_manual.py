#!/usr/bin/python3
"""Turns the manual from Markdown into one HTML page that carries its own pictures.

    tools/manual/build_manual.py docs/manual.md OUT.html [--version 1.1.2]

A producer opens the page from the unpacked archive, often with no network and no folder of
pictures beside it, so every image goes into the page as a data URI and the style sheet is
inline. The output depends only on the input files: the same tree gives the same bytes.
"""

import argparse
import base64
import html
import os
import re
import sys

import markdown
from markdown.treeprocessors import Treeprocessor

STYLE = """
body { margin: 0; background: #f4f4f2; color: #1d1f22;
       font: 16px/1.55 "DejaVu Sans", "Segoe UI", Helvetica, Arial, sans-serif; }
main { max-width: 780px; margin: 0 auto; padding: 24px 32px 64px; background: #fff; }
h1 { font-size: 2em; margin: 0.4em 0 0.2em; }
.version { color: #666; margin-top: 0; }
h2 { font-size: 1.45em; margin-top: 2.2em; padding-top: 0.4em; border-top: 3px solid #ff9900; }
h3 { font-size: 1.15em; margin-top: 1.8em; }
a { color: #b35c00; }
img { display: block; max-width: 100%; height: auto; margin: 12px 0 4px; }
code, kbd { font: 0.88em "DejaVu Sans Mono", Consolas, monospace; background: #f0f0ee;
            padding: 1px 4px; border-radius: 3px; }
kbd { border: 1px solid #ccc; border-bottom-width: 2px; }
pre { background: #f0f0ee; padding: 10px 14px; overflow-x: auto; }
pre code { background: none; padding: 0; }
table { border-collapse: collapse; margin: 12px 0; font-size: 0.94em; }
th, td { border: 1px solid #d8d8d4; padding: 4px 10px; text-align: left; vertical-align: top; }
th { background: #f0f0ee; }
td:first-child { white-space: nowrap; }
.toc { background: #fafaf8; border: 1px solid #e4e4e0; padding: 8px 20px; margin: 20px 0; }
.toc ul { padding-left: 20px; margin: 4px 0; }
.toc > ul { padding-left: 4px; list-style: none; columns: 2; column-gap: 32px; }
.toc > ul > li { break-inside: avoid; }
"""

MIME = {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg", ".svg": "image/svg+xml"}


class InlineImages(Treeprocessor):
    """Replaces each local image path with the file's bytes; a missing file is an error."""

    def __init__(self, md, base):
        super().__init__(md)
        self.base = base

    def run(self, root):
        for img in root.iter("img"):
            src = img.get("src", "")
            if "://" in src or src.startswith("data:"):
                continue
            path = os.path.join(self.base, src)
            kind = MIME.get(os.path.splitext(path)[1].lower())
            if kind is None or not os.path.isfile(path):
                raise SystemExit(f"build_manual: cannot embed image {src!r}")
            with open(path, "rb") as f:
                data = base64.b64encode(f.read()).decode("ascii")
            img.set("src", f"data:{kind};base64,{data}")
            img.set("loading", "lazy")


def build(source, version):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    md = markdown.Markdown(extensions=["tables", "toc", "fenced_code", "attr_list"],
                           extension_configs={"toc": {"toc_depth": "2-3"}})
    md.treeprocessors.register(InlineImages(md, os.path.dirname(os.path.abspath(source))),
                               "inline_images", 0)
    body = md.convert(text)
    # A link to a section that is not there (a heading renamed) fails the build, not the reader.
    ids = set(re.findall(r'\sid="([^"]+)"', body))
    broken = sorted(set(re.findall(r'href="#([^"]+)"', body)) - ids)
    if broken:
        raise SystemExit("build_manual: links to missing sections: " + ", ".join(broken))
    if version:
        # Under the title: which release this page describes.
        line = f'<p class="version">Version {html.escape(version)}</p>'
        body = body.replace("</h1>", "</h1>\n" + line, 1)
    title = "Kavrel manual" + (f" (version {version})" if version else "")
    return ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n"
            f"<body>\n<main>\n{body}\n</main>\n</body>\n</html>\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("out")
    parser.add_argument("--version", default="")
    args = parser.parse_args()
    page = build(args.source, args.version)
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main())
