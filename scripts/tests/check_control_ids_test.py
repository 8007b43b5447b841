#!/usr/bin/env python3
"""The check for control and dialog numbers, on lines of code of its own."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import check_control_ids  # noqa: E402

FLAGGED = [
    "FindWindow(1003)",
    "if (wxWindow* w = dialog->FindWindow( 1046 )) w->Show();",
    "FindWindowById(1200, this)",
    "GetDlgItem(1001)",
    "DDX_Control<wxComboBox>(pDX, 1363, combo_)",
    "XRCCTRL(*this, \"1005\", wxTextCtrl)",
    "XRCID(\"32775\")",
    "gui::DDX_TextInt(pDX, 1334 + leg, weight);",
    "DDX_Radio(pDX, 1073, values_.usePolar);",
    "gui::DDX_TextFloat(m.pDX(), 1336, value);",
    "SetControlText(*this, 1386, \"[m]\");",
    "ShowControl(dialog, 1396, shown)",
    ": COptionsPage(204, \"Polar\")",
    ": CScrolledPropertyPage(235, \"Cycle\")",
    "wxCommandEvent declare(wxEVT_BUTTON, 1164);",
    "new wxCommandEvent(wxEVT_BUTTON, 1004)",
    "Bind(wxEVT_TEXT, &Dlg::OnText, this, 1014);",
    "Bind(wxEVT_BUTTON, &Sheet::OnColour, this, 1097, 1111);",
    "wxXmlResource::Get()->LoadDialog(this, parent, \"229\")",
    "LoadPanel(notebook_, \"106\")",
    "LoadMenuBar(\"128\")",
    "LoadToolBar(this, \"128\")",
    "AttachUnknownControl(\"1001\", combo_, this)",
]

NOT_FLAGGED = [
    "FindWindow(kUseUtm)",
    "FindWindow(kFirstLevel + 3)",
    "FindWindow(id)",
    "gui::DDX_TextInt(pDX, kFirstLegWeight + leg, weight);",
    "gui::DDV_MinMaxInt(pDX, values_.logInterval, 0, 1000);",
    "SetSpin(kLogIntervalSpin, 0, 1000, values_.logInterval, kLogInterval);",
    "wxSize(1000, 640)",
    "AppendColumn(heading, wxLIST_FORMAT_LEFT, 200);",
    "LoadDialog(this, parent, std::to_string(kMainDialog))",
    "Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Show(); }, timer_.GetId());",
    "// FindWindow(1003) is the check box",
    "/* DDX_Check(pDX, 1003, x) */ int y = 1003;",
    "const char* text = \"FindWindow(1003)\";",
]


def faults(line):
    return check_control_ids.faults_in("f.cpp", "int a;\n" + line + "\n")


class ControlIds(unittest.TestCase):
    def test_numbers_where_a_control_or_dialog_is_taken_are_faults(self):
        for line in FLAGGED:
            with self.subTest(line=line):
                found = faults(line)
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith("f.cpp:2: a control or dialog number in "),
                                found[0])

    def test_names_sizes_ranges_comments_and_texts_pass(self):
        for line in NOT_FLAGGED:
            with self.subTest(line=line):
                self.assertEqual(faults(line), [])

    def test_the_tree_is_searched_but_platform_and_build_are_not(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            for name in ("frame/a.cpp", "platform/gui/tests/b.cpp", "build/c.cpp", "tools/x/d.h"):
                (root / name).parent.mkdir(parents=True, exist_ok=True)
                (root / name).write_text("FindWindow(1003);\n")
            found = check_control_ids.check(root)
            self.assertEqual([f.split(":")[0] for f in found], ["frame/a.cpp", "tools/x/d.h"])


if __name__ == "__main__":
    unittest.main()
