#!/usr/bin/env python3
"""Differential test: veltrano-cli against the Python reference engine.

Generates (seeded, reproducible) takeoff formulas and totals, runs the
command-line tool once per batch of lines and the reference in-process,
and compares every output line exactly.

Usage:
    python3 tests/reference/differential_test.py /path/to/veltrano-cli \
        [--count N] [--seed S] [--batch B]

Prints every mismatch (input, expected, got) and exits 1 if there is any.
"""

import argparse
import os
import random
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "reference"))

import formula_ref  # noqa: E402

PARAM_TEXTS = ["", "0", "3.456", " 2 ", "-2", "12.5", "0.333", "1.2", "100", "2.75",
               # Texts that change the shape of the formula once substituted:
               # operators, a parenthesis, letters (only A is named, so a
               # circle of letters never brings in a product).
               "-1", "1+2", "+", "(", "2*3", "0.5/", "a", "A+1"]
FULL_WIDTH = ["ａ", "Ａ", "１", "２", "＋", "－", "＊", "／", "（", "）", "．", "ｓ", "Ｌ"]
FOREIGN = [" ", "\t", "x", "e", "E", "B", "#", ",", "=", "%", "^"]


# ---------------------------------------------------------------- formulas

def rnd_number(r):
    """A takeoff-style number: 0-3 decimals, mostly small."""
    kind = r.random()
    if kind < 0.6:
        whole = r.randint(0, 99)
    elif kind < 0.9:
        whole = r.randint(0, 9999)
    else:
        whole = r.randint(0, 10 ** r.randint(5, 12))
    places = r.choice([0, 1, 1, 2, 2, 3, 3])
    if places == 0:
        return str(whole)
    frac = "".join(r.choice("0123456789") for _ in range(places))
    text = "%d.%s" % (whole, frac)
    if whole == 0 and r.random() < 0.15:
        text = text[1:]  # ".25"
    return text


def rnd_letter(r):
    return r.choice("ASLASLasl")


def rnd_factor(r):
    return rnd_letter(r) if r.random() < 0.2 else rnd_number(r)


def rnd_product(r, allow_div=True):
    parts = [rnd_factor(r)]
    for _ in range(r.choice([0, 0, 1, 1, 2, 3])):
        op = "/" if allow_div and r.random() < 0.15 else "*"
        parts.append(op)
        parts.append(rnd_factor(r))
    return "".join(parts)


def rnd_flat_sum(r):
    parts = [rnd_product(r)]
    for _ in range(r.choice([0, 0, 1, 1, 2, 3])):
        parts.append(r.choice("++-"))
        parts.append(rnd_product(r))
    return "".join(parts)


def rnd_realistic(r):
    """Sums of products, with some parenthesised (non-nested) groups."""
    terms = []
    for _ in range(r.choice([1, 1, 2, 2, 3, 4])):
        factors = []
        for _ in range(r.choice([1, 1, 2, 2, 3])):
            if r.random() < 0.25:
                factors.append("(" + rnd_flat_sum(r) + ")")
            else:
                factors.append(rnd_factor(r))
        ops = [r.choice("****/") for _ in factors[1:]]
        term = factors[0]
        for op, f in zip(ops, factors[1:]):
            term += op + f
        terms.append(term)
    text = terms[0]
    for t in terms[1:]:
        text += r.choice("++-") + t
    if r.random() < 0.1:
        text = "-" + text
    return text


def rnd_tie(r):
    """Values sitting on or next to a rounding boundary."""
    whole = r.choice([0, 0, 1, 2, 12, 99, 1000, r.randint(0, 10 ** 9)])
    places = r.choice([3, 4, 5, 6])
    digits = "".join(r.choice("0123456789") for _ in range(places - 1))
    last = r.choice(["5", "5", "4", "6", "9"])
    num = "%d.%s%s" % (whole, digits, last)
    forms = [
        num,
        "-" + num,
        "0-" + num,
        num + "*1",
        num + "*" + r.choice(["2", "3", "0.5", "10"]),
        num + "/" + r.choice(["2", "3", "7", "0.5"]),
        "%s+%s" % (num, rnd_number(r)),
        "(%s)" % num,
        "0.%s5" % ("9" * r.randint(1, 6)),
        "%d.%s" % (whole, "9" * r.randint(2, 7)),
        "1/%d" % r.randint(1, 99),
        "%d/%d*%d" % (r.randint(1, 99), r.randint(1, 99), r.randint(1, 99)),
    ]
    return r.choice(forms)


def rnd_chars(r, alphabet, n):
    return "".join(r.choice(alphabet) for _ in range(n))


