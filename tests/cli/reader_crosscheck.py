#!/usr/bin/env python3
"""Compares `quorvel defs` and `quorvel diagram` with a reading of their own.

Generates many definition and description files from a fixed seed (valid ones and ones with
every kind of fault), reads each with the rules of the two formats written out again here, in
the plainest way, and checks that quorvel prints the same JSON, or the same message with exit
code 1.

usage: reader_crosscheck.py QUORVEL [--files N] [--seed S]
"""

import json
import random
import re
import subprocess
import sys
import tempfile
from pathlib import Path

BLANKS = bytes(range(33))
INT64_MIN, INT64_MAX = -(2**63), 2**63 - 1


class Failure(Exception):
    """A read that ends with the program's message."""


def trim(b):
    return b.strip(BLANKS)


def parse_int(text):
    """Integer forms of the data files; None for anything else."""
    m = re.fullmatch(rb" *([+-]?)(\$|[xX]|0[xX])?([0-9A-Za-z]*)", text)
    if not m or not m.group(3):
        return None
    digits = m.group(3).decode("latin-1")
    try:
        value = int(digits, 16 if m.group(2) else 10)
    except ValueError:
        return None
    if not re.fullmatch(r"[0-9a-fA-F]+" if m.group(2) else r"[0-9]+", digits):
        return None
    value = -value if m.group(1) == b"-" else value
    return value if INT64_MIN <= value <= INT64_MAX else None


def parse_real(text):
    t = text.strip(b" ")
    if not re.fullmatch(rb"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?", t):
        return None
    value = float(t)
    return None if value in (float("inf"), float("-inf")) else value


def not_integer(text):
    return Failure("'" + text.decode("latin-1") + "' is not a valid integer value")


RANGE = Failure("Range check error")


# --- Definition files ---------------------------------------------------------------------


def strip_tags(line):
    # Literally: remove the first "<" .. ">" span, start again, until none is left.
    while True:
        p = line.find(b"<")
        q = line.find(b">", p + 1) if p >= 0 else -1
        if p < 0 or q < 0:
            return trim(line)
        line = line[:p] + line[q + 1 :]


def to_u32(text):
    v = parse_int(text)
    if v is None:
        raise not_integer(text)
    if not 0 <= v <= 0xFFFFFFFF:
        raise RANGE
    return v


def opener_name(line, up):
    """The name="..." of the setting opener, looked for up to the line's first ">"."""
    at = up.find(b"<SETTING")
    tag = line[at : up.find(b">")]
    p = tag.upper().find(b'NAME="')
    if p < 0:
        return ""
    end = tag.find(b'"', p + 6)
    return "" if end < 0 else tag[p + 6 : end].decode("latin-1")


def read_definition(data):
    words = []
    state = 0
    field = None  # the current field record of the last word, if any
    setting = None
    for line in re.split(rb"\r\n|\r|\n", data):
        if state == 5:
            break
        up = line.upper()
        if b"<CFG>" in up:
            state = 1
        if b"</CFG>" in up:
            state = 5
        if state in (0, 5):
            continue

        def opens(name):
            p = up.find(b"<" + name)
            g = up.find(b">")
            return p >= 0 and g >= 0 and p + len(name) + 1 < g

        if opens(b"CFGBITS"):
            words.append({"name": "", "address": 0, "default": None, "fields": []})
            state, field, setting = 2, None, None
        if opens(b"FIELD") and words:
            field = {"name": "", "description": "", "mask": 0, "settings": []}
            words[-1]["fields"].append(field)
            state, setting = 3, None
        if opens(b"SETTING") and field is not None:
            setting = {"name": opener_name(line, up), "mask": 0, "value": 0, "description": ""}
            field["settings"].append(setting)
            state = 4
        # Each value test sees the line as the tests before it left it.
        cur = line
        for name in (b"SKEY", b"WADDR", b"WMASK", b"WREQ", b"WVALUE", b"SDESC", b"WDEFAULT"):
            if b"<" + name + b">" not in cur.upper():
                continue
            cur = text = strip_tags(cur)
            if name == b"SKEY" and state == 2:
                words[-1]["name"] = text.decode("latin-1")
            elif name == b"SKEY" and state == 3:
                field["name"] = text.decode("latin-1")
            elif name == b"WADDR" and state == 2:
                words[-1]["address"] = to_u32(text)
            elif name == b"WMASK" and state == 3:
                field["mask"] = to_u32(text)
            elif name == b"WREQ" and state == 4:
                setting["mask"] = to_u32(text)
            elif name == b"WVALUE" and state == 4:
                setting["value"] = to_u32(text)
            elif name == b"WDEFAULT":
                if state == 2:
                    words[-1]["default"] = to_u32(text)
            elif name == b"SDESC":
                if b"(" in text and b")" not in text:
                    p = text.find(b"(")
                    text = text[:p] + text[p + 255 :]
                text = trim(text).decode("latin-1")
                if state == 3:
                    field["description"] = text
                elif state == 4:
                    setting["description"] = text
    return {"words": words}


