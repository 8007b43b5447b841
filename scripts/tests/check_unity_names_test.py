#!/usr/bin/env python3
"""The check of names shared by files compiled together, on small files."""
import contextlib
import io
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import check_unity_names  # noqa: E402

# Two files of one target, and the name the check must report (None: none).
PAIRS = [
    ("anonymous helpers",
     "namespace { int Trim(int v) { return v; } }",
     "namespace { double Trim(double v) { return v; } }", "Trim"),
    ("in anonymous namespaces of unrelated namespaces",
     "namespace a { namespace { int Trim(); } }",
     "namespace b { namespace { int Trim(); } }", None),
    ("an outer one hidden for the other file's code in the inner namespace",
     "namespace { int Size(); }\nnamespace n { int Use() { return Size(); } }",
     "namespace n { namespace { int Size(); } }", "Size"),
    ("an outer one where the other file has no code inside",
     "namespace { int Size(); }",
     "namespace n { namespace { int Size(); } }", None),
    ("functions returning a type with parentheses in its arguments",
     "namespace { std::function<int(int)> Maker(int); }",
     "namespace { std::map<int, std::function<void()>> Maker(); }", "Maker"),
    ("a static function beside a shared definition",
     "namespace n { static void Draw(int) {} }",
     "namespace n { void Draw(double) {} }", "Draw"),
    ("two shared definitions",
     "namespace n { void Draw(int) {} }",
     "namespace n { void Draw(double) {} }", None),
    ("constants",
     "constexpr double kFeetPerMetre = 3.2808;",
     "namespace { const float kFeetPerMetre{3.28F}; }", "kFeetPerMetre"),
    ("pointers to constants, shared",
     "const char* kName = \"a\";", "const char* kName = \"b\";", None),
    ("the same alias of the same thing",
     "namespace { using Clock = std::chrono::steady_clock; namespace gui = platform::gui; }",
     "namespace { using Clock = std::chrono::steady_clock; namespace gui = platform::gui; }",
     None),
    ("using-declarations of the same thing, and of different things",
     "namespace { using std::chrono::seconds; using xrc::a::kOk; }",
     "namespace { using std::chrono::seconds; using xrc::b::kOk; }", "kOk"),
    ("aliases of different things",
     "namespace { using Clock = std::chrono::steady_clock; }",
     "namespace { using Clock = std::chrono::system_clock; }", "Clock"),
    ("types and unscoped enumerators",
     "namespace { struct Options { int kOk; }; enum Kind { kOk, kBad = (1 << 2) }; }",
     "namespace { class Options final : public Base<int> {}; enum class State { kOk }; }",
     "Options"),
    ("enumerators",
     "namespace { enum Kind { kOk, kBad }; }", "namespace { constexpr int kBad = 2; }", "kBad"),
    ("gmock matchers",
     "namespace { MATCHER(IsEven, \"\") { return arg % 2 == 0; } }",
     "MATCHER_P(IsEven, n, \"\") { return arg == n; }", "IsEven"),
    ("members, operators, tests, locals and specializations",
     "namespace { bool operator==(A, A); }\nvoid A::Run() { int kLocal = 1; }\n"
     "TEST(A, Runs) { static int kCount = 0; }\ntemplate <> struct std::hash<A> {};",
     "namespace { bool operator==(B, B); }\nvoid B::Run() { int kLocal = 2; }\n"
     "TEST(B, Runs) { static int kCount = 0; }\ntemplate <> struct std::hash<B> {};",
     None),
    ("code the reader must step over",
     "A::A() : x_(1), y_{2} { f(\"}\"); }\n// }\nconst char* kText = R\"({)\";\n"
     "wxBEGIN_EVENT_TABLE(A, wxFrame)\nEVT_MENU(1, A::On)\nwxEND_EVENT_TABLE()\n"
     "static int Count(int n) { return n; }\nA& A::operator=(const A&) { return *this; }",
     "namespace { int Count(); }", "Count"),
]

# One file and what the check must say of it (None: nothing).
SINGLES = [
    ("a directive at namespace scope",
     "namespace n { namespace { using namespace xrc::dialog; } }", "using namespace xrc::dialog"),
    ("a directive in a function, or of literal suffixes",
     "using namespace std::chrono_literals;\nvoid F() { using namespace std; }", None),
    ("a define left defined", "#define TEXT \\\n  \"a\"\nint x;", "#define TEXT"),
    ("a define undefined again", "#define TEXT \"a\"\n#undef TEXT", None),
    ("a brace too many", "namespace n { } }", "a closing brace too many"),
    ("a namespace never closed", "namespace n { int x;", "never closed"),
]


class CheckUnityNamesTest(unittest.TestCase):
    def faults(self, *texts):
        with tempfile.TemporaryDirectory() as folder:
            paths = []
            for number, text in enumerate(texts):
                path = pathlib.Path(folder) / f"file{number}.cpp"
                path.write_text(text)
                paths.append(str(path))
            return check_unity_names.check_target("target", paths)

    def test_names_repeated_between_two_files(self):
        for case, first, second, name in PAIRS:
            with self.subTest(case):
                faults = self.faults(first, second)
                if name is None:
                    self.assertEqual(faults, [])
                else:
                    self.assertEqual(len(faults), 1, faults)
                    self.assertIn(f"target: {name} is declared by", faults[0])

    def test_what_one_file_leaves_behind(self):
        for case, text, expected in SINGLES:
            with self.subTest(case):
                faults = self.faults(text)
                if expected is None:
                    self.assertEqual(faults, [])
                else:
                    self.assertEqual(len(faults), 1, faults)
                    self.assertIn(expected, faults[0])

    def test_names_of_headers_only_another_file_includes(self):
        header = "#pragma once\nnamespace n {\nfloat Scale(float v);\ninline constexpr float kKmPerNm = 1.852F;\n}\n"
        user = '#include "units.h"\nnamespace n { float Use() { return Scale(kKmPerNm); } }'
        for case, own, expected in [
                ("its own copies", "namespace n { namespace { double Scale(double v);\n"
                 "constexpr double kKmPerNm = 1.852; } }", ["Scale", "kKmPerNm"]),
                ("another namespace", "namespace m { namespace { double Scale(double); } }", []),
                ("the file includes the header itself",
                 '#include "units.h"\nnamespace n { namespace { int Scale(int); } }', [])]:
            with self.subTest(case), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                (root / "units.h").write_text(header)
                (root / "user.cpp").write_text(user)
                (root / "own.cpp").write_text(own)
                faults = check_unity_names.check_target(
                    "target", [str(root / "user.cpp"), str(root / "own.cpp")])
                self.assertEqual([f.split()[1] for f in faults], expected, faults)
                for fault in faults:
                    self.assertIn("units.h", fault)

    def test_reads_the_listing_and_fails_on_a_fault(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            (root / "a.cpp").write_text("namespace { int kX = 1; }")
            (root / "b.cpp").write_text("namespace { int kX = 2; }")
            listing = root / "unity_sources.txt"
            listing.write_text(f"lib: {root / 'a.cpp'} {root / 'b.cpp'} {root / 'gone.cpp'}\n"
                               f"other: {root / 'a.cpp'}\n")
            sys.argv = ["check_unity_names.py", str(root)]
            with contextlib.redirect_stdout(io.StringIO()) as out:
                self.assertEqual(check_unity_names.main(), 1)
            self.assertIn("lib: kX is declared by", out.getvalue())
            listing.write_text(f"lib: {root / 'a.cpp'}\nother: {root / 'b.cpp'}\n")
            self.assertEqual(check_unity_names.main(), 0)


if __name__ == "__main__":
    unittest.main()
