#!/usr/bin/env python3
"""Proves the code that quorvel writes with real compilers, and keeps its golden files.

golden QUORVEL GOLDEN_DIR [--update]
    Compares `quorvel config` and `quorvel code` in the three languages, for the default
    choices of each sample device and for the README's examples, with the files in
    GOLDEN_DIR (--update writes them instead).

tools QUORVEL
    For every shipped device with its default choices, and for the README's examples:
    - the C code (one line per field, and merged) is compiled with gcc -Wall -Wextra -Werror
      against a generated header declaring the registers, and run: every register must hold
      the bits that the chosen register fields give, every other bit untouched, and a register
      that the chip locks must be written only right after its unlock keys, and locked again
      at the end;
    - the Pascal code is compiled with Free Pascal and must leave the same registers;
    - for the PIC18 devices, the "#pragma config" lines become CONFIG directives assembled by
      gpasm, and the configuration words of its hex output must equal the word values that
      quorvel reports, and hold every chosen field's value.

Exit code 0 when everything agrees, 1 on a difference, 77 when a compiler is missing.
"""

import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

# The README's examples, and the default choices of the three sample devices.
EXAMPLES = {
    "dsPIC33FJ128GP802-40MIPS": [
        "dsPIC33FJ128GP802", "--click", "588,370", "--click", "29,191", "--box", "0=8",
        "--click", "516,119", "--click", "614,250",
    ],
    "PIC18F45K22-64MHz": [
        "PIC18F45K22", "--click", "189,158", "--click", "384,380", "--click", "414,217",
    ],
    "PIC32MX795F512L-80MHz": [
        "PIC32MX795F512L", "--click", "579,370", "--click", "22,191", "--box", "0=8",
        "--click", "232,103", "--click", "518,103", "--click", "607,250", "--click", "567,628",
    ],
}
SAMPLES = ["PIC18F45K22", "dsPIC33FJ128GP802", "PIC32MX795F512L"]

# Registers that take a write only right after an unlock, as the chips' data sheets give it:
# register -> (key register, keys in order). Any other value written to the key register
# locks again.
UNLOCKS = {
    "PIC32": {"OSCCON": ("SYSKEY", [0xAA996655, 0x556699AA])},
}
LANGUAGES = ["pascal", "basic", "c"]


def quorvel(exe, args, cwd):
    r = subprocess.run([exe] + args, capture_output=True, cwd=cwd)
    if r.returncode != 0:
        raise RuntimeError("quorvel %s: exit %d: %s" % (" ".join(args), r.returncode,
                                                          r.stderr.decode("latin-1")))
    return r.stdout.decode("latin-1")


def scenarios(devices):
    out = {name + "-defaults": [name] for name in devices}
    out.update(EXAMPLES)
    return out


def golden(exe, golden_dir, update):
    exe = str(Path(exe).resolve())
    golden_dir = Path(golden_dir)
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        for name, args in scenarios(SAMPLES).items():
            for lang in LANGUAGES:
                text = ("== quorvel config --lang %s\n" % lang
                        + quorvel(exe, ["config"] + args + ["--lang", lang], work)
                        + "== quorvel code --lang %s\n" % lang
                        + quorvel(exe, ["code"] + args + ["--lang", lang], work)
                        + "== quorvel code --lang %s --merge\n" % lang
                        + quorvel(exe, ["code"] + args + ["--lang", lang, "--merge"], work))
                path = golden_dir / ("%s.%s.txt" % (name, lang))
                if update:
                    path.write_text(text, encoding="latin-1")
                elif not path.exists() or path.read_text(encoding="latin-1") != text:
                    print("differs from %s:\n%s" % (path, text))
                    failures += 1
    return 1 if failures else 0


def family_width(device):
    """Bits of an SFR: 8 on the 8-bit PICs, 16 on the dsPICs, 32 on the PIC32s."""
    return 32 if device.startswith("PIC32") else 16 if device.startswith("dsPIC") else 8


def field_bits(name):
    """REG<hi:lo> or REG<bit>: (REG, hi, lo)."""
    m = re.fullmatch(r"(\w+)<(\d+)(?::(\d+))?>", name)
    hi = int(m.group(2))
    lo = int(m.group(3)) if m.group(3) else hi
    return m.group(1), hi, lo


