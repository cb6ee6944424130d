#!/usr/bin/env python3
"""Writes a C header of N documented declarations of every kind to standard output.

Usage: gen_header.py DECLARATIONS [SEED]

The kinds rotate: function-like macros with continuation lines, typedef'd structs
with nested function pointers, enums, function-pointer typedefs, variables and
functions with code samples, in groups. The output depends only on the arguments.
"""
import random
import sys

GROUPS = ["Configuration", "Ports", "Data transfer", "Events", "Timers", "Power"]


def words(rng, n):
    vocabulary = ["the", "port", "buffer", "value", "returns", "when", "frame", "clock",
                  "divider", "interrupt", "context", "status", "bytes", "given", "after",
                  "before", "each", "channel", "register", "mode", "enables", "waits"]
    return " ".join(rng.choice(vocabulary) for _ in range(n))


def comment(rng, name, group, extra=""):
    lines = [f"/*! \\brief {words(rng, 8).capitalize()}.",
             f" * \\ingroup {group}",
             " * \\synopsis",
             f" * {words(rng, 9).capitalize()} \\b{{{name}}} {words(rng, 6)}.",
             f" * See \\ref{{{name}}} and \\tt{{{words(rng, 2)}}}."]
    if extra:
        lines.append(extra)
    lines.append(" */")
    return "\n".join(lines)


def declaration(rng, i, prefix):
    kind = i % 6
    group = GROUPS[(i // 6) % len(GROUPS)]
    name = f"{prefix}_{kind}_{i}"
    if kind == 0:
        body = (f"#define {name.upper()}(clock, baud) \\\n"
                f"    (((clock) + 8u * (baud)) /    \\\n"
                f"     (16u * (baud) + {i}u))")
        return comment(rng, name.upper(), group,
                       " * \\param{clock} the clock.\n * \\param{baud} the rate.") + "\n" + body
    if kind == 1:
        body = (f"typedef struct {name} {{\n"
                f"    unsigned int id;\n"
                f"    int (*handler)(void (*done)(int status, void *ctx), const char *name);\n"
                f"    struct {{\n        unsigned rts : 1;\n        unsigned cts : 1;\n    }} flow;\n"
                f"    unsigned char data[{i % 64 + 1}];\n"
                f"}} {name}_t;")
        return comment(rng, name + "_t", group) + "\n" + body
    if kind == 2:
        members = ",\n".join(f"    {name.upper()}_V{j} = {j * 3}" for j in range(5))
        body = f"typedef enum {name} {{\n{members}\n}} {name}_e;"
        extra = "\n".join(f" * \\item{{{name.upper()}_V{j}}} {words(rng, 5)};" for j in range(5))
        return comment(rng, name + "_e", group, extra) + "\n" + body
    if kind == 3:
        body = f"typedef void (*{name}_cb)(int port, int status, void *context);"
        return comment(rng, name + "_cb", group,
                       " * \\param{port} the port.\n * \\param{status} the status.") + "\n" + body
    if kind == 4:
        body = f"extern volatile unsigned long {name}_count[{i % 8 + 1}];"
        return comment(rng, name + "_count", group) + "\n" + body
    sample = (" * \\code\n"
              f" *     int r = {name}(port, buffer, sizeof buffer);  // read\n"
              " *     if (r < 0)\n"
              " *         return \"failed\";\n"
              " * \\endcode")
    body = f"int {name}(int port, const void *buffer, size_t length);"
    return comment(rng, name, group,
                   " * \\param{port} the port.\n * \\param{buffer} the data.\n"
                   " * \\return the count.\n" + sample) + "\n" + body


def main():
    count = int(sys.argv[1])
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    rng = random.Random(seed)
    prefix = f"h{seed}"
    out = [f"/*!! \\overview\nGenerated header {seed} of {count} declarations.\n"
           f"\\grouporder{{{', '.join(GROUPS)}}}\n*/",
           f"#ifndef {prefix.upper()}_H", f"#define {prefix.upper()}_H",
           "#include <stddef.h>", ""]
    group_open = None
    for i in range(count):
        group = GROUPS[(i // 50) % len(GROUPS)]
        if group != group_open:
            if group_open:
                out.append("/*! \\endgroup */")
            out.append(f"/*! \\group {group} */")
            group_open = group
        out.append(declaration(rng, i, prefix))
        out.append("")
    out.append("/*! \\endgroup */")
    out.append("#endif")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
