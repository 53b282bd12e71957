#!/usr/bin/env python3
"""One line from a ctest JUnit report: how many tests ran, passed, failed and were skipped.
Usage: ctest-summary.py NAME REPORT.xml"""
import sys
import xml.etree.ElementTree as ET

name, report = sys.argv[1], sys.argv[2]
try:
    cases = ET.parse(report).getroot().iter("testcase")
except (OSError, ET.ParseError) as e:
    print(f"{name}: no test report ({e})")
    sys.exit(0)
counts = {"passed": 0, "failed": 0, "skipped": 0}
for case in cases:
    if case.find("skipped") is not None or case.get("status") in ("disabled", "notrun"):
        counts["skipped"] += 1
    elif case.find("failure") is not None or case.get("status") == "fail":
        counts["failed"] += 1
    else:
        counts["passed"] += 1
ran = counts["passed"] + counts["failed"]
print(f"{name}: {ran} tests run, {counts['passed']} passed, {counts['failed']} failed, "
      f"{counts['skipped']} skipped")