def rnd_nasty(r):
    kind = r.randint(0, 21)
    base = "0123456789.+-*/()ASLasl"
    if kind == 0:  # random soup of allowed characters
        return rnd_chars(r, base + "+-*/()..", r.randint(0, 14))
    if kind == 1:  # soup with a foreign or full-width character dropped in
        s = rnd_realistic(r)
        pos = r.randint(0, len(s))
        return s[:pos] + r.choice(FULL_WIDTH + FOREIGN) + s[pos:]
    if kind == 2:  # empty operands
        return r.choice(["2+", "+2", "*3", "3*", "2**3", "2//3", "2+-3", "--2", "-",
                         "+", "*", "/", "2+*3", "2-/3", "/2", "2/", ".", "..", "-.5",
                         "3.", ".5", "1..2", "2.5.5", "+-+", "2++3", "2--3", "-(-2)"])
    if kind == 3:  # "*-" written or produced by a group
        a, b = rnd_number(r), rnd_number(r)
        return r.choice(["%s*-%s" % (a, b), "%s*(%s-%s)" % (a, a, b), "(%s-%s)*%s" % (a, b, a),
                         "%s*(0-%s)+1" % (a, b), "%s*-" % a, "*-", "-*%s" % a,
                         "%s/(%s-%s)" % (a, a, b), "%s-(%s-%s)" % (a, a, b),
                         "%s+(%s-%s)" % (a, a, b), "%s--(%s-%s)" % (a, a, b),
                         "%s+-(%s-%s)" % (a, a, b), "(0-%s)" % a, "2*(A)", "2-(A)", "2+(a)"])
    if kind == 4:  # nested or misordered parentheses
        x = rnd_flat_sum(r)
        return r.choice(["((%s))" % x, "(1+(%s))" % x, ")%s(" % x, "(%s)(" % x + ")",
                         ")(%s" % x + ")(", "(%s))(" % x, "(%s" % x, "%s)" % x, "()",
                         "(()", "()()", "2()", "()3", "(%s)%s" % (x, rnd_number(r)),
                         "%s(%s)" % (rnd_number(r), x), "(A)(S)", ")(", "(-)", "(+)", "(*)"])
    if kind == 5:  # division by zero
        a = rnd_number(r)
        return r.choice(["%s/0" % a, "%s/(1-1)" % a, "%s/0.0" % a, "%s/." % a, "0/0",
                         "%s/(0.000001)" % a, "%s/0.000001" % a, "(%s/0)+(%s/0)" % (a, a),
                         "(%s/0)+1" % a, "1+(%s/0)*2" % a, "%s/" % a, "%s/A" % a,
                         "(1/0)+((2))", "(1/0)+(2", "(1/0)*-1", "(1/0)-(2-5)"])
    if kind == 6:  # long digit strings
        n = r.randint(14, 40)
        digits = "".join(r.choice("0123456789") for _ in range(n))
        cut = r.randint(0, n)
        num = digits[:cut] + "." + digits[cut:] if r.random() < 0.7 else digits
        return r.choice([num, num + "*1", "1*" + num, num + "+0", "0-" + num,
                         num + "/3", "(" + num + ")", num + "*" + num])
    if kind == 7:  # beyond double range
        return r.choice(["9" * 400, "9" * 400 + "*0", "1+" + "9" * 400, "(" + "9" * 400 + ")+1",
                         "1" + "0" * 308 + "*10", "1" + "0" * 300 + "*" + "1" + "0" * 10,
                         "1" + "0" * 307 + "+" + "9" * 308, "0-" + "9" * 309,
                         "1" + "0" * 308 + "-1", "1" + "0" * 200 + "/0.00001",
                         "0." + "0" * 400 + "1", "0." + "0" * 320 + "1*5"])
    if kind == 8:  # huge but finite
        k = r.randint(14, 300)
        big = "1" + "0" * k
        return r.choice([big, big + ".5", big + "*3", big + "/7", big + "+0.005",
                         "1e5", "0-" + big, "%d*%d" % (10 ** r.randint(5, 12), 10 ** r.randint(3, 12)),
                         "123456789012.34567", "9999999999999.995", "99999999999999.995",
                         "12345678901234567", "1234567890123.456"])
    if kind == 9:  # tiny magnitudes
        k = r.randint(3, 20)
        tiny = "0." + "0" * k + str(r.randint(1, 99))
        return r.choice([tiny, "0-" + tiny, tiny + "*1", tiny + "*100000",
                         "0.00004", "0.00005", "0-0.00005", "0.000049", "0.000005", "0-0.000005",
                         "1/300000", "1/30000", "0-1/30000", "1/7/10000", "0.00001*0.5",
                         "0.00001*0.6", "0.3-0.1-0.2", "0.1+0.2-0.3", "0.1+0.2", "0-0.001"])
    if kind == 10:  # lone letters and blanks
        return r.choice(["A", "S", "L", "a", "s", "l", " A", "A ", " s ", "\tA", "A\t",
                         "AA", "AS", "B", "x", "Ａ", " 1+2 ", "1 +2", "1+ 2", "  ", "",
                         " ", "\t", "1\t+2", "(a)", "(s)*(l)", "-A", "A-", "+A", "A*A",
                         "a/s", "l/A", "A+S+L", "2*3-A", "A-2*3", "2*A-3", "A2", "2A",
                         "A.5", "(A)(S)"])
    if kind == 11:  # many groups in a row
        n = r.randint(9, 16)
        groups = [rnd_flat_sum(r) for _ in range(n)]
        return r.choice("+-*") .join("(" + g + ")" for g in groups)
    if kind == 12:  # a negative group after each operator
        a, b, c = rnd_number(r), rnd_number(r), rnd_number(r)
        op = r.choice("+-*/")
        return "%s%s(%s-%s)%s" % (a, op, b, c, r.choice(["", "+" + a, "*" + a, "-" + a]))
    if kind == 13:  # full-width forms
        s = rnd_realistic(r)
        trans = str.maketrans("0123456789+-*/()ASL.", "０１２３４５６７８９＋－＊／（）ＡＳＬ．")
        pos = r.randint(0, len(s))
        return s[:pos] + s[pos:].translate(trans)
    if kind == 14:
        return rnd_tie(r)
    if kind == 15:  # mixed-case letters in expressions
        return rnd_realistic(r).replace("A", r.choice("Aa")).replace("S", r.choice("Ss"))
    if kind == 16:  # operators at the edges of groups
        x = rnd_number(r)
        return r.choice(["(+%s)" % x, "(-%s)" % x, "(%s-)" % x, "(*%s)" % x, "(%s/)" % x,
                         "2*(-%s)" % x, "2-(-%s)" % x, "2+(-%s)" % x, "2/(-%s)" % x,
                         "-(%s)" % x, "+(%s)" % x, "(%s)-" % x, "(%s)*" % x, "(-%s)*2" % x])
    if kind == 17:  # whole soups over the full alphabet
        return rnd_chars(r, base + "".join(FOREIGN[:3]) + "ａ１", r.randint(1, 12))
    if kind == 18:  # long chains
        n = r.randint(8, 30)
        parts = [rnd_number(r)]
        for _ in range(n):
            parts.append(r.choice("+-*/+-"))
            parts.append(rnd_factor(r))
        return "".join(parts)
    if kind == 19:  # sums that cancel
        a = rnd_number(r)
        return r.choice(["%s-%s" % (a, a), "0-%s+%s" % (a, a), "(%s-%s)*3" % (a, a),
                         "%s*2-%s-%s" % (a, a, a), "-%s+%s" % (a, a)])
    if kind == 20:  # leading zeros and odd number forms
        return r.choice(["007", "00.50", "0.50*2", "000", "0000.0001", "1.", "1.*2",
                         ".1*.1", ".", "-.", "..5", "5..", "1.2.3", "(.)", "(.5)*(.5)"])
    return rnd_realistic(r)


