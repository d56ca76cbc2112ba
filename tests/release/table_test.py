#!/usr/bin/env python3
"""The channel table check: the rows a release may hold, every kind of bad
row refused with its line and field named, and a refused table stopping the
real configure before anything is built.

    table_test.py <source dir> <scratch dir>"""
import glob
import os
import shutil
import subprocess
import sys
import unittest

SOURCE, SCRATCH = sys.argv[1], sys.argv[2]
CHECKER = os.path.join(SOURCE, "tools", "channel_table.py")
HEADER = "output_name,channel_id,download_path,official,banner_url,archive_keys\n"
GOOD = "Download_kp_200500,200500,/update/kpwd_lobby.zip,0,http://127.0.0.1/b/index.do?siteID=100&channelID=0,\n"
# Shaped like minisign public keys (base64 of "Ed" and 40 more bytes).
KEY1 = "RWQ" + "A" * 53
KEY2 = "RWT" + "z" * 53


def write_table(name, *rows):
    os.makedirs(SCRATCH, exist_ok=True)
    path = os.path.join(SCRATCH, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(HEADER + GOOD + "".join(rows))
    return path


def check(table):
    rows = table + ".cmake"
    if os.path.exists(rows):
        os.remove(rows)
    result = subprocess.run([sys.executable, CHECKER, table, rows], capture_output=True, text=True)
    return result, os.path.exists(rows)


class Rows(unittest.TestCase):
    def test_values_that_just_fit_are_taken(self):
        table = write_table(
            "fits.csv",
            # 1023 bytes of path in code page 936 (a CJK character takes 2),
            # 1023 UTF-16 units of banner (the last character takes 2).
            "kp.channel-2,2147483647,/" + "中" * 510 + "ab,1,http://x/" + "b" * 1012 + "\U0001F600,\n",
            '"Quoted_1",0001,/a,0,"http://x/?a=1;b=\\,""c""",' + KEY1 + "\n",
            f"Two_keys,3,/a,0,http://x/,{KEY1} {KEY2}\n",
            "\n")
        result, written = check(table)
        self.assertEqual(0, result.returncode, result.stderr)
        self.assertTrue(written)

    def test_each_bad_value_is_refused_with_its_line_and_field(self):
        cases = [
            ("channel_id", "Download_kp_2,30a1,/a,0,http://x/,\n"),
            ("channel_id", "Download_kp_2,-5,/a,0,http://x/,\n"),
            ("channel_id", "Download_kp_2,0,/a,0,http://x/,\n"),
            ("channel_id", "Download_kp_2,2147483648,/a,0,http://x/,\n"),
            ("official", "Download_kp_2,2,/a,2,http://x/,\n"),
            ("official", "Download_kp_2,2,/a,,http://x/,\n"),
            ("download_path", "Download_kp_2,2,update/a.zip,0,http://x/,\n"),
            ("download_path", "Download_kp_2,2,/" + "a" * 1023 + ",0,http://x/,\n"),
            ("download_path", "Download_kp_2,2,/" + "中" * 511 + "a,0,http://x/,\n"),
            ("banner_url", "Download_kp_2,2,/a,0,http://x/" + "b" * 1015 + ",\n"),
            ("banner_url", "Download_kp_2,2,/a,0,,\n"),
            ("output_name", ",2,/a,0,http://x/,\n"),
            ("output_name", "download_KP_200500,2,/a,0,http://x/,\n"),
            ("output_name", "../Download_kp_2,2,/a,0,http://x/,\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1} {KEY2} {KEY1}\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1}  {KEY2}\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1} \n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1[:-1]}\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1}A\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,{KEY1[:-1]}-\n"),
            ("archive_keys", f"Download_kp_2,2,/a,0,http://x/,RUQ{KEY1[3:]}\n"),
            (None, "Download_kp_2,2,/a,0\n"),
        ]
        for i, (field, row) in enumerate(cases):
            with self.subTest(field=field, row=row[:60]):
                table = write_table(f"bad{i}.csv", row)
                result, written = check(table)
                self.assertEqual(1, result.returncode)
                self.assertFalse(written)
                self.assertIn(f"{table}:3", result.stderr)
                self.assertIn(f": {field}: " if field else ": has 4 fields", result.stderr)
                self.assertEqual(1, len(result.stderr.splitlines()), result.stderr)


class Configure(unittest.TestCase):
    def test_a_bad_row_stops_the_configure_and_nothing_is_built(self):
        table = write_table("configure.csv", "Download_kp_2,2,/a,yes,http://x/,\n")
        build = os.path.join(SCRATCH, "build")
        shutil.rmtree(build, ignore_errors=True)
        env = {k: v for k, v in os.environ.items() if not k.startswith("MAKE")}
        result = subprocess.run(
            ["cmake", "-S", SOURCE, "-B", build, "-DLOBBY_TESTS=OFF",
             "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(SOURCE, "cmake", "mingw-i686.cmake"),
             "-DLOBBY_CHANNELS=" + table],
            capture_output=True, text=True, env=env)
        self.assertNotEqual(0, result.returncode)
        self.assertIn(f"{table}:3 (Download_kp_2): official:", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(build, "Makefile")))
        self.assertEqual([], glob.glob(os.path.join(build, "*.exe")))
        shutil.rmtree(build, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
