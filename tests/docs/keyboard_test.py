#!/usr/bin/env python3
"""Reads modern pages with the keyboard alone, in headless Chromium driven over its
debugging pipe: the first Tab reaches the skip link, Tab reaches the link to the next
page and Enter opens it, and the search box takes a query and Enter opens the search.
Then axe-core, where scripts/deps installed it (or QUILLGEN_AXE names axe.min.js),
must find no violation on the demo's pages (manual pages with code, tables and icons, a
header's index page, a declaration's page, the search page), light and dark.
Usage: keyboard_test.py QUILLGEN SOURCE_DIR. Exits 77 (skipped) without chromium."""
import json, os, shutil, signal, subprocess, sys, tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import cdp

quillgen, source = sys.argv[1], sys.argv[2]
chromium = cdp.find_chromium()
if not chromium:
    print("chromium not found: skipped")
    sys.exit(77)
work = tempfile.mkdtemp()


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


# A browser that stops answering fails the test, and is stopped, instead of hanging it.
signal.signal(signal.SIGALRM, lambda *_: fail("the browser stopped answering"))
signal.alarm(90)


# The demo's pages: quillgen's own manual and the example header, in one run.
env = dict(os.environ, QUILLGEN_PAGES="modern", QUILLGEN_SITE="1", QUILLGEN_MANUAL_OUTPUT=work,
           QUILLGEN_MENU_DEFINITIONS=source + "/docs/menus.xml",
           QUILLGEN_PROPERTIES=source + "/docs/properties.xml")
subprocess.run([quillgen, "-o", work + "/api", source + "/examples/headers/uart.h", "manual.dg"],
               cwd=source + "/docs/manual", env=env, check=True, stdout=subprocess.DEVNULL)

browser = cdp.Browser(chromium, work + "/profile")
evaluate = browser.evaluate
press = browser.press
open_page = browser.open


def tab_to(test, limit=40):
    """Presses Tab until the focused element passes test (a JavaScript function)."""
    for _ in range(limit):
        press("Tab", "Tab", 9)
        if evaluate("(" + test + ")(document.activeElement)"):
            return
    fail("Tab never reached " + test)


try:
    open_page("file://" + work + "/index.htm")
    press("Tab", "Tab", 9)
    if not evaluate("document.activeElement.classList.contains('qg-skip')"):
        fail("the first Tab does not reach the skip link")
    tab_to("e => e.rel === 'next'")
    following = evaluate("document.activeElement.getAttribute('href')")
    press("Enter", "Enter", 13, "\r")
    browser.wait_for_load()
    if not evaluate("location.pathname.endsWith('/' + %s)" % json.dumps(following)):
        fail("Enter on the link to %s opened %s" % (following, evaluate("location.href")))
    tab_to("e => e.name === 'q'")
    for letter in "uart":
        press(letter, "Key" + letter.upper(), ord(letter.upper()), letter)
    press("Enter", "Enter", 13, "\r")
    browser.wait_for_load()
    if not evaluate("location.pathname.endsWith('/search.htm') && location.search === '?q=uart'"):
        fail("the search box opened " + str(evaluate("location.href")))
    print("modern pages can be read with the keyboard")
    axe = os.environ.get("QUILLGEN_AXE") or os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "a11y", "node_modules", "axe-core", "axe.min.js")
    if os.path.exists(axe):
        with open(axe, encoding="utf-8") as f:
            axe_source = f.read()
        found = []
        for scheme in ("light", "dark"):
            browser.call("Emulation.setEmulatedMedia",
                         features=[{"name": "prefers-color-scheme", "value": scheme}])
            for page in ("index.htm", "code.htm", "interface.htm", "api/uart_h.htm",
                         "api/uart_open.htm", "search.htm?q=uart"):
                open_page("file://" + work + "/" + page)
                evaluate(axe_source)
                violations = evaluate(
                    "axe.run(document).then(r => r.violations.map(v => v.id + ': ' + "
                    "v.nodes.map(n => n.target.join(' ')).slice(0, 3).join(', ')))",
                    awaitPromise=True)
                for violation in violations or []:
                    found.append("%s (%s): %s" % (page, scheme, violation))
        if found:
            fail("axe-core finds:\n  " + "\n  ".join(found))
        print("axe-core finds nothing on the modern pages, light and dark")
    else:
        print("axe-core is not installed (scripts/deps test): its check skipped")
finally:
    browser.close()
    shutil.rmtree(work, ignore_errors=True)
