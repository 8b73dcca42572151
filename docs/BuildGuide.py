#!/usr/bin/env python3
"""Builds the user guide: the Markdown chapters, in the order given, become one HTML page with a
table of contents; the style sheet and the pictures are copied beside it."""

import argparse
import html
import pathlib
import re
import shutil
import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="{lang}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<link rel="stylesheet" href="guide.css">
</head>
<body>
<nav class="contents">
<p class="guide-title">{product} {version}</p>
{toc}
</nav>
<main>
{body}
</main>
</body>
</html>
"""

# The product's name and the page's title in each language the guide is written in.
TITLES = {
    "en": ("Quorve PLU manager", "Quorve PLU manager {version}: user guide"),
    "pl": ("Menedżer PLU Quorve", "Menedżer PLU Quorve {version}: podręcznik użytkownika"),
}


def broken_references(body, images):
    """Links to headings that do not exist and pictures that are missing: a renamed heading or
    a screenshot that was not made must stop the build, not show the reader a dead link."""
    ids = set(re.findall(r'\bid="([^"]+)"', body))
    problems = ["link to #" + target for target in re.findall(r'href="#([^"]*)"', body)
                if target not in ids]
    problems += ["picture " + src for src in re.findall(r'<img[^>]*\bsrc="([^"]+)"', body)
                 if not (images.parent / src).is_file()]
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output", required=True, type=pathlib.Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--style", required=True, type=pathlib.Path)
    parser.add_argument("--images", required=True, type=pathlib.Path)
    parser.add_argument("--lang", default="en", choices=sorted(TITLES))
    parser.add_argument("chapters", nargs="+", type=pathlib.Path)
    args = parser.parse_args()

    # Chapters are joined before conversion so the table of contents and the heading anchors
    # are unique over the whole guide.
    text = "\n\n".join(chapter.read_text(encoding="utf-8") for chapter in args.chapters)
    converter = markdown.Markdown(
        extensions=["tables", "toc", "fenced_code", "attr_list", "sane_lists", "def_list"],
        extension_configs={"toc": {"toc_depth": "1-2"}},
        output_format="html",
    )
    body = converter.convert(text)
    problems = broken_references(body, args.images)
    if problems:
        sys.exit("The guide has broken references: " + ", ".join(problems))

    args.output.mkdir(parents=True, exist_ok=True)
    product, title = TITLES[args.lang]
    version = html.escape(args.version)
    page = PAGE.format(lang=args.lang, title=html.escape(title.format(version=args.version)),
                       product=html.escape(product), version=version, toc=converter.toc,
                       body=body)
    (args.output / "index.html").write_text(page, encoding="utf-8")
    shutil.copyfile(args.style, args.output / "guide.css")
    images = args.output / "images"
    if images.exists():
        shutil.rmtree(images)
    shutil.copytree(args.images, images)


if __name__ == "__main__":
    main()
