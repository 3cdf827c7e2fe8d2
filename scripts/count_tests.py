#!/usr/bin/env python3
"""Counts the test cases of one ctest run, for scripts/test.sh.

    count_tests.py LABEL JUNIT TESTS_JSON REPORTS_DIR

JUNIT is ctest's --output-junit file (one entry per test program and its verdict), TESTS_JSON what
`ctest --show-only=json-v1` lists (each test's command), REPORTS_DIR the folder that GTEST_OUTPUT gave
the programs for their own XML reports (GoogleTest's, and check_help.py's in the same form).

A program counts the cases of its report: passed, and failed. A program that ctest saw fail (a crash,
a timeout, a sanitizer's report at exit, a failure outside any case) while its report shows no failed
case, or that left no report, counts as one failed case of its own; one that passed without a report
(not a GoogleTest program) counts as one passed case.

Prints the stage's line, a line for each program counted by its verdict alone, and last
"counts: PASSED FAILED"."""
import json
import os
import re
import sys
import xml.etree.ElementTree as ElementTree


def program_names(command):
    """The names a test's report may carry: each word of its command without folder and extension
    (GoogleTest names the report after its executable, check_help.py after itself)."""
    return [os.path.splitext(os.path.basename(word))[0] for word in command or []]


def report_of(names, reports_dir):
    """The newest report written by one of the programs named (a program rerun after a timeout
    writes NAME_1.xml beside NAME.xml), or None."""
    found = []
    for entry in os.listdir(reports_dir) if os.path.isdir(reports_dir) else []:
        match = re.fullmatch(r"(.+?)(?:_\d+)?\.xml", entry)
        if match and match.group(1) in names:
            path = os.path.join(reports_dir, entry)
            found.append((os.path.getmtime(path), path))
    return max(found)[1] if found else None


def count_report(path):
    """(passed, failed) cases of a GoogleTest XML report; skipped and disabled cases are neither."""
    passed = failed = 0
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("status", "run") == "run" and case.get("result", "completed") == "completed":
            passed += 1
    return passed, failed


def main():
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    label, junit, tests_json, reports_dir = sys.argv[1:]
    try:
        programs = ElementTree.parse(junit).getroot().iter("testcase")
        programs = [(p.get("name"), p.get("status") == "run" and p.find("failure") is None) for p in programs]
    except (OSError, ElementTree.ParseError) as error:
        print("%s: no ctest report (%s): counted as one failure" % (label, error))
        print("counts: 0 1")
        return 0
    if not programs:
        print("%s: ctest ran no test: counted as one failure" % label)
        print("counts: 0 1")
        return 0
    try:
        with open(tests_json, encoding="utf-8") as f:
            commands = {t["name"]: t.get("command") for t in json.load(f)["tests"]}
    except (OSError, ValueError, KeyError) as error:
        print("%s: the list of tests does not read (%s); reports are matched by test name" % (label, error))
        commands = {}

    passed = failed = programs_failed = 0
    notes = []
    for name, ran_green in programs:
        programs_failed += not ran_green
        report = report_of([name] + program_names(commands.get(name)), reports_dir)
        cases_passed, cases_failed = 0, 0
        if report:
            try:
                cases_passed, cases_failed = count_report(report)
            except ElementTree.ParseError as error:
                notes.append("  %s: its report %s does not read (%s)" % (name, report, error))
                report = None
        passed += cases_passed
        failed += cases_failed
        if not ran_green and cases_failed == 0:
            failed += 1
            notes.append("  %s failed %s: counted as one failed case" %
                         (name, "with every reported case passed" if report else "without a report"))
        elif ran_green and not report:
            passed += 1
            notes.append("  %s passed without a report: counted as one case" % name)
    print("%s: %d test cases passed, %d failed; %d of the %d programs failed" %
          (label, passed, failed, programs_failed, len(programs)))
    for note in notes:
        print(note)
    print("counts: %d %d" % (passed, failed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
