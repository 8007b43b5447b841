#!/usr/bin/env python3
"""The library-order check on small trees of its own."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import check_layering  # noqa: E402

ARCHITECTURE = """# Architecture
    Order: platform <- core <- gps <- app
    Beside: platform/gui uses platform; used by app, tools/conv
    Beside: tools/conv uses platform, platform/gui, core; used by none
"""


class Tree:
    def __init__(self, files):
        self._folder = tempfile.TemporaryDirectory()
        self.root = pathlib.Path(self._folder.name)
        for name, text in {"docs/architecture.md": ARCHITECTURE, **files}.items():
            path = self.root / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)

    def faults(self):
        return check_layering.check(self.root)


def includes(*headers):
    return "".join(f'#include "{h}"\n' for h in headers) + "int x;\n"


BASE = {
    "platform/files.h": "",
    "platform/gui/bridge.h": includes("platform/files.h"),
    "core/geodesy.h": includes("platform/files.h"),
    "gps/port.h": includes("core/geodesy.h", "platform/files.h"),
    "app/main.cpp": includes("gps/port.h", "platform/gui/bridge.h"),
    "tools/conv/conv.cpp": includes("core/geodesy.h", "platform/gui/bridge.h"),
    "testing/scratch.h": includes("platform/files.h"),
    "core/tests/geodesy_test.cpp": includes("core/geodesy.h", "testing/scratch.h", "<vector>"),
}


class CheckLayeringTest(unittest.TestCase):
    def tree(self, files):
        tree = Tree(files)
        self.addCleanup(tree._folder.cleanup)
        return tree

    def test_a_tree_in_order_passes(self):
        self.assertEqual(self.tree(BASE).faults(), [])

    def test_wrong_includes_are_each_reported(self):
        cases = {
            "core/bad.cpp": (includes("app/main.cpp"), "core may not use app"),
            "gps/window.cpp": (includes("platform/gui/bridge.h"), "gps may not use platform/gui"),
            "tools/conv/more.cpp": (includes("gps/port.h"), "tools/conv may not use gps"),
            "gps/tests/port_test.cpp": (includes("app/main.cpp"), "gps may not use app"),
            "core/helper.cpp": (includes("testing/scratch.h"), "core may not use testing"),
        }
        for name, (text, expected) in cases.items():
            with self.subTest(name):
                faults = self.tree({**BASE, name: text}).faults()
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(expected, faults[0])
                self.assertTrue(faults[0].startswith(name))

    def test_two_folders_that_include_each_other_are_reported(self):
        # Neither folder is in the order, so only the cycle can catch it.
        faults = self.tree({**BASE, "extra/a.h": includes("more/b.h"),
                       "more/b.h": includes("extra/a.h")}).faults()
        self.assertEqual(len(faults), 1, faults)
        self.assertIn("extra and more include each other", faults[0])

    def test_a_missing_order_line_is_an_error(self):
        tree = self.tree(BASE)
        (tree.root / "docs/architecture.md").write_text("# nothing here\n")
        with self.assertRaises(ValueError):
            tree.faults()


if __name__ == "__main__":
    unittest.main()
