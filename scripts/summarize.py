#!/usr/bin/env python3
"""Adds up ctest JUnit reports and prints the closing line; exits 1 on any failure.

  summarize.py REPORT...
  summarize.py --write REPORT skipped|failed REASON NAME...   (a report for
      scenarios that could not run, so that the closing line counts them)
"""
import sys
import xml.etree.ElementTree as ET

if len(sys.argv) > 4 and sys.argv[1] == "--write":
    report, outcome, reason, names = sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
    suite = ET.Element("testsuite", name="not run", tests=str(len(names)))
    for name in names:
        case = ET.SubElement(suite, "testcase", name=name, status="notrun" if outcome == "skipped" else "fail")
        ET.SubElement(case, "skipped" if outcome == "skipped" else "failure", message=reason)
    ET.ElementTree(suite).write(report, encoding="utf-8", xml_declaration=True)
    sys.exit(0)

passed = failed = skipped = 0
for path in sys.argv[1:]:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        print(f"cannot read {path}: {e}", file=sys.stderr)
        failed += 1
        continue
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            skipped += 1
        else:
            passed += 1
if passed + failed == 0:
    failed += 1
    print("no test ran", file=sys.stderr)
line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed else 0)