def random_number(rng):
    return rng.choice(
        [
            str(rng.randrange(0, 70000)),
            "$" + format(rng.randrange(0, 2**32), "X"),
            "0x" + format(rng.randrange(0, 2**32), "x"),
            "x" + format(rng.randrange(0, 256), "X"),
            "X" + format(rng.randrange(0, 256), "x"),
            "0X" + format(rng.randrange(0, 256), "X"),
            str(rng.randrange(0, 2**32)),
            "+" + str(rng.randrange(0, 99)),
        ]
    )


def bad_number(rng):
    return rng.choice(
        ["", "-1", "4294967296", "12G", "1.5", "0x", "$", "- 3", "99999999999999999999"]
    )


def random_text(rng):
    pool = [b"Clock", b"source", b"(see", b"below)", b"HS", b"(", b")", b"PLL"]
    pool += [b"\xe9t\xe9", b"\x01", b"a\"b\\c", b"<b>", b"<", b">"]
    return b" ".join(rng.choice(pool) for _ in range(rng.randrange(0, 6)))


def tag(rng, name):
    return "".join(c.upper() if rng.random() < 0.3 else c for c in name).encode()


def definition_file(rng):
    faulty = rng.random() < 0.3

    def number():
        return (bad_number(rng) if faulty and rng.random() < 0.1 else random_number(rng)).encode()

    out = []
    add = out.append
    for _ in range(rng.randrange(0, 3)):
        add(rng.choice([b"<device>", b"<skey>NOT YET</skey>", b"<cfgbits early>", b"junk"]))
    add(b"  <" + tag(rng, "cfg") + b">")
    for _ in range(rng.randrange(0, 4)):
        add(b"<" + tag(rng, "cfgbits") + rng.choice([b" id=1>", b"s>", b">", b" x"]))
        add(b"<skey>" + random_text(rng) + b"</skey>")
        add(b"<waddr>" + number() + b"</waddr>")
        if rng.random() < 0.5:
            add(b"<" + tag(rng, "wdefault") + b">" + number() + b"</wdefault>")
        for _ in range(rng.randrange(0, 4)):
            add(b"  <" + tag(rng, "field") + rng.choice([b" n>", b"s>", b">"]))
            add(b"<" + tag(rng, "skey") + b">F" + str(rng.randrange(9)).encode() + b"</skey>")
            add(b"<sdesc>" + random_text(rng) + b"</sdesc>")
            add(b"<" + tag(rng, "wmask") + b">" + number() + b"</wmask>")
            for _ in range(rng.randrange(0, 4)):
                add(
                    b"<"
                    + tag(rng, "setting")
                    + rng.choice([b" a>", b">", b' name="S1">', b' NAME="x y" b>', b' name="open>'])
                )
                add(b"<wreq>" + number() + b"</wreq>")
                add(b"<" + tag(rng, "wValue") + b">" + number() + b"</wValue>")
                add(b"<sdesc>" + random_text(rng) + b"</sdesc>")
    # Faults and oddities, placed anywhere.
    for _ in range(rng.randrange(0, 5) if rng.random() < 0.5 else 0):
        fault = rng.choice(
            [
                b"<waddr>" + bad_number(rng).encode() + b"</waddr>",
                b"<wmask>" + bad_number(rng).encode() + b"</wmask>",
                b"<wValue>" + bad_number(rng).encode() + b"</wValue>",
                b"<wdefault>" + bad_number(rng).encode() + b"</wdefault>",
                b"<cfg>",
                b"</cfg>",
                b"<setting orphan>",
                b"<skey>x</skey><waddr>1</waddr>",
                bytes(rng.randrange(256) for _ in range(rng.randrange(1, 12))),
            ]
        )
        out.insert(rng.randrange(len(out) + 1), fault)
    if rng.random() < 0.7:
        add(b"</" + tag(rng, "cfg") + b">")
        add(b"<cfgbits after><waddr>bad</waddr>")
    ends = [b"\n", b"\r\n", b"\r"]
    return b"".join(line + rng.choice(ends) for line in out)


# --- Description files --------------------------------------------------------------------


def to_int(text):
    v = parse_int(text)
    if v is None or not -(2**31) <= v < 2**31:
        raise not_integer(text)
    return v


def to_word(text):
    v = to_int(text)
    if not 0 <= v <= 65535:
        raise RANGE
    return v


