#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Finds the slips that scripts/mutate.sh plants, and plants one.

  mutants.py sample SEED COUNT [FOLDER-OR-FILE...]   the sampled slips as TSV on stdout
  mutants.py apply SAMPLE NUMBER SOURCE DEST         DEST = SOURCE with slip NUMBER of SAMPLE

Candidate sites are read line by line from the *.cpp files of roster/, search/, rtf/ and window/
(their tests, benches, fuzz targets and app/ live elsewhere). Comments, string and character
literals and preprocessor lines are blanked out before anything is looked at. The code is laid out
by .clang-format, which puts blanks around every binary operator and none after a unary one or
inside a template's angle brackets, so "blank on both sides" tells a comparison, a sum or a logical
operator from a template bracket, a pointer declarator or an rvalue reference.

Kinds of slip:
  relational  <  <=  >  >=  ==  !=   swapped with its partner (< with <=, == with !=, ...)
  arithmetic  +  -  *  /  +=  -=  *=  /=   swapped with its partner
  constant    an integer literal n becomes n + 1; 0 and 1 swap
  logical     && with ||; a unary ! dropped
  condition   if (X) becomes if (!(X))
  call        a line that is a bare call statement, foo(...); or a.b(...);, becomes {}
              (an empty block rather than nothing, so an if without braces keeps its shape)

Each slip is one edit at a known line and column (1-based, in characters): the original text
found there is replaced. The sample takes COUNT slips per top folder: every candidate is ranked by
a hash of the seed, its file, its line's text, its column and its replacement, so a seed gives the
same sample on the same code, and edits elsewhere in a file leave a site's rank alone.

A slip that no input can tell from the code (a capacity reserved, a threshold that only picks a
slower path, a bound that cannot be reached) is no blind spot of the tests. Once reviewed, it goes
in scripts/equivalent-slips.txt with the reason, and is not drawn: tab-separated, the file, the
code of its line as it stands, the slip as --list shows it, and why. A row covers that slip
wherever it falls on the line ("0 -> 1" covers every 0 there). A code ending in "..." covers every
line that begins with the rest; the slip "n -> n+1, n a multiple of 15" covers each constant slip
of that form (0 -> 1 included), as a twip more than a whole number of pixels truncates to the
same pixel.

Sample columns: number, file, line, column, kind, what, the line after the slip, original text,
replacement.
"""

import hashlib
import os
import re
import sys

FOLDERS = ["roster", "search", "rtf", "window"]
# Slips no input can tell from the code, each with the reason, are listed here and never drawn.
EQUIVALENT = "scripts/equivalent-slips.txt"

TOKEN = re.compile(
    r"(?P<num>\.?\d(?:[eEpP][+-]|[\w.'])*)"
    r"|(?P<id>[A-Za-z_]\w*)"
    r"|(?P<op><=>|<<=|>>=|->\*|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||\+=|-=|\*=|/=|%=|&=|\|=|\^=|::|\.\.\.|\.\*"
    r"|[-+*/%<>=!&|^~?:;,.(){}\[\]#])"
    r"|(?P<ws>\s+)"
    r"|(?P<other>.)"
)

SWAP = {
    "<": ("<=", "relational"), "<=": ("<", "relational"),
    ">": (">=", "relational"), ">=": (">", "relational"),
    "==": ("!=", "relational"), "!=": ("==", "relational"),
    "+": ("-", "arithmetic"), "-": ("+", "arithmetic"),
    "*": ("/", "arithmetic"), "/": ("*", "arithmetic"),
    "+=": ("-=", "arithmetic"), "-=": ("+=", "arithmetic"),
    "*=": ("/=", "arithmetic"), "/=": ("*=", "arithmetic"),
    "&&": ("||", "logical"), "||": ("&&", "logical"),
}

# First words of a line that look like a call but are not one to drop.
NOT_CALLS = {"return", "co_return", "throw", "delete", "if", "while", "for", "switch", "case", "else", "do",
             "sizeof", "static_assert", "assert", "Q_ASSERT", "Q_UNUSED", "Q_ASSERT_X"}
CALL_LINE = re.compile(r"^(?:[A-Za-z_]\w*(?:::|\.|->))*([A-Za-z_]\w*)(?:<[^;()]*>)?\(.*\)\s*;$")
UNCHECKED = re.compile(r"^\s*(?:Q_ASSERT|Q_ASSERT_X|assert|static_assert)\s*\(")
INTEGER = re.compile(r"^(\d[\d']*)([uUlLzZ]*)$")


def mask(lines):
    """The lines with comments, literals' contents and preprocessor lines blanked (columns kept)."""
    out = []
    in_comment = False
    continued_directive = False
    for text in lines:
        body = text.rstrip("\r\n")
        if continued_directive or (not in_comment and body.lstrip().startswith("#")):
            continued_directive = body.endswith("\\")
            out.append(" " * len(body))
            continue
        chars = list(body)
        i, n = 0, len(body)
        while i < n:
            c = body[i]
            if in_comment:
                if body.startswith("*/", i):
                    chars[i] = chars[i + 1] = " "
                    in_comment = False
                    i += 2
                else:
                    chars[i] = " "
                    i += 1
            elif body.startswith("//", i):
                for k in range(i, n):
                    chars[k] = " "
                break
            elif body.startswith("/*", i):
                chars[i] = chars[i + 1] = " "
                in_comment = True
                i += 2
            elif c == "'" and is_digit_separator(body, i):
                i += 1
            elif c in "\"'":
                k = i + 1
                while k < n and body[k] != c:
                    k += 2 if body[k] == "\\" else 1
                for j in range(i + 1, min(k, n)):
                    chars[j] = " "
                i = k + 1
            else:
                i += 1
        out.append("".join(chars))
    return out


