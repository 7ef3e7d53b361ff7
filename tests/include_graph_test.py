#!/usr/bin/env python3
"""scripts/include_graph on small made-up source trees: each rule fires on its fault and only there."""

import contextlib
import importlib.machinery
import importlib.util
import io
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the script
SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts", "include_graph")
loader = importlib.machinery.SourceFileLoader("include_graph", SCRIPT)
graph = importlib.util.module_from_spec(importlib.util.spec_from_loader("include_graph", loader))
loader.exec_module(graph)

WINDOWS_H = """struct Windows {
    explicit Windows(class Dialogs& dialogs) : Dialogs(dialogs) {}
    class Editor* Editor = nullptr;
    class Browser* Browser = nullptr;
    class Dialogs& Dialogs;
};
"""
# A tree that keeps every rule.
CLEAN = {
    "ui/floor/windows.h": WINDOWS_H,
    "model/core/rom_file.h": "",
    "model/core/rom_file.cpp": '#include "model/core/rom_file.h"\n',
    "ui/editor/editor.h": '#include "ui/floor/windows.h"\n',
    "ui/editor/editor.cpp": '#include "ui/editor/editor.h"\n#include "model/core/rom_file.h"\n'
                            "void Editor::Draw() { if (!windows_.Browser->IsWindowVisible()) return; }\n"
                            "// if (windows_.Browser) is gone\n",
    "ui/app/main_form.h": "",
    "ui/app/main_menus.cpp": '#include "ui/app/main_form.h"\n',
    "cli/main.cpp": '#include "model/core/rom_file.h"\nbool help = parsed.Help && !parsed.Editor;\n',
}


def Circle(folder, count):
    """count units where x<i>.cpp includes x<i+1>.h, so only the pairs close the circle."""
    files = {}
    for i in range(count):
        files["%s/x%d.h" % (folder, i)] = ""
        files["%s/x%d.cpp" % (folder, i)] = '#include "%s/x%d.h"\n' % (folder, (i + 1) % count)
    return files


def Run(extra):
    with tempfile.TemporaryDirectory() as root:
        for path, text in {**CLEAN, **extra}.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as stream:
                stream.write(text)
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            status = graph.Main(["--root", root, "--check"])
    return status, output.getvalue()


class IncludeGraph(unittest.TestCase):
    def test_clean_tree_passes(self):
        status, output = Run({})
        self.assertEqual(status, 0, output)
        self.assertIn("0 circles", output)

    def test_each_fault_breaks_its_rule(self):
        cases = [
            ("3-unit circle in the floor", Circle("ui/floor", 3), "b", "circle of 3 units"),
            ("3-unit circle in core", Circle("model/core", 3), "b", "circle of 3 units"),
            ("6 window units in a circle", Circle("ui/tools", 6), "a", "circle of 6 window units"),
            ("floor includes a window", {"ui/floor/refresh.cpp": '#include "ui/editor/editor.h"\n'}, "c",
             "ui/floor/refresh.cpp:1"),
            ("model includes a window", {"model/core/x.cpp": '#include "ui/floor/windows.h"\n'}, "c",
             "model/core/x.cpp:1"),
            ("core includes another room", {"model/core/x.cpp": '#include "model/tools/y.h"\n'}, "c",
             "model/core/x.cpp:1"),
            ("cli includes a window", {"cli/x.cpp": '#include "ui/editor/editor.h"\n'}, "c", "cli/x.cpp:1"),
            ("window includes main_form.h", {"ui/editor/pen.cpp": '#include "ui/app/main_form.h"\n'}, "d",
             "ui/editor/pen.cpp:1"),
        ]
        null_checks = ["if (windows_.Editor)", "if (!windows.Browser) return;", "a = w.Editor ? 1 : 0;",
                       "if (windows_.Editor && x)", "if (x && w->Browser)", "b = windows_.Editor == nullptr;",
                       "if (t.windows_.Browser)", "if (Editor* e = windows.Editor) {"]
        cases += [("null check " + line, {"ui/tools/y.cpp": line + "\n"}, "e", "ui/tools/y.cpp:1")
                  for line in null_checks]
        for name, files, rule, detail in cases:
            with self.subTest(name):
                status, output = Run(files)
                self.assertEqual(status, 1, output)
                broken = [line for line in output.splitlines() if line.startswith("rule %s broken" % rule)]
                self.assertTrue(broken and detail in broken[0], output)
                self.assertEqual({line[5] for line in output.splitlines() if " broken: " in line}, {rule}, output)

    def test_five_window_units_in_a_circle_are_allowed(self):
        status, output = Run(Circle("ui/tools", 5))
        self.assertEqual(status, 0, output)
        self.assertIn("circle of 5 units: ui/tools/x0 ui/tools/x1 ui/tools/x2 ui/tools/x3 ui/tools/x4", output)


if __name__ == "__main__":
    unittest.main()
