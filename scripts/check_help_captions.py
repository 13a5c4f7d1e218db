#!/usr/bin/env python3
"""Fails when the help page names a caption the program does not show.

  check_help_captions.py HELP UI_CAPTIONS_EXE APP_SOURCES VERSION

A caption in the help page is the text of every <span class="ui"> element
(entities decoded, white space runs read as one space); 「」 quotes are
messages and log lines, not captions, and are not checked here. Each caption
must be one of:
  - the caption of a control of the settings window, from the layout table
    (printed by UI_CAPTIONS_EXE), or a run of consecutive controls of that
    table read as one line: captions joined by single spaces, a spin edit
    read as "□" ("□ 時間 □ 分後に節電", "節電 □ 分前から警告をだす");
  - an item of the two pop-up menus (same program);
  - a text of the other windows (About box, warning, program list): a string
    literal of APP_SOURCES/*.cpp.
An accelerator "&A" is shown as the help writes it, "(A)" after "(&A)".
The page's footer must name the project's VERSION as "ver VERSION".
"""
import html
import pathlib
import re
import subprocess
import sys

SPAN = re.compile(r'<span class="ui">(.*?)</span>', re.S)


def shown(caption: str) -> str:
    return re.sub(r"&(.)", lambda m: m.group(1), caption)


def normal(text: str) -> str:
    return re.sub(r"\s+", " ", html.unescape(re.sub(r"<[^>]+>", "", text))).strip()


def known_captions(exe: str, app: pathlib.Path) -> set:
    out = subprocess.run([exe], capture_output=True, text=True, check=True, encoding="utf-8").stdout
    layout, known = [], set()
    for line in out.splitlines():
        parts = line.split("\t")
        if parts[0] == "layout":
            layout.append((parts[1], shown(parts[2])))
        elif parts[0] == "menu":
            known.add(shown(parts[1]))
    if not layout or not known:
        raise SystemExit(f"{exe} printed no layout or no menus")
    words = [("□" if kind == "spin" else caption) if kind in ("spin", "label", "check", "radio", "button", "group", "days")
             else "" for kind, caption in layout]
    for i in range(len(words)):
        for j in range(i + 1, len(words) + 1):
            if not words[j - 1]:
                break
            known.add(" ".join(words[i:j]))
    for source in sorted(app.glob("*.cpp")):
        known.update(shown(s) for s in re.findall(r'"((?:[^"\\\n]|\\.)+)"', source.read_text(encoding="utf-8")))
    return known


def main() -> int:
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    help_path, exe, app, version = pathlib.Path(sys.argv[1]), sys.argv[2], pathlib.Path(sys.argv[3]), sys.argv[4]
    page = help_path.read_text(encoding="utf-8")
    known = known_captions(exe, app)
    captions = [normal(c) for c in SPAN.findall(page)]
    faults = [f"{help_path.name}: 「{c}」 is on no window and in no menu" for c in dict.fromkeys(captions)
              if c not in known]
    footer = re.search(r"<footer>(.*?)</footer>", page, re.S)
    if not footer or f"ver {version}" not in footer.group(1):
        faults.append(f"{help_path.name}: the footer does not name ver {version}")
    for fault in faults:
        print(fault)
    print(f"{len(captions)} caption(s) checked, {len(faults)} fault(s)")
    return 1 if faults or not captions else 0


if __name__ == "__main__":
    sys.exit(main())
