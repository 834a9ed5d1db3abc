#!/usr/bin/env python3
"""Second, independent implementation of Veltrano's formula engine.

Covers EvaluateFormula, EvaluateFlat, the calculation rounding of formula
results and FormatTotal for summary totals.  Standard library only.

Importable:
    from formula_ref import evaluate_formula, format_total_for_digits
Runnable with the same interface as `veltrano-cli eval` / `veltrano-cli total`:
    formula_ref.py eval [--digits D] [--param A=TEXT] ...   < formulas
    formula_ref.py total [--digits D] [--cell]              < numbers
"""

import re
import struct
import sys
from decimal import Decimal, Context, ROUND_HALF_UP, localcontext

TITLE = "確認"
MSG_STAR_FIRST = "計算式に *- があります。入力をやり直してください。"
MSG_CHARS = "計算記号・数字以外が使用されています。入力をやり直してください。"
MSG_PAREN_COUNT = " ( と\u3000）の数が合いません。入力をやり直してください。"
MSG_STAR_SECOND = "計算式に *- が含まれています。入力をやり直してください。"
MSG_FAULT = "計算式が不正です。値には0が入ります。"

ALLOWED = set("0123456789.+-*/()ASLasl")
OPERATORS = "*/+-"
LETTERS = "ASL"

# Wide enough for the plain text of any double (about 330 integer digits
# plus decimals) without the decimal module rounding anything.
_CTX = Context(prec=2000, Emax=999999, Emin=-999999)

_LEADING_NUMBER = re.compile(r"[ \t]*([+-]?)([0-9]+\.?[0-9]*|\.[0-9]+)")


class ArithmeticFault(Exception):
    """Division by zero or a result/operand that does not fit a double."""


def trim(text):
    """Trimming removes half-width spaces only."""
    return text.strip(" ")


def read_number(text):
    """Leading-number rule; returns a double (inf if it does not fit)."""
    m = _LEADING_NUMBER.match(text)
    if not m:
        return 0.0
    return float(m.group(1) + m.group(2))


def plain(d):
    """Decimal -> plain decimal text, never exponent form."""
    with localcontext(_CTX):
        return format(d, "f")


def five_decimal(x):
    """'###0.#####' of a double: 15 significant digits, then half away from
    zero to five decimals; whole numbers without a point, never '-0'."""
    with localcontext(_CTX):
        d = Decimal(format(x, ".15g")).quantize(Decimal("0.00001"), rounding=ROUND_HALF_UP)
        if d == 0:
            return "0"
        t = plain(d)
    if "." in t:
        t = t.rstrip("0").rstrip(".")
    return t


def _param(params, letter):
    return params.get(letter.upper(), "")


def _checked(x):
    if x != x or x in (float("inf"), float("-inf")):
        raise ArithmeticFault()
    return x


def _num(text):
    return _checked(read_number(text))


def _flat(expr, params):
    while True:
        n_ops = sum(1 for c in expr if c in OPERATORS)
        if n_ops == 0:
            if len(expr) == 1 and expr.upper() in LETTERS:
                expr = _param(params, expr)
            return five_decimal(_num(expr))

        ops = []
        operands = []
        cur = []
        for c in expr:
            if c in OPERATORS:
                ops.append(c)
                operands.append("".join(cur))
                cur = []
            else:
                cur.append(c)
        operands.append("".join(cur))
        operands = [
            _param(params, e) if len(e) == 1 and e.upper() in LETTERS else e
            for e in operands
        ]

        muldiv = [i for i, op in enumerate(ops) if op in "*/"]
        if muldiv:
            i = muldiv[0]
            a = _num(operands[i])
            b = _num(operands[i + 1])
            if ops[i] == "*":
                x = _checked(a * b)
            else:
                if b == 0:
                    raise ArithmeticFault()
                x = _checked(a / b)
            parts = []
            for j in range(i):
                parts.append(operands[j])
                parts.append(ops[j])
            parts.append(five_decimal(x))
            for j in range(i + 1, len(ops)):
                parts.append(ops[j])
                parts.append(operands[j + 1])
            expr = "".join(parts)
            continue

        v = _num(operands[0])
        for m, op in enumerate(ops):
            e = _num(operands[m + 1])
            v = _checked(v + e if op == "+" else v - e)
        return five_decimal(v)


def evaluate_flat(expr, params, messages):
    """Evaluates a text without parentheses; returns a five-decimal text.
    Arithmetic faults append the message and give '0'."""
    try:
        return _flat(expr, params)
    except ArithmeticFault:
        messages.append((TITLE, MSG_FAULT))
        return five_decimal(0.0)