class Fields:
    def __init__(self, fields):
        self.f = fields

    def at(self, i):
        if i >= len(self.f):
            raise Failure("List index out of bounds (%d)" % i)
        return self.f[i]

    def word(self, i):
        return to_word(self.at(i))

    def coordinate(self, i):
        v = to_int(self.at(i))
        if not 3 <= v <= 65532:
            raise RANGE
        return v


def s(b):
    return b.decode("latin-1")


def check_bits(name):
    p = name.find(b"<")
    bits = name[p + 1 : p + 1 + 255][:-1]
    hi, _, lo = bits.partition(b":") if b":" in bits else (bits, b"", bits)
    hi, lo = parse_int(hi), parse_int(lo)
    if hi is not None and lo is not None and not (0 <= hi <= 31 and 0 <= lo <= 31):
        raise RANGE


def read_line_fields(f):
    line = {"name": s(f.at(0))}
    line["id"] = f.word(1)
    line["spare"] = f.word(2)
    line["x1"] = f.coordinate(3)
    line["y1"] = f.coordinate(4)
    line["x2"] = f.coordinate(5)
    line["y2"] = f.coordinate(6)
    line["altGroup"] = to_int(f.at(7))
    line["linkGroup"] = to_int(f.at(8))
    value = to_int(f.at(9))
    if value < 0:
        raise RANGE
    line["value"] = value
    real = parse_real(f.at(10) if len(f.f) > 10 else f.at(9))
    line["calcValue"] = 1.0 if real is None else real
    return line


def read_description(data):
    keys = "configLines registerLines follow followNot excl formulas calcVals regVals"
    m = {k: [] for k in keys.split()}
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    for raw in lines:
        line = raw.replace(b"\r", b"")
        comment = b""
        p = line.find(b"//")
        if p >= 0:
            comment = trim(line[p : p + 255])
            line = line[:p]
        line = trim(line)
        if not line:
            continue
        parts = [trim(x) for x in line.split(b",")]
        parts[0] = parts[0].upper()
        f = Fields(parts)
        kind = parts[0]
        if b"<" in kind:
            check_bits(kind)
            entry = read_line_fields(f)
            entry["comment"] = s(comment)
            m["registerLines"].append(entry)
            if all(v["name"] != entry["name"] for v in m["regVals"]):
                m["regVals"].append(
                    {"name": entry["name"], "value": 0, "calcValue": entry["calcValue"],
                     "comment": "", "chosen": False}
                )
        elif kind in (b"FOLLOW", b"FOLLOW_NOT"):
            rule = {"x1": f.word(1), "y1": f.word(2), "x2": f.word(3), "y2": f.word(4)}
            rule["ids"] = [to_word(trim(t)) for t in f.at(5).split(b" ") if trim(t)]
            m["follow" if kind == b"FOLLOW" else "followNot"].append(rule)
        elif kind == b"EXCL":
            m["excl"].append([to_word(x) for x in parts[1:] if x])
        elif kind == b"SHOWVAL":
            formula = {"x": f.word(1), "y": f.word(2)}
            name, eq, expr = f.at(3).partition(b"=")
            if not eq:
                name, expr = b"", b""
            formula["name"] = s(trim(name))
            formula["expression"] = s(b",".join([trim(expr)] + parts[4:]))
            m["formulas"].append(formula)
            if len(m["formulas"]) > 31:
                raise RANGE
        else:
            entry = read_line_fields(f)
            m["configLines"].append(entry)
            if all(v["name"] != entry["name"] for v in m["calcVals"]):
                m["calcVals"].append({"name": entry["name"], "value": entry["calcValue"]})
    return m


def field_text(rng, good, faults):
    if faults and rng.random() < 0.02:
        bad = ["", "x", "-5", "70000", "1.5", "$", "99999999999", "2147483648", "1 2"]
        return rng.choice(bad + ["0x10", "$ff"])
    return good


def pad(rng, text):
    return rng.choice(["", " ", "  ", "\t"]) + text + rng.choice(["", " ", "\t "])


