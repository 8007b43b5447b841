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
    Beside: tools/demo uses platform; used by none
    Beside: testing uses platform; used by none
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
    "tools/demo/feeder.cpp": includes("platform/files.h"),
    "tools/demo/tests/feeder_test.cpp": includes("gps/port.h", "testing/scratch.h"),
    "bench/port_bench.cpp": includes("app/main.cpp"),
    "platform/CMakeLists.txt": "kv_library(platform LIBS Threads::Threads)\n",
    "core/CMakeLists.txt": "kv_library(core LIBS kv_platform)\nkv_tests(core)\n",
    "gps/CMakeLists.txt": "kv_library(gps LIBS kv_platform kv_core) # the port\n",
    "tools/demo/CMakeLists.txt": "kv_library(demo LIBS kv_platform)\nkv_tests(demo LIBS kv_gps)\n",
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
            "tools/demo/window.cpp": (includes("app/main.cpp"), "tools/demo may not use app"),
            "testing/app_probe.h": (includes("app/main.cpp"), "testing may not use app"),
            "tools/demo/tests/more_test.cpp": (includes("core/geodesy.h"),
                                               "tools/demo may not use core"),
            "tools/newtool/main.cpp": (includes("core/geodesy.h"),
                                       "folder tools/newtool is not in the order"),
            "maps/reader.cpp": (includes("platform/files.h"), "folder maps is not in the order"),
        }
        for name, (text, expected) in cases.items():
            with self.subTest(name):
                faults = self.tree({**BASE, name: text}).faults()
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(expected, faults[0])
                self.assertTrue(faults[0].startswith(name))

    def test_link_lines_must_match_the_includes(self):
        cases = {
            # gps includes platform/ and core/ but links only one of them.
            "gps/CMakeLists.txt": ("kv_library(gps LIBS kv_platform)\n",
                                   "gps/port.h: includes core/geodesy.h, but gps/CMakeLists.txt "
                                   "does not link kv_core"),
            # Linked, but nothing of core includes gps.
            "core/CMakeLists.txt": ("kv_library(core LIBS kv_platform kv_gps)\n",
                                    "kv_core links kv_gps, but core may not use gps"),
            "tools/demo/CMakeLists.txt": ("kv_library(demo LIBS kv_platform kv_core)\n"
                                          "kv_tests(demo LIBS kv_gps)\n",
                                          "kv_demo links kv_core, but tools/demo may not use core"),
            "platform/CMakeLists.txt": ("kv_library(platform LIBS kv_platform kv_core)\n",
                                        "kv_platform links kv_core, but platform may not use core"),
        }
        for name, (text, expected) in cases.items():
            with self.subTest(name):
                faults = self.tree({**BASE, name: text}).faults()
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(expected, faults[0])

    def test_a_link_without_an_include_is_reported(self):
        faults = self.tree({**BASE, "gps/CMakeLists.txt":
                            "kv_library(gps LIBS kv_platform kv_core)\n",
                            "gps/port.h": includes("platform/files.h")}).faults()
        self.assertEqual(faults, ["gps/CMakeLists.txt: kv_gps links kv_core, but no file of gps "
                                  "includes core"])

    def test_tests_beside_the_order_use_only_what_they_link(self):
        tree = {**BASE, "tools/demo/CMakeLists.txt": "kv_library(demo LIBS kv_platform)\n"}
        faults = self.tree(tree).faults()
        self.assertEqual(len(faults), 1, faults)
        self.assertIn("tools/demo/tests/feeder_test.cpp: includes gps/port.h", faults[0])

    def test_two_folders_that_include_each_other_are_reported(self):
        # Neither folder is in the order, so only the cycle says how they tangle.
        faults = self.tree({**BASE, "extra/a.h": includes("more/b.h"),
                            "more/b.h": includes("extra/a.h")}).faults()
        self.assertIn("extra and more include each other (extra/a.h; more/b.h)", faults)

    def test_a_missing_order_line_is_an_error(self):
        tree = self.tree(BASE)
        (tree.root / "docs/architecture.md").write_text("# nothing here\n")
        with self.assertRaises(ValueError):
            tree.faults()


if __name__ == "__main__":
    unittest.main()