def calc_round(v, q):
    """Writes a formula result with exactly q decimals (q = 2 rounds half
    away from zero on the third decimal, q = 3 and 4 cut off)."""
    negative = v < 0
    with localcontext(_CTX):
        text = plain(Decimal(format(abs(v), ".15g")))
        if "." in text:
            whole, frac = text.split(".")
            if q == 2:
                kept = Decimal(whole + "." + frac[:2].ljust(2, "0"))
                if len(frac) > 2 and frac[2] >= "5":
                    kept += Decimal("0.01")
            else:
                kept = Decimal(whole + "." + frac[:q].ljust(q, "0"))
            out = plain(kept.quantize(Decimal(1).scaleb(-q)))
        else:
            out = text + "." + "0" * q
    return ("-" if negative else "") + out


def evaluate_formula(formula, q, params):
    """Returns (result_text, [(title, text), ...] of the messages shown).
    params maps 'A', 'S', 'L' to the parameter texts."""
    messages = []
    s = trim(formula)

    if len(s) == 1 and s.upper() in LETTERS:
        return trim(_param(params, s)), messages

    if "*-" in s:
        messages.append((TITLE, MSG_STAR_FIRST))
        return "?", messages
    if any(c not in ALLOWED for c in s):
        messages.append((TITLE, MSG_CHARS))
        return "?", messages
    if s.count("(") != s.count(")"):
        messages.append((TITLE, MSG_PAREN_COUNT))
        return "?", messages

    while True:
        p = s.find("(")
        if p < 0:
            break
        close = s.find(")", p + 1)
        if close < 0:
            return "Er1", messages
        inner = s[p + 1:close]
        if "(" in inner:
            return "Er((", messages
        left = s[:p]
        right = s[close + 1:]
        value = evaluate_flat(inner, params, messages)
        # A negative group right after "+" or "-" is folded into the sign.
        if value.startswith("-") and left.endswith(("+", "-")):
            left = left[:-1] + ("+" if left[-1] == "-" else "-")
            value = value[1:]
        s = trim(left + value + right)

    if "*-" in s:
        messages.append((TITLE, MSG_STAR_SECOND))
        return "?", messages

    v = read_number(evaluate_flat(s, params, messages))
    return calc_round(v, q), messages


def to_float32(x):
    """Double -> nearest single-precision value (returned as a Python float)."""
    try:
        return struct.unpack("<f", struct.pack("<f", x))[0]
    except OverflowError:
        return float("inf") if x > 0 else float("-inf")


def format_total(total, q, cutoff):
    """FormatTotal of a single-precision total (given as a Python float that
    holds the float32 value exactly)."""
    with localcontext(_CTX):
        d = Decimal(format(total, ".7g"))
        r = d.quantize(Decimal(1).scaleb(-q), rounding=ROUND_HALF_UP)
        if q == 4 and cutoff:
            text = plain(d)
            if "." in text:
                r = Decimal(text[: text.index(".") + 3])
        decimals = 2 if cutoff else q
        r = r.quantize(Decimal(1).scaleb(-decimals))
        if r == 0:
            r = abs(r)
        return plain(r).lstrip(" ")


def format_total_for_digits(total, digits, cell=False):
    """Totals rule of digit setting D (or, for a cell, q = D + 2 rounded)."""
    if cell:
        return format_total(total, digits + 2, False)
    if digits == 2:
        return format_total(total, 4, True)
    return format_total(total, 2, False)


def _render(result, messages):
    return result + "".join("\t%s\t%s" % m for m in messages)


def _lines(data):
    lines = data.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def run(argv, stdin_text):
    """Same behaviour as the command line, on a text; returns the output."""
    cmd = argv[0]
    digits = 0
    cell = False
    params = {"A": "", "S": "", "L": ""}
    i = 1
    while i < len(argv):
        a = argv[i]
        if a == "--digits":
            digits = int(argv[i + 1])
            i += 2
        elif a == "--param":
            name, _, value = argv[i + 1].partition("=")
            params[name.upper()] = value
            i += 2
        elif a == "--cell":
            cell = True
            i += 1
        else:
            raise ValueError("unknown option " + a)
    out = []
    for line in _lines(stdin_text):
        if cmd == "eval":
            out.append(_render(*evaluate_formula(line, digits + 2, params)))
        else:
            total = to_float32(read_number(line))
            out.append(format_total_for_digits(total, digits, cell))
    return "".join(o + "\n" for o in out)


if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in ("eval", "total"):
        sys.stderr.write(__doc__)
        sys.exit(2)
    sys.stdout.write(run(sys.argv[1:], sys.stdin.read()))