def description_line(rng, faults):
    r = rng.random()
    if not faults and r >= 0.85:
        r = rng.random() * 0.85
    coord = lambda: str(rng.randrange(3, 800))
    if r < 0.35 or r >= 0.93:
        if r < 0.2:
            name = rng.choice(["fosc", "FOSC", "PLLDIV", "Cpudiv", "osc\xe9", "follows", "ex"])
        else:
            reg = rng.choice(["OSCCON", "clkdiv", "PLL"])
            bits = ["14:12", "3", "0", "31:0", "2:5", "hi:lo", "3>x", ""]
            bits = rng.choice(bits + (["32", "7:-1"] if faults else []))
            name = reg + "<" + bits + ">"
        fields = [name, str(rng.randrange(40)), "0", coord(), coord(), coord(), coord()]
        fields += [rng.choice(["-1", "1", "2"]), rng.choice(["-1", "3"])]
        fields += [rng.choice(["0", "1", "3", "$10", "x2"])]
        if rng.random() < 0.5:
            reals = ["0.25", "8", "", "4 MHz", "-.5e1", "1e400", "1e-400", "3.14159", "+2."]
            fields.append(rng.choice(reals))
        if rng.random() < 0.1:
            fields.append("extra")
        if faults and rng.random() < 0.05:
            fields = fields[: rng.randrange(1, len(fields))]
    elif r < 0.55:
        kw = rng.choice(["FOLLOW", "follow", "Follow_Not", "FOLLOW_NOT"])
        ids = " ".join(rng.choice(["", str(rng.randrange(40))]) for _ in range(rng.randrange(5)))
        fields = [kw] + [str(rng.randrange(0, 900)) for _ in range(4)] + [ids]
        if rng.random() < 0.2:
            fields += [str(rng.randrange(0, 40))]
        if faults and rng.random() < 0.05:
            fields = fields[:5]
    elif r < 0.7:
        ids = [rng.choice(["", str(rng.randrange(40))]) for _ in range(rng.randrange(5))]
        fields = [rng.choice(["EXCL", "excl"])] + ids
    elif r < 0.85:
        expr = rng.choice(["", "E0*2", "max(E0 , FOSC)", "a = b", " E1 / 3 "])
        third = rng.choice(["E%d=" % rng.randrange(0, 40), "Ex =", "", "no equals"]) + expr
        x, y = str(rng.randrange(900)), str(rng.randrange(900))
        fields = [rng.choice(["SHOWVAL", "ShowVal"]), x, y, third]
    else:
        garbage = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 20)))
        return rng.choice([b"", b"   ", b"// only a comment", b"\x00\x01", garbage])
    fields = [fields[0]] + [field_text(rng, x, faults) for x in fields[1:]]
    line = ",".join(pad(rng, x) for x in fields).encode("latin-1")
    if rng.random() < 0.25:
        line += rng.choice([b" // comment", b"//" + b"c" * 300, b" //  x\xe9 ", b"//"])
    return line


def description_file(rng):
    # Half of the files hold faults, so that both whole reads and messages are compared.
    faults = rng.random() < 0.5
    count = 33 if faults and rng.random() < 0.1 else rng.randrange(0, 40)
    lines = []
    for _ in range(count):
        if count == 33:
            lines.append(b"SHOWVAL,1,2,E0=1")
        else:
            lines.append(description_line(rng, faults))
    # A lone CR is dropped, joining two lines: a fault of its own.
    ends = [b"\n"] * 6 + [b"\r\n"] * 3 + ([b"\r"] if faults else [])
    data = b"".join(line + rng.choice(ends) for line in lines)
    if data and rng.random() < 0.2:
        data = data.rstrip(b"\n")
    return data


# --- Running ------------------------------------------------------------------------------


def expected(reader, data):
    try:
        return 0, reader(data), ""
    except Failure as e:
        # Messages travel as C strings: a NUL byte quoted in one ends it.
        return 1, None, str(e).split("\0")[0] + "\n"


def compare(quorvel, command, reader, path, data):
    code, model, message = expected(reader, data)
    r = subprocess.run([quorvel, command, str(path)], capture_output=True)
    if r.returncode != code:
        err = r.stderr.decode("latin-1").strip()
        return "exit %d, expected %d (%s)" % (r.returncode, code, err)
    if code:
        got = r.stderr.decode("latin-1")
        return None if got == message else "message %r, expected %r" % (got, message)
    got = json.loads(r.stdout.decode("utf-8"))
    return None if got == model else "JSON differs:\n  got      %s\n  expected %s" % (got, model)


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__)
        return 2
    quorvel, files, seed = args[0], 300, 20141130
    if "--files" in args:
        files = int(args[args.index("--files") + 1])
    if "--seed" in args:
        seed = int(args[args.index("--seed") + 1])
    rng = random.Random(seed)
    failures = 0
    failed_reads = {"defs": 0, "diagram": 0}
    with tempfile.TemporaryDirectory() as tmp:
        for i in range(files):
            for command, make, reader in (
                ("defs", definition_file, read_definition),
                ("diagram", description_file, read_description),
            ):
                data = make(rng)
                path = Path(tmp) / ("%s%d.txt" % (command, i))
                path.write_bytes(data)
                if expected(reader, data)[0]:
                    failed_reads[command] += 1
                problem = compare(quorvel, command, reader, path, data)
                if problem:
                    failures += 1
                    keep = Path(tmp).parent / ("quorvel-crosscheck-%s%d.txt" % (command, i))
                    keep.write_bytes(data)
                    print("%s %s: %s" % (command, keep, problem))
    print(
        "%d files of each kind (%d and %d of them end with a message), %d differences"
        % (files, failed_reads["defs"], failed_reads["diagram"], failures)
    )
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
