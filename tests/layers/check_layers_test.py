"""The layering check finds upward includes and window code, and nothing else."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check_layers.py")


def run_on(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        done = subprocess.run([sys.executable, CHECKER, "--root", root], capture_output=True, text=True)
        return done.returncode, done.stdout


class LayeringCheck(unittest.TestCase):
    def test_includes_of_own_and_lower_layers_pass(self):
        code, out = run_on({
            "store/queries.cpp": '#include "store/queries.h"\n#include "base/text.h"\n#include "platform/cedb/windbase.h"\n',
            "sheet/page.cpp": '#include "export/csv_writer.h"\n#include "settings/settings.h"\n',
            "shell/main.cpp": '#include "sheet/page.h"\n',
            "tests/store/any_test.cpp": '#include "shell/main_window.h"\n',
        })
        self.assertEqual(0, code, out)
        self.assertIn("no faults", out)

    def test_an_upward_include_names_file_line_and_both_layers(self):
        code, out = run_on({
            "store/queries.cpp": '#include "store/queries.h"\n\n#include "views/find_bar.h"\n',
        })
        self.assertEqual(1, code)
        self.assertIn('store/queries.cpp:3: includes "views/find_bar.h": layer store may not include layer views', out)

    def test_every_include_form_is_read(self):
        code, out = run_on({
            "store/a.cpp": '#include <views/list.h>\n',
            "store/b.cpp": '#include "../views/list.h"\n',
            "store/c.cpp": '#define LIST_HEADER "views/list.h"\n#include LIST_HEADER\n',
            "store/d.cpp": '#include SOMEWHERE\n',
            "store/queries/f.cpp": '#include "labels/../../../views/list.h"\n',
            "store/e.cpp": '#include <windows.h>\n#include "../base/text.h"\n#include "labels.h"\n',
            "store/labels.h": "",
        })
        self.assertEqual(1, code)
        for fault in ('store/a.cpp:1: includes "views/list.h"', 'store/b.cpp:1: includes "../views/list.h"',
                      'store/c.cpp:2: includes "views/list.h"', "store/d.cpp:1: includes SOMEWHERE",
                      'store/queries/f.cpp:1: includes "labels/../../../views/list.h"'):
            self.assertIn(fault, out)
        self.assertNotIn("store/e.cpp", out)

    def test_window_code_in_the_store_and_contacts_is_reported_but_not_in_comments(self):
        code, out = run_on({
            "contacts/source.cpp": "// SendMessageW is not used here\nvoid f() { SendMessageW(0, 0, 0, 0); }\n",
            "store/labels.cpp": "int n = LB_ERR;\n",
            "store/ask.cpp": "void a() { PostMessageW(0, 0, 0, 0); }\nvoid b() { ShowWindow(0, 0); }\n"
                             "void c() { GetDlgItemTextW(0, 0, 0, 0); }\nvoid d() { MessageBoxW(0, 0, 0, 0); }\n"
                             "void e() { EnableWindow(0, 1); }\n",
            "views/list.cpp": "void g() { SendMessageW(0, 0, 0, 0); }\n",
        })
        self.assertEqual(1, code)
        self.assertIn("contacts/source.cpp:2: window code (SendMessageW)", out)
        self.assertIn("store/labels.cpp:1: window code (LB_ERR)", out)
        for fault in ("ask.cpp:1: window code (PostMessageW)", "ask.cpp:2: window code (ShowWindow)",
                      "ask.cpp:3: window code (GetDlgItemTextW)", "ask.cpp:4: window code (MessageBoxW)",
                      "ask.cpp:5: window code (EnableWindow)"):
            self.assertIn(fault, out)
        self.assertNotIn("source.cpp:1", out)
        self.assertNotIn("views/list.cpp", out)


if __name__ == "__main__":
    unittest.main()
