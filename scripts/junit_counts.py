#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints "PASSED FAILED SKIPPED" for a JUnit report that ctest wrote (--output-junit)."""
import sys
import xml.etree.ElementTree as ElementTree


def main() -> int:
    if len(sys.argv) != 2:
        print("usage: junit_counts.py REPORT.xml", file=sys.stderr)
        return 2
    try:
        root = ElementTree.parse(sys.argv[1]).getroot()
    except (OSError, ElementTree.ParseError) as error:
        print(f"cannot read {sys.argv[1]}: {error}", file=sys.stderr)
        return 1
    passed = failed = skipped = 0
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            skipped += 1
        else:
            passed += 1
    if passed + failed + skipped == 0:
        print(f"{sys.argv[1]} holds no test case", file=sys.stderr)
        return 1
    print(passed, failed, skipped)
    return 0


if __name__ == "__main__":
    sys.exit(main())
