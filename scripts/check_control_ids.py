#!/usr/bin/env python3
"""Keeps control and dialog numbers out of the code.

The XRC files name their objects (symbol="kName") and the build generates
the constants, so code passes xrc::<file>::kName where a control, dialog,
menu or toolbar is meant. This check fails on a number written where one
of those is taken:

  - the id of FindWindow, FindWindowById, GetDlgItem, XRCCTRL, Control<T>,
    DDX_*(pDX, id, ...), the frame's control helpers (SetControlText,
    ControlText, SetCheck, CheckOf, ShowControl, EnableControl,
    FocusControl) and an options page's template (COptionsPage,
    CScrolledPropertyPage);
  - a command event made for a control, wxCommandEvent(wxEVT_..., id), and
    the id a handler is bound to, Bind(wxEVT_..., handler, this, id);
  - the name of an object loaded from the resources, LoadDialog(..., "229"),
    LoadPanel, LoadMenu, LoadMenuBar, LoadToolBar, AttachUnknownControl,
    XRCID.

Numbers elsewhere (sizes, positions, ranges) are not looked at, nor is
platform/, whose own tests work the toolkit by its raw names. Comments are
skipped. Prints each fault and exits with 1 when there is one.

    scripts/check_control_ids.py [root]
"""
import pathlib
import re
import sys

SOURCES = ("*.h", "*.cpp")
SKIPPED = ("build", "platform")

NUMBER = r"\d+\b"
# A call's arguments before the id: any text without a closing parenthesis
# or a comma, then a comma (at most `count` of them).
BEFORE = r"(?:[^(),]*(?:\([^()]*\))?[^(),]*,\s*)"
PATTERNS = [
    re.compile(r"\b(?:FindWindow|FindWindowById|GetDlgItem\w*|Control<[^>]*>)\(\s*" + NUMBER),
    re.compile(r"\bXRCCTRL\(\s*" + BEFORE + r"\"\d+\""),
    re.compile(r"\bXRCID\(\s*\"\d+\""),
    re.compile(r"\bDDX_\w+(?:<[^>]*>)?\(\s*" + BEFORE + NUMBER),
    re.compile(r"\b(?:SetControlText|ControlText|SetCheck|CheckOf|ShowControl|EnableControl|"
               r"FocusControl)\(\s*" + BEFORE + NUMBER),
    re.compile(r"\b(?:COptionsPage|CScrolledPropertyPage)\(\s*" + NUMBER),
    re.compile(r"\bwxCommandEvent\b\s*\w*\s*\(\s*wxEVT_\w+\s*,\s*" + NUMBER),
    re.compile(r"\bBind\(\s*wxEVT_\w+\s*,[^;]*?,\s*this\s*,\s*" + NUMBER),
    re.compile(r"\b(?:LoadDialog|LoadPanel|LoadFrame|LoadMenu|LoadMenuBar|LoadToolBar|LoadObject|"
               r"AttachUnknownControl)\(\s*" + BEFORE + r"{0,2}\"\d+\""),
]
COMMENT = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def without_comments(text):
    """The text with its comments and the insides of its texts blanked (line
    breaks kept); a text of digits alone, an object's name, is kept."""
    def blank(match):
        token = match.group(0)
        if token.startswith(("//", "/*")):
            return re.sub(r"[^\n]", " ", token)
        if re.fullmatch(r'"\d+"', token):
            return token
        return token[0] + " " * (len(token) - 2) + token[-1]
    return COMMENT.sub(blank, text)


def faults_in(relative, text):
    code = without_comments(text)
    faults = []
    for pattern in PATTERNS:
        for match in pattern.finditer(code):
            line = code.count("\n", 0, match.start()) + 1
            call = " ".join(match.group(0).split())
            faults.append(f"{relative}:{line}: a control or dialog number in {call}: "
                          f"name it in its XRC file and use the generated constant")
    return sorted(faults, key=lambda f: int(f.split(":")[1]))


def check(root):
    root = pathlib.Path(root)
    faults = []
    paths = sorted(path for pattern in SOURCES for path in root.rglob(pattern))
    for path in paths:
        relative = path.relative_to(root).as_posix()
        if relative.split("/")[0] in SKIPPED or "/." in "/" + relative:
            continue
        faults += faults_in(relative, path.read_text(encoding="utf-8", errors="replace"))
    return faults


def main():
    faults = check(sys.argv[1] if len(sys.argv) > 1 else ".")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} control or dialog number(s) written as numbers")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
