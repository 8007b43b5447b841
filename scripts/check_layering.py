#!/usr/bin/env python3
"""Keeps the library order of docs/architecture.md.

Reads the order from the line of docs/architecture.md that begins with
"Order:" (folders separated by "<-", lowest first) and the lines beginning
with "Beside:" (a folder, "uses" and the folders it may include, "used by"
and the folders that may include it). Then checks every C++ file of the tree:

  - a file may include headers of its own folder and of folders before it;
  - a folder named under "Beside:" is included only by the folders it names;
  - no two folders include each other.

A folder is a file's top-level folder, or the first two levels for the
folders that the order or "Beside:" lines name that way (platform/gui,
tools/quorlin). Tests (<folder>/tests/), bench/ and fuzz/ may also include
testing/ and anything their folder may. Prints each fault and exits with 1
when there is one.

    scripts/check_layering.py [root]
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = ("*.h", "*.cpp")
# Folders of our own that hold no library code: files below them may include
# anything. Only library code (not tests) counts for the "each other" check.
FREE = ("bench", "fuzz", "testing", "build")


class Rules:
    def __init__(self, text):
        self.order = []
        self.beside = {}  # folder -> (uses, used_by)
        for line in text.splitlines():
            line = line.strip().strip("`")
            if line.startswith("Order:"):
                self.order = [f.strip() for f in line[len("Order:"):].split("<-")]
            elif line.startswith("Beside:"):
                m = re.match(r"Beside:\s*(\S+)\s+uses\s+(.+?);\s*used by\s+(.+)$", line)
                if not m:
                    raise ValueError(f"cannot read: {line}")
                split = lambda s: [f.strip() for f in s.split(",") if f.strip()]
                self.beside[m.group(1)] = (split(m.group(2)), split(m.group(3)))
        if not self.order:
            raise ValueError('no "Order:" line in docs/architecture.md')
        self.known = set(self.order) | set(self.beside)

    def folder_of(self, relative):
        parts = pathlib.PurePosixPath(relative).parts
        if len(parts) >= 2 and "/".join(parts[:2]) in self.known:
            return "/".join(parts[:2])
        return parts[0] if len(parts) > 1 else ""

    def allowed(self, source, target):
        """Whether folder `source` may include a header of folder `target`."""
        if source == target:
            return True
        if target in self.beside:
            uses, used_by = self.beside[target]
            return source in used_by
        if source in self.beside:
            uses, _ = self.beside[source]
            return target in uses
        if source in self.order and target in self.order:
            return self.order.index(target) < self.order.index(source)
        if source in self.order:
            return target not in self.known and target not in FREE
        return True


def check(root):
    root = pathlib.Path(root)
    rules = Rules((root / "docs" / "architecture.md").read_text(encoding="utf-8"))
    faults = []
    edges = {}
    for pattern in SOURCES:
        for path in sorted(root.rglob(pattern)):
            relative = path.relative_to(root).as_posix()
            if relative.split("/")[0] in ("build",) or "/." in "/" + relative:
                continue
            source = rules.folder_of(relative)
            is_test = "/tests/" in "/" + relative or source in FREE
            text = path.read_text(encoding="utf-8", errors="replace")
            for header in INCLUDE.findall(text):
                if not (root / header).exists():
                    continue  # a system header, or one beside the file
                target = rules.folder_of(header)
                if target in ("", source):
                    continue
                if is_test:
                    if target == "testing" or source in FREE:
                        continue
                else:
                    edges.setdefault((source, target), relative)
                if not rules.allowed(source, target):
                    faults.append(f"{relative}: includes {header}, but {source} "
                                  f"may not use {target}")
    for (a, b), where in sorted(edges.items()):
        if a < b and (b, a) in edges:
            faults.append(f"{a} and {b} include each other "
                          f"({where}; {edges[(b, a)]})")
    return faults


def main():
    faults = check(sys.argv[1] if len(sys.argv) > 1 else ".")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the library order")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