def gen_formula(r):
    x = r.random()
    if x < 0.55:
        return rnd_realistic(r)
    if x < 0.65:
        return rnd_tie(r)
    return rnd_nasty(r)


# ------------------------------------------------------------------ totals

def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def plain_text(x):
    """Plain decimal text of a double (the CLI reads no exponents)."""
    from decimal import Decimal
    return formula_ref.plain(Decimal(repr(x)))


def gen_total(r):
    kind = r.randint(0, 9)
    if kind <= 2:  # a random single-precision value of some magnitude
        e = r.randint(-12, 37) if kind == 0 else r.randint(-3, 9)
        m = r.uniform(1, 10)
        v = f32(m * 10.0 ** e)
        if r.random() < 0.3:
            v = -v
        return plain_text(v)
    if kind == 3:  # typed decimals with a few places
        whole = r.randint(0, 10 ** r.randint(0, 7))
        places = r.randint(1, 4)
        frac = "".join(r.choice("0123456789") for _ in range(places))
        sign = "-" if r.random() < 0.25 else ""
        return "%s%d.%s" % (sign, whole, frac)
    if kind == 4:  # ties at two, three and four decimals
        whole = r.choice([0, 1, 2, 7, 12, 99, 1234, r.randint(0, 99999)])
        places = r.choice([3, 4, 5])
        frac = "".join(r.choice("0123456789") for _ in range(places - 1)) + "5"
        sign = "-" if r.random() < 0.3 else ""
        return "%s%d.%s" % (sign, whole, frac)
    if kind == 5:
        return r.choice(["2.675", "0.125", "12.375", "1.005", "0.996", "7.999", "3", "2.5",
                         "0.005", "-0.005", "0.0049", "-0.0049", "0.995", "0.9995", "0.99995",
                         "1.0005", "1.00005", "-2.675", "-0.125", "0.015", "0.045", "1.115",
                         "8.345", "1.255", "0.285", "-1.005", "4.35", "2.345", "9.995"])
    if kind == 6:
        return r.choice(["0", "-0", "0.0", "-0.0", "", ".", "-", "0.001", "-0.001",
                         "0.00001", "-0.00001", "-0.004", "-0.0001"])
    if kind == 7:  # huge (single-precision range) and tiny
        return r.choice([
            "340282346638528859811704183484516925440", "-340282346638528859811704183484516925440",
            "16777217", "16777216.5", "8388607.5", "9999999", "99999999", "123456789",
            "1" + "0" * r.randint(7, 38), "0." + "0" * 44 + "1", "0." + "0" * 37 + "12",
            "1234567.891", "999999.995", "99999.995", "-99999.995", "65536.125",
        ])
    if kind == 8:  # leading-number reading
        return r.choice([" 2.5", "\t-3.25", "3.5abc", "abc", ".5", "-.5", "3.", "+4.125",
                         "  +.75", "1.2.3", "12,5", "1e5", "- 5", "--5", "0x10", "５"])
    # random float32 bit patterns in the normal/subnormal finite range
    while True:
        bits = r.getrandbits(32)
        v = struct.unpack("<f", struct.pack("<I", bits))[0]
        if v == v and abs(v) != float("inf"):
            return plain_text(v)