def expected_registers(diagram, state, width):
    """Start value and expected value of every register, from the chosen register lines."""
    start_pattern = 0xA5C3F00F & ((1 << width) - 1)
    registers = {}
    for line in diagram["registerLines"]:
        registers.setdefault(field_bits(line["name"])[0], start_pattern)
    expected = dict(registers)
    seen = set()
    for line, marked in zip(diagram["registerLines"], state["registerMarked"]):
        if not marked or line["name"] in seen:
            continue
        seen.add(line["name"])
        reg, hi, lo = field_bits(line["name"])
        mask = ((1 << (hi - lo + 1)) - 1) << lo
        expected[reg] = (expected[reg] & ~mask) | ((line["value"] << lo) & mask)
    return registers, expected


C_TEMPLATE = """#include <stdint.h>
#include <stdio.h>

/* The registers the code writes, as plain variables. A register that the chip locks is
   reached through a function that notes whether its unlock keys had just been written. */
static int written_locked;

%(declarations)s

static void init(void) {
%(code)s
}

int main(void) {
    init();
%(prints)s
    printf("locked_writes=%%d\\n", written_locked);
    return 0;
}
"""


def c_program(registers, width, unlocks, code):
    ctype = "uint%d_t" % width
    decl = []
    keys = sorted({key for key, _ in unlocks.values()})
    if keys:
        decl.append("static uint32_t key_log[64];\nstatic unsigned key_count;")
    for key in keys:
        decl.append("static uint32_t *%s_slot(void) {\n"
                    "    return &key_log[key_count++ %% 64];\n}\n"
                    "#define %s (*%s_slot())" % (key, key, key))
    for reg, start in registers.items():
        if reg in unlocks:
            values = unlocks[reg][1]
            checks = " && ".join("key_log[(key_count + 64 - %d) %% 64] == 0x%Xu"
                                 % (len(values) - i, v) for i, v in enumerate(values))
            decl.append("static volatile %s %s_value = 0x%Xu;\n"
                        "static volatile %s *%s_access(void) {\n"
                        "    if (!(key_count >= %d && %s))\n"
                        "        written_locked = 1;\n"
                        "    return &%s_value;\n}\n"
                        "#define %s (*%s_access())"
                        % (ctype, reg, start, ctype, reg, len(values), checks, reg, reg, reg))
        else:
            decl.append("static volatile %s %s = 0x%Xu;" % (ctype, reg, start))
    prints = []
    for reg in registers:
        name = reg + "_value" if reg in unlocks else reg
        prints.append('    printf("%s=%%lu\\n", (unsigned long)%s);' % (reg, name))
    if keys:
        # Locked again: the last write to the key register is no key.
        relocked = " && ".join("key_log[(key_count + 63) %% 64] != 0x%Xu" % v
                               for _, values in unlocks.values() for v in values)
        prints.append('    printf("relocked=%%d\\n", key_count == 0 || (%s));' % relocked)
    return C_TEMPLATE % {"declarations": "\n".join(decl),
                         "code": "\n".join("    " + l for l in code),
                         "prints": "\n".join(prints)}


def pascal_program(registers, width, code):
    ptype = {8: "Byte", 16: "Word", 32: "LongWord"}[width]
    decl = "\n".join("  %s: %s = %d;" % (reg, ptype, start) for reg, start in registers.items())
    prints = "\n".join("  writeln('%s=', %s);" % (reg, reg) for reg in registers)
    return ("program init;\n{$mode objfpc}\nvar\n%s\nbegin\n%s\n%s\nend.\n"
            % (decl, "\n".join("  " + l for l in code), prints))


def run_output(cmd, cwd):
    r = subprocess.run(cmd, capture_output=True, cwd=cwd)
    if r.returncode != 0:
        raise RuntimeError("%s: exit %d\n%s%s" % (" ".join(cmd), r.returncode,
                                                  r.stdout.decode(), r.stderr.decode()))
    return r.stdout.decode()


def values_of(text):
    return {k: int(v) for k, v in (l.split("=") for l in text.split())}


def hex_words(path):
    """Bytes of an Intel hex file by address."""
    data, base = {}, 0
    for line in Path(path).read_text().split():
        raw = bytes.fromhex(line[1:])
        count, addr, kind = raw[0], (raw[1] << 8) | raw[2], raw[3]
        if kind == 4:
            base = ((raw[4] << 8) | raw[5]) << 16
        elif kind == 0:
            for i in range(count):
                data[base + addr + i] = raw[4 + i]
    return data


