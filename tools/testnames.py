#!/usr/bin/env python3
"""One naming style for GoogleTest tests.

A file that defines tests ends in `_test.cpp`; a suite name ends in `Test`; a test name is
lowerCamelCase (`FeedParserTest.readsAtomLinks`).

    tools/testnames.py check [DIR...]   list what breaks the style (exit 1 if anything does)
    tools/testnames.py fix [DIR...]     rename files with `git mv`, suites and tests in place

`fix` renames a fixture class (TEST_F, TEST_P) everywhere in its own file; a fixture declared in
a header elsewhere is reported and left alone. Afterwards it lists every place outside the C++
sources that still names an old suite (a `--gtest_filter` in CMake, for instance): fix those by hand.
"""
import os
import re
import subprocess
import sys

TEST_MACRO = re.compile(r"^(TEST|TEST_F|TEST_P)\(\s*(\w+)\s*,\s*(\w+)\s*\)", re.M)
CLASS_DECLARATION = r"\b(class|struct)\s+{}\b"


def test_files(roots):
    for root in roots:
        for folder, _, names in os.walk(root):
            for name in sorted(names):
                path = os.path.join(folder, name)
                if name.endswith(".cpp") and TEST_MACRO.search(read(path)):
                    yield path


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def file_name_for(path):
    if path.endswith("_test.cpp"):
        return path
    stem = path[: -len(".cpp")]
    if stem.endswith("test"):
        stem = stem[: -len("test")]
    return stem + "_test.cpp"


def suite_name_for(suite):
    return suite if suite.endswith("Test") else suite + "Test"


def test_name_for(test):
    """lowerCamelCase: `HTTPErrorWins` -> `httpErrorWins`, `AHugeText` -> `aHugeText`."""
    run = re.match(r"[A-Z]+", test)
    if not run:
        return test
    upper = run.group(0)
    rest = test[len(upper):]
    if len(upper) > 1 and rest[:1].islower():
        return upper[:-1].lower() + upper[-1] + rest
    return upper.lower() + rest


def problems(path):
    found = []
    if file_name_for(path) != path:
        found.append(f"{path}: file name should be {os.path.basename(file_name_for(path))}")
    for macro, suite, test in TEST_MACRO.findall(read(path)):
        if suite_name_for(suite) != suite:
            found.append(f"{path}: {macro}({suite}, {test}): suite should be {suite_name_for(suite)}")
        if test_name_for(test) != test:
            found.append(f"{path}: {macro}({suite}, {test}): test should be {test_name_for(test)}")
    return found


def fix(path, renamed_suites):
    text = read(path)
    fixtures = {suite for macro, suite, _ in TEST_MACRO.findall(text) if macro != "TEST"}
    for suite in sorted(fixtures):
        if suite_name_for(suite) == suite:
            continue
        if not re.search(CLASS_DECLARATION.format(suite), text):
            print(f"{path}: fixture {suite} is declared elsewhere; left as it is")
            continue
        text = re.sub(rf"\b{suite}\b", suite_name_for(suite), text)
        renamed_suites[suite] = suite_name_for(suite)

    def rename(match):
        macro, suite, test = match.groups()
        if macro == "TEST" and suite_name_for(suite) != suite:
            renamed_suites[suite] = suite_name_for(suite)
            suite = suite_name_for(suite)
        return f"{macro}({suite}, {test_name_for(test)})"

    write(path, TEST_MACRO.sub(rename, text))
    target = file_name_for(path)
    if target != path:
        subprocess.run(["git", "mv", path, target], check=True)


def report_other_references(renamed_suites, roots):
    tree = subprocess.run(["git", "ls-files"], capture_output=True, text=True, check=True).stdout.split()
    fixed = set(test_files(roots))
    for path in tree:
        # Code naming a class after which a suite was named is no reference to the suite.
        if path in fixed or not os.path.isfile(path) or path.endswith((".cpp", ".h", ".png", ".wav", ".svg")):
            continue
        try:
            text = read(path)
        except UnicodeDecodeError:
            continue
        for old in renamed_suites:
            for line_number, line in enumerate(text.splitlines(), 1):
                if re.search(rf"\b{old}\b", line):
                    print(f"{path}:{line_number}: still names {old}: {line.strip()}")


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("check", "fix"):
        print(__doc__)
        return 2
    roots = sys.argv[2:] or ["tests"]
    files = list(test_files(roots))
    if sys.argv[1] == "check":
        found = [problem for path in files for problem in problems(path)]
        print("\n".join(found) if found else f"{len(files)} test files follow the naming style")
        return 1 if found else 0
    renamed_suites = {}
    for path in files:
        fix(path, renamed_suites)
    report_other_references(renamed_suites, roots)
    return 0


if __name__ == "__main__":
    sys.exit(main())
