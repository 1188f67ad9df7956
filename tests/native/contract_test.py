#!/usr/bin/env python3
"""The harness's reading of the shared headers (tools/harness/contract.py):
every declaration of the real headers is read, lists of boxes follow the boxes
they name, and a line it cannot read stops it with the file and line named
instead of going missing."""

import os
import re
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools", "harness"))

import contract  # noqa: E402


class SharedHeaders(unittest.TestCase):
    def test_every_declaration_of_the_real_headers_is_read(self):
        for path, read in ((contract.HEADER, contract.read_names), (contract.LAYOUT_HEADER, contract.read_layout),
                           (contract.KEYS_HEADER, contract.read_keys)):
            with open(path, encoding="utf-8") as f:
                declared = re.findall(r"^\s*inline constexpr \w+ (\w+)", f.read(), re.MULTILINE)
            self.assertEqual(sorted(vars(read(path))), sorted(declared), path)

    def test_lists_numbers_and_bytes_read_as_written(self):
        layout = contract.LAYOUT
        self.assertEqual(layout.optionMarks, [layout.optionMark0, layout.optionMark1, layout.optionMark2])
        self.assertEqual(layout.optionLabels, [layout.optionLabel0, layout.optionLabel1, layout.optionLabel2])
        self.assertEqual(layout.twipsPerInch // layout.usualDpi, 15)
        self.assertEqual(contract.KEYS.musicKind, "BGM区分".encode("cp932"))


class UnreadableLines(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="solvane-contract-")
        self.addCleanup(self.folder.cleanup)

    def header(self, *lines):
        path = os.path.join(self.folder.name, "shared.h")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(["#pragma once", "", "namespace solvane {", *lines, "}", ""]))
        return path

    def refused(self, read, *lines, line):
        path = self.header(*lines)
        with self.assertRaises(contract.UnreadableLine) as raised:
            read(path)
        self.assertIn(f"{path}:{line}:", str(raised.exception))

    def test_a_declaration_in_no_known_form_names_its_file_and_line(self):
        box = "inline constexpr TwipsBox panel{180, 240, 6795, 2535};"
        self.refused(contract.read_layout, box, "inline constexpr TwipsBox odd{1, 2, 3};", line=5)
        self.refused(contract.read_layout, box, "inline constexpr int sixteen = 0x10;", line=5)
        self.refused(contract.read_layout, box, "inline constexpr double scale = 1.5;", line=5)
        self.refused(contract.read_names, 'inline constexpr char path[] = "a\\\\b";', line=4)
        self.refused(contract.read_keys, 'inline constexpr char key[] = "BGM\\u533a";', line=4)

    def test_a_list_of_boxes_must_name_boxes_above_it(self):
        box = "inline constexpr TwipsBox first{0, 0, 15, 15};"
        self.refused(contract.read_layout, box, "inline constexpr TwipsBox both[] = {first, second};", line=5)
        self.refused(contract.read_layout, "inline constexpr TwipsBox early[] = {first};", box, line=4)

    def test_other_lines_are_not_declarations(self):
        path = self.header("// inline constexpr in a comment is no declaration",
                           "struct TwipsBox {", "    int left, top, width, height;", "};",
                           "constexpr int notShared = 1;",
                           "inline constexpr TwipsBox panel{180, 240, 6795, 2535};")
        self.assertEqual(vars(contract.read_layout(path)), {"panel": contract.Box(180, 240, 6795, 2535)})

    def test_a_header_with_nothing_to_read_is_refused(self):
        with self.assertRaises(contract.UnreadableLine):
            contract.read_names(self.header("struct Nothing {};"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