def gpasm_check(device, state, config_c, work):
    lines = ["    LIST P=%s" % device[3:]]
    for l in config_c:
        m = re.match(r"#pragma config (\w+) = (\w+)", l)
        if m:
            lines.append("    CONFIG %s = %s" % m.groups())
    lines.append("    END")
    asm = Path(work) / "config.asm"
    asm.write_text("\n".join(lines) + "\n")
    run_output(["gpasm", "-p" + device[3:].lower(), "-o", "config.hex", "config.asm"], work)
    data = hex_words(Path(work) / "config.hex")
    problems = []
    for word in state["configWords"]:
        if word["value"] is None:
            continue
        got = data.get(word["address"])
        if got != word["value"]:
            problems.append("%s: gpasm 0x%s, quorvel 0x%02X" % (
                word["word"], "--" if got is None else "%02X" % got, word["value"]))
    for bit in state["configBits"]:
        got = data.get(bit["address"], 0)
        if got & bit["mask"] != bit["value"]:
            problems.append("%s %s=%s: gpasm 0x%02X, field 0x%02X" % (
                bit["word"], bit["field"], bit["setting"], got & bit["mask"], bit["value"]))
    return problems


def tools(exe):
    exe = str(Path(exe).resolve())
    for tool in ("gcc", "fpc", "gpasm"):
        if shutil.which(tool) is None:
            print("%s is not installed" % tool)
            return 77
    program_dir = Path(exe).resolve().parent
    devices = []
    for line in (program_dir / "Quorvel_Configuration_PICs.txt").read_text().splitlines():
        line = line.split("//")[0].strip()
        if "=" in line and line.split("=")[0].strip() != "-":
            devices.append((line.split("=")[0].strip(), line.split("=")[1].strip()))
    diagrams = {}
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        for name, args in scenarios([d for d, _ in devices]).items():
            device = args[0]
            diagram_name = dict(devices)[device]
            if diagram_name not in diagrams:
                diagrams[diagram_name] = json.loads(quorvel(
                    exe, ["diagram", str(program_dir / ("Quorvel_%s_lines.txt" % diagram_name))],
                    work))
            diagram = diagrams[diagram_name]
            unlocks = {reg: lock for reg, lock in UNLOCKS.get(device[:5], {}).items()
                       if any(field_bits(l["name"])[0] == reg for l in diagram["registerLines"])}
            state = json.loads(quorvel(exe, ["run"] + args + ["--json"], work))
            width = family_width(device)
            registers, expected = expected_registers(diagram, state, width)
            problems = []
            for merge in ([], ["--merge"]):
                code = quorvel(exe, ["code"] + args + ["--lang", "c"] + merge, work).splitlines()
                Path(work, "registers.c").write_text(c_program(registers, width, unlocks, code))
                run_output(["gcc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-o", "init_c",
                            "registers.c"], work)
                got = values_of(run_output(["./init_c"], work))
                for reg, value in expected.items():
                    if got[reg] != value:
                        problems.append("C%s %s: 0x%X, expected 0x%X"
                                        % (" merged" if merge else "", reg, got[reg], value))
                if got["locked_writes"]:
                    problems.append("C: a locked register was written without its unlock keys")
                if unlocks and got["relocked"] != 1:
                    problems.append("C: the unlocked registers are not locked again")
            pascal = quorvel(exe, ["code"] + args + ["--lang", "pascal"], work).splitlines()
            Path(work, "init.pas").write_text(pascal_program(registers, width, pascal))
            run_output(["fpc", "-Sew", "-oinit_pas", "init.pas"], work)
            got = values_of(run_output(["./init_pas"], work))
            for reg, value in expected.items():
                if got[reg] != value:
                    problems.append("Pascal %s: 0x%X, expected 0x%X" % (reg, got[reg], value))
            if device.startswith("PIC18"):
                config_c = quorvel(exe, ["config"] + args + ["--lang", "c"], work).splitlines()
                problems += gpasm_check(device, state, config_c, work)
            checked += 1
            for p in problems:
                print("%s: %s" % (name, p))
            failures += bool(problems)
    print("%d scenarios, %d with differences" % (checked, failures))
    return 1 if failures else 0


def main():
    args = sys.argv[1:]
    if len(args) >= 3 and args[0] == "golden":
        return golden(args[1], args[2], "--update" in args)
    if len(args) == 2 and args[0] == "tools":
        return tools(args[1])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
