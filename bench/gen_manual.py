#!/usr/bin/env python3
"""Writes a manual source of N pages with every kind of block to standard output.

Usage: gen_manual.py PAGES [SEED]

Each page has sections, paragraphs with inline styles and links, bulleted items,
steps, terms, a table, a matrix, code samples in every coloured language, a
preformatted block, notes, variant sections and "@def" lines with continuations.
The output depends only on the arguments.
"""
import random
import sys

VOCABULARY = ["the", "port", "buffer", "value", "returns", "when", "frame", "clock",
              "project", "debugger", "target", "build", "window", "editor", "board",
              "memory", "breakpoint", "step", "opens", "shows", "each", "file"]


def words(rng, n):
    return " ".join(rng.choice(VOCABULARY) for _ in range(n))


def page(rng, p, pages):
    name = f"page{p}"
    other = f"page{(p * 7 + 3) % pages}"
    out = [f"% page {p}",
           f"\\split {name}",
           f"\\title{{Page {p}: {words(rng, 3)}}}",
           f"\\contents {'down' if p % 5 == 1 else 'same'}",
           f"\\section {words(rng, 3).capitalize()}",
           f"{words(rng, 12).capitalize()} \\b{{{words(rng, 2)}}} and \\i{{{words(rng, 1)}}}, "
           f"see \\ref{{{other}}} and \\tt{{{words(rng, 1)}}}.",
           f"{words(rng, 20).capitalize()} \\key{{Ctrl+O}} \\ui{{OK}}.",
           "",
           f"\\subsection {words(rng, 2).capitalize()}"]
    for j in range(4):
        out.append(f"\\item {words(rng, 8)} \\b{{{j}}}")
    for j in range(3):
        out.append(f"\\step {words(rng, 6)}")
    out.append(f"\\term{{{words(rng, 1)}}} {words(rng, 10)}")
    out += ["", "\\table{1.5in,*}", "||Setting|Meaning"]
    for j in range(4):
        out.append(f"||{words(rng, 1)}{j}|{words(rng, 7)}")
    out += ["||-" + words(rng, 3), "\\endtable", "", "\\matrix{a,b,c}"]
    for j in range(2):
        out.append(f"|{words(rng, 1)}|{words(rng, 1)}|{words(rng, 1)}")
    out += ["\\endmatrix", "",
            "\\code{c}",
            f"int {name}_main(int argc, char **argv) {{  /* entry */",
            f"    return argc > 1 ? 0x{p:x} : \"{words(rng, 2)}\"[0];  // done",
            "}", "\\endcode",
            "\\code{basic}", f"10 PRINT \"{words(rng, 2)}\"", f"20 GOTO {p % 90 + 10}", "\\endcode",
            "\\code{asm}", f"{name}:  addi a0, a0, {p}  ; count", "        ret", "\\endcode",
            "\\code{xml}", f"<item id=\"{p}\"><!-- {words(rng, 2)} -->&amp;</item>", "\\endcode",
            "\\code{javascript}", f"var s = '{words(rng, 2)}'; // {p}", "\\endcode",
            "\\pre", f"  {words(rng, 6)}", "\\endpre",
            f"\\note {words(rng, 10)}",
            "@arm", f"{words(rng, 8)} (dropped for this family)", "@else",
            f"{words(rng, 8)} (kept)", "@end",
            f"@def VALUE{p % 10} {words(rng, 3)} \\", f"  {words(rng, 2)}"]
    # "up" finishes the page it stands on, so it comes last.
    out += ["\\contents up", ""] if p % 5 == 4 else [""]
    return "\n".join(out)


def main():
    pages = int(sys.argv[1])
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    rng = random.Random(seed)
    out = [f"\\document Generated manual {seed}", f"\\subtitle {pages} pages"]
    out += [page(rng, p, pages) for p in range(pages)]
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
