#!/usr/bin/env python3
"""Keeps the library order of docs/architecture.md.

Reads the order from the line of docs/architecture.md that begins with
"Order:" (folders separated by "<-", lowest first) and the lines beginning
with "Beside:" (a folder, "uses" and the folders it may include, "used by"
and the folders that may include it). Reads each folder's library from the
kv_library(<name> LIBS ...) call of its CMakeLists.txt, and what its tests
link besides from kv_tests(<name> LIBS ...). Then checks every C++ file of
the tree:

  - its folder is one the order or a "Beside:" line names;
  - a file may include headers of its own folder and of folders before it;
  - a folder named under "Beside:" is included only by the folders it names;
  - a library links (directly) each library whose headers it includes, and
    links only libraries its folder may use and does include;
  - no two folders include each other.

A folder is a file's top-level folder, or the first two levels for the
folders that the order or "Beside:" lines name that way (platform/gui,
tools/quorlin); any other folder below tools/ is a folder of its own too.
Tests (<folder>/tests/) may also include testing/, anything their folder
may, and the libraries their kv_tests line links; bench/ and fuzz/ may
include anything. Prints each fault and exits with 1 when there is one.
The check that control and dialog numbers are named (check_control_ids.py)
runs with it.

    scripts/check_layering.py [root]
"""
import pathlib
import re
import sys

import check_control_ids

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = ("*.h", "*.cpp")
# Folders of our own that hold no library code: files below them may include
# anything. Only library code (not tests) counts for the "each other" check.
FREE = ("bench", "fuzz")
SKIPPED = ("build",)
# Top-level folders whose every subfolder is a folder of its own.
PARENTS = ("tools",)
CMAKE_CALL = re.compile(r"\b(kv_library|kv_tests|target_link_libraries)\s*\(([^)]*)\)")


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
        if len(parts) < 2:
            return ""
        two = "/".join(parts[:2])
        if len(parts) >= 3 and (two in self.known or parts[0] in PARENTS):
            return two
        return parts[0]

    def is_known(self, folder):
        return folder in self.known or folder in FREE

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


    def test_may_use(self, source, target, libs):
        """Whether tests of a folder beside the order may include `target`
        because their kv_tests line links its library."""
        return (source in self.beside and target in self.order and source in libs
                and target in libs and libs[target].name in libs[source].test_libs)


class Library:
    """A folder's kv_library: its name, what it links, what its tests link."""

    def __init__(self):
        self.name = ""
        self.libs = []
        self.test_libs = []
        self.where = ""


def libraries(root, skip):
    """Folder -> Library, from the kv_library and kv_tests calls."""
    found = {}
    for cmake in sorted(root.rglob("CMakeLists.txt")):
        relative = cmake.relative_to(root)
        if skip(relative.as_posix()):
            continue
        folder = relative.parent.as_posix()
        text = re.sub(r"#[^\n]*", "", cmake.read_text(encoding="utf-8"))
        for call, arguments in CMAKE_CALL.findall(text):
            words = arguments.split()
            if not words:
                continue
            library = found.setdefault(folder, Library())
            libs = words[words.index("LIBS") + 1:] if "LIBS" in words else []
            if call == "kv_library":
                library.name = "kv_" + words[0]
                library.libs += libs
                library.where = relative.as_posix()
            elif call == "kv_tests":
                library.test_libs += libs
            elif words[0].startswith("kv_"):
                # Another library of the folder (a converter's windows) or
                # more of its own.
                library.libs += words[1:]
            else:
                library.test_libs += words[1:]
    return {folder: lib for folder, lib in found.items() if lib.name}


def skipped(relative):
    return relative.split("/")[0] in SKIPPED or "/." in "/" + relative


def check(root):
    root = pathlib.Path(root)
    rules = Rules((root / "docs" / "architecture.md").read_text(encoding="utf-8"))
    libs = libraries(root, skipped)
    folder_of_lib = {lib.name: folder for folder, lib in libs.items()}
    faults = []
    edges = {}
    used = set()  # (folder, target folder) its library code includes
    unknown = set()
    for pattern in SOURCES:
        for path in sorted(root.rglob(pattern)):
            relative = path.relative_to(root).as_posix()
            if skipped(relative):
                continue
            source = rules.folder_of(relative)
            if source and not rules.is_known(source) and source not in unknown:
                unknown.add(source)
                faults.append(f"{relative}: folder {source} is not in the order "
                              f"or a Beside: line of docs/architecture.md")
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
                    used.add((source, target))
                if not rules.allowed(source, target) and not (
                        is_test and rules.test_may_use(source, target, libs)):
                    faults.append(f"{relative}: includes {header}, but {source} "
                                  f"may not use {target}")
                elif source in libs and target in libs:
                    lib = libs[source]
                    linked = lib.libs + (lib.test_libs if is_test else [])
                    if libs[target].name not in linked:
                        faults.append(f"{relative}: includes {header}, but {lib.where} "
                                      f"does not link {libs[target].name}")
    for folder, lib in sorted(libs.items()):
        for name in lib.libs:
            target = folder_of_lib.get(name)
            if target is None or target == folder:
                continue  # a system library, or its own
            if not rules.allowed(folder, target):
                faults.append(f"{lib.where}: {lib.name} links {name}, but {folder} "
                              f"may not use {target}")
            elif (folder, target) not in used:
                faults.append(f"{lib.where}: {lib.name} links {name}, but no file "
                              f"of {folder} includes {target}")
    for (a, b), where in sorted(edges.items()):
        if a < b and (b, a) in edges:
            faults.append(f"{a} and {b} include each other "
                          f"({where}; {edges[(b, a)]})")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} fault(s) break the library order")
    unnamed = check_control_ids.check(root)
    for fault in unnamed:
        print(fault)
    if unnamed:
        print(f"{len(unnamed)} control or dialog number(s) written as numbers")
    return 1 if faults or unnamed else 0


if __name__ == "__main__":
    sys.exit(main())