def is_digit_separator(body, i):
    """A ' inside a number (1'000) rather than the start of a character literal (u'0')."""
    k = i
    while k > 0 and (body[k - 1].isalnum() or body[k - 1] in "_'"):
        k -= 1
    return k < i and body[k].isdigit()


def tokens(masked):
    return [(m.lastgroup, m.group(), m.start()) for m in TOKEN.finditer(masked) if m.lastgroup != "ws"]


def text_operand(before, after):
    """Whether a + or - has a string or character literal next to it: text being joined, where a
    - would not build."""
    return before in ('"', "'") or after[1] in ('"', "'") \
        or (after[0] == "id" and after[1] in ("QStringLiteral", "QLatin1String", "QString", "QChar", "u", "u8", "L"))


def spaced(masked, start, end):
    return start > 0 and masked[start - 1].isspace() and end < len(masked) and masked[end].isspace()


def matching_paren(masked, open_at):
    depth = 0
    for k in range(open_at, len(masked)):
        if masked[k] == "(":
            depth += 1
        elif masked[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def balanced(masked):
    depth = 0
    for c in masked:
        depth += (c == "(") - (c == ")")
        if depth < 0:
            return False
    return depth == 0


def last_code(masked_lines, index):
    """The last non-blank code line before line index, stripped ("" at the top of the file)."""
    for k in range(index - 1, -1, -1):
        s = masked_lines[k].strip()
        if s:
            return s
    return ""


def sites(path):
    """Every candidate slip of one file: (line, column, kind, original, replacement)."""
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
        lines = f.read().splitlines()
    masked_lines = mask(lines)
    found = []
    unchecked_depth = 0  # > 0 inside an assertion that spans lines
    for index, (text, masked) in enumerate(zip(lines, masked_lines)):
        # A slip inside an assertion breaks the check, not the code it checks, so no test could
        # notice it; static_assert is checked by the compiler alone.
        if unchecked_depth > 0 or UNCHECKED.match(masked):
            unchecked_depth += masked.count("(") - masked.count(")")
            unchecked_depth = max(unchecked_depth, 0)
            continue
        toks = tokens(masked)
        for t, (kind, value, start) in enumerate(toks):
            end = start + len(value)
            before = toks[t - 1][1] if t > 0 else ""
            after = toks[t + 1] if t + 1 < len(toks) else ("", "", 0)
            if kind == "op" and value in SWAP and before != "operator" and spaced(masked, start, end) \
                    and not (value in ("+", "-") and text_operand(before, after)):
                repl, what = SWAP[value]
                found.append((index + 1, start + 1, what, value, repl))
            elif kind == "op" and value == "!" and end < len(masked) and not masked[end].isspace() \
                    and before != "operator":
                found.append((index + 1, start + 1, "logical", "!", ""))
            elif kind == "num":
                m = INTEGER.match(value)
                digits = m.group(1).replace("'", "") if m else ""
                if m and (digits == "0" or not digits.startswith("0")):
                    n = int(digits)
                    new = 1 if n == 0 else 0 if n == 1 else n + 1
                    found.append((index + 1, start + 1, "constant", value, f"{new}{m.group(2)}"))
            elif kind == "id" and value == "if" and t + 1 < len(toks) and toks[t + 1][1] == "(":
                open_at = toks[t + 1][2]
                close_at = matching_paren(masked, open_at)
                inner = masked[open_at + 1:close_at]
                if close_at > open_at + 1 and ";" not in inner and inner.strip() \
                        and not any(v == "=" for _, v, _ in tokens(inner)):
                    cond = text[open_at + 1:close_at]
                    found.append((index + 1, open_at + 2, "condition", cond, f"!({cond})"))
        stripped = masked.strip()
        m = CALL_LINE.match(stripped)
        first = re.match(r"[A-Za-z_]\w*", stripped).group() if m else ""
        if m and first not in NOT_CALLS and m.group(1) not in NOT_CALLS \
                and not re.match(r"[A-Z][A-Z0-9_]+$", m.group(1)) and balanced(stripped):
            previous = last_code(masked_lines, index)
            if previous == "" or previous[-1] in ";{}):" or re.search(r"\belse$", previous):
                col = len(masked) - len(masked.lstrip())
                call = text[col:len(masked.rstrip())]
                found.append((index + 1, col + 1, "call", call, "{}"))
    return lines, found


def source_files(filters):
    files = []
    for folder in FOLDERS:
        for root, dirs, names in os.walk(folder):
            dirs[:] = sorted(d for d in dirs if d not in ("tests", "bench", "fuzz", "app"))
            files += [os.path.join(root, n) for n in sorted(names) if n.endswith(".cpp")]
    if filters:
        wanted = [f.rstrip("/") for f in filters]
        files = [p for p in files if any(p == w or p.startswith(w + "/") for w in wanted)]
    return files


def shorten(text, width=100):
    text = text.strip()
    return text if len(text) <= width else text[:width - 3] + "..."


def describe(kind, orig, repl):
    if kind == "condition":
        return f"if ({shorten(orig, 60)}) -> if (!(...))"
    if kind == "call":
        return f"drop {shorten(orig, 70)}"
    if repl == "":
        return f"drop {orig}"
    return f"{orig} -> {repl}"


WHOLE_PIXELS = "n -> n+1, n a multiple of 15"


def equivalent_slips():
    """The slips reviewed as equivalent, from EQUIVALENT: a set of (file, code of the line, slip),
    and a list of the rows that cover many lines, (file, code prefix, slip)."""
    exact, prefixed = set(), []
    if os.path.exists(EQUIVALENT):
        with open(EQUIVALENT, encoding="utf-8") as f:
            for row in f:
                if row.strip() and not row.startswith("#"):
                    path, code, slip = row.rstrip("\n").split("\t")[:3]
                    code = code.strip()
                    if code.endswith("..."):
                        prefixed.append((path, code[:-3], slip))
                    else:
                        exact.add((path, code, slip))
    return exact, prefixed


def is_equivalent(equivalent, path, code, kind, orig, repl):
    exact, prefixed = equivalent
    slip = describe(kind, orig, repl)
    if (path, code, slip) in exact:
        return True
    whole_pixels = kind == "constant" and orig.isdigit() and int(orig) % 15 == 0 and repl == str(int(orig) + 1)
    return any(p == path and code.startswith(prefix) and (s == slip or (s == WHOLE_PIXELS and whole_pixels))
               for p, prefix, s in prefixed)


def sample(seed, count, filters):
    by_folder = {}
    equivalent = equivalent_slips()
    left_out = 0
    for path in source_files(filters):
        lines, found = sites(path)
        for line, col, kind, orig, repl in found:
            text = lines[line - 1]
            if is_equivalent(equivalent, path, text.strip(), kind, orig, repl):
                left_out += 1
                continue
            key = hashlib.sha256(f"{seed}\t{path}\t{text.strip()}\t{col}\t{orig}\t{repl}".encode(
                "utf-8", "surrogateescape")).hexdigest()
            after = text[:col - 1] + repl + text[col - 1 + len(orig):]
            by_folder.setdefault(path.split("/")[0], []).append(
                (key, line, (path, line, col, kind, orig, repl, text, after)))
    chosen = []
    for folder in sorted(by_folder):
        ranked = sorted(by_folder[folder], key=lambda c: (c[0], c[1]))[:count]
        chosen += sorted((c[2] for c in ranked), key=lambda s: (s[0], s[1], s[2], s[5]))
    if left_out:
        print(f"{left_out} slips reviewed as equivalent are not drawn ({EQUIVALENT}).", file=sys.stderr)
    for number, (path, line, col, kind, orig, repl, text, after) in enumerate(chosen, 1):
        fields = [str(number), path, str(line), str(col), kind, describe(kind, orig, repl), shorten(after, 120),
                  orig, repl]
        if any("\t" in f or "\n" in f for f in fields):
            continue
        print("\t".join(fields))


def apply(sample_file, number, source, dest):
    with open(sample_file, encoding="utf-8", errors="surrogateescape") as f:
        rows = [r.rstrip("\n").split("\t") for r in f]
    row = next((r for r in rows if r[0] == number), None)
    if row is None:
        sys.exit(f"no slip {number} in {sample_file}")
    line, col, orig, repl = int(row[2]), int(row[3]), row[7], row[8]
    with open(source, encoding="utf-8", errors="surrogateescape", newline="") as f:
        lines = f.read().splitlines(keepends=True)
    text = lines[line - 1]
    if text[col - 1:col - 1 + len(orig)] != orig:
        sys.exit(f"{row[1]}:{line}:{col}: the code there is no longer {orig!r}")
    lines[line - 1] = text[:col - 1] + repl + text[col - 1 + len(orig):]
    with open(dest, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
        f.write("".join(lines))


def main(argv):
    if len(argv) >= 3 and argv[0] == "sample":
        sample(argv[1], int(argv[2]), argv[3:])
    elif len(argv) == 5 and argv[0] == "apply":
        apply(*argv[1:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