# ------------------------------------------------------------------ running

def run_cli(cli, argv, lines):
    data = "".join(l + "\n" for l in lines).encode("utf-8")
    proc = subprocess.run([cli] + argv, input=data, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=600)
    out = proc.stdout.decode("utf-8", errors="replace")
    got = out.split("\n")
    if got and got[-1] == "":
        got.pop()
    return proc.returncode, got, proc.stderr.decode("utf-8", errors="replace")


def compare(cli, argv, lines, label, mismatches):
    expected = formula_ref.run(argv, "".join(l + "\n" for l in lines)).split("\n")[:-1]
    rc, got, err = run_cli(cli, argv, lines)
    if rc != 0:
        mismatches.append((label, "<batch>", "exit 0", "exit %d: %s" % (rc, err.strip()[:300])))
    if len(got) != len(expected):
        mismatches.append((label, "<batch>", "%d lines" % len(expected), "%d lines" % len(got)))
    for i, line in enumerate(lines):
        e = expected[i]
        g = got[i] if i < len(got) else "<missing>"
        if e != g:
            mismatches.append((label, line, e, g))


def short(text, limit=160):
    text = repr(text)
    return text if len(text) <= limit else text[:limit] + "...(%d chars)" % len(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[1])
    ap.add_argument("cli")
    ap.add_argument("--count", type=int, default=6000, help="number of formulas")
    ap.add_argument("--seed", type=int, default=20240601)
    ap.add_argument("--batch", type=int, default=250, help="formulas per CLI run")
    args = ap.parse_args()

    r = random.Random(args.seed)
    mismatches = []
    formulas_run = 0
    totals_run = 0

    # Formulas: each batch gets its own digit setting and parameter texts.
    remaining = args.count
    while remaining > 0:
        n = min(args.batch, remaining)
        remaining -= n
        digits = r.randint(0, 2)
        params = {k: r.choice(PARAM_TEXTS) for k in "ASL"}
        argv = ["eval", "--digits", str(digits)]
        for k in "ASL":
            argv += ["--param", "%s=%s" % (k, params[k])]
        lines = [gen_formula(r) for _ in range(n)]
        label = "eval D=%d A=%r S=%r L=%r" % (digits, params["A"], params["S"], params["L"])
        compare(args.cli, argv, lines, label, mismatches)
        formulas_run += n

    # Totals: one number list, run under every digit setting, with and without --cell.
    numbers = [gen_total(r) for _ in range(max(500, args.count // 3))]
    for digits in (0, 1, 2):
        for cell in (False, True):
            argv = ["total", "--digits", str(digits)] + (["--cell"] if cell else [])
            label = "total D=%d%s" % (digits, " --cell" if cell else "")
            for start in range(0, len(numbers), 1000):
                chunk = numbers[start:start + 1000]
                compare(args.cli, argv, chunk, label, mismatches)
                totals_run += len(chunk)

    for label, inp, exp, got in mismatches:
        print("MISMATCH [%s]\n  input:    %s\n  expected: %s\n  got:      %s"
              % (label, short(inp), short(exp), short(got)))
    print("formulas: %d, totals: %d (numbers x 6 modes), mismatches: %d"
          % (formulas_run, totals_run, len(mismatches)))
    return 1 if mismatches else 0


if __name__ == "__main__":
    sys.exit(main())
