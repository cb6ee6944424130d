#!/usr/bin/env python3
"""Writes a manual under quillgen-preview while headless Chromium shows its first page,
as an author would: a saved sentence shows up in the page, which stays scrolled where it
was, and the box of changed pages lists the page; a mistake's warning appears in the
panel at the top with its file and line, and the panel goes once the mistake is fixed.
Usage: browser_test.py QUILLGEN_PREVIEW SOURCE_DIR. Exits 77 (skipped) without chromium."""
import json
import os
import shutil
import signal
import sys
import tempfile
import time

binary, source = sys.argv[1], sys.argv[2]
sys.path[:0] = [os.path.join(source, "tests", "support"), os.path.join(source, "tests", "preview")]
import cdp
from previewclient import Preview

chromium = cdp.find_chromium()
if not chromium:
    print("chromium not found: skipped")
    sys.exit(77)


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


# A browser or preview that stops answering fails the test instead of hanging it.
signal.signal(signal.SIGALRM, lambda *_: fail("the browser or the preview stopped answering"))
signal.alarm(100)

# Two pages; the first holds the included chapter, long enough to scroll through.
CHAPTER = ["\\section A chapter", ""]
for number in range(60):
    CHAPTER += ["Paragraph %d of a chapter long enough to scroll through." % number, ""]
MISTAKE_LINE = 7  # counted from 1, as the warning counts

work = tempfile.mkdtemp()
manual = os.path.join(work, "manual")
os.mkdir(manual)
with open(os.path.join(manual, "guide.dg"), "w") as f:
    f.write("\\document Preview test\n\\split index\n\\title{First page}\n\\h1 First page\n"
            "\\include chapter.dg\n\\split second\n\\title{Second page}\nThe second page.\n")


def save_chapter(lines):
    # Whole, as editors save, so that no render reads half a file.
    with open(os.path.join(work, "chapter.dg"), "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(os.path.join(work, "chapter.dg"), os.path.join(manual, "chapter.dg"))


save_chapter(CHAPTER)

# What the page's script draws, read from its shadow root.
STATE = """(() => {
    const root = document.getElementById('quillgen-preview').shadowRoot;
    const panel = root.querySelector('section.panel'), box = root.querySelector('nav.changed');
    return {text: document.body.innerText, scrollY: window.scrollY,
            panel: panel.hidden ? null : panel.textContent,
            changed: box.hidden ? null : [...box.querySelectorAll('a')].map(
                a => a.getAttribute('href'))};
})()"""


def state():
    try:
        return browser.evaluate(STATE)
    except cdp.BrowserError:
        return None  # between two pages, while it reloads


def wait_until(test, what, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        now = state()
        if now and test(now):
            return now
        time.sleep(0.2)
    now = state() or {}
    now.pop("text", None)
    fail("%s; the page shows %s" % (what, json.dumps(now)))


env = {k: v for k, v in os.environ.items() if not k.startswith("QUILLGEN_")}
preview = browser = None
try:
    preview = Preview(binary, ["guide.dg"], cwd=manual, env=env)
    browser = cdp.Browser(chromium, os.path.join(work, "profile"))
    browser.open(preview.url)
    wait_until(lambda s: "Paragraph 59" in s["text"] and s["panel"] is None,
               "the first page shows without warnings")

    # The browser would keep the place on reload by itself; the page's script must.
    browser.evaluate("history.scrollRestoration = 'manual'; window.scrollTo(0, 600)")
    wait_until(lambda s: s["scrollY"] == 600, "the page scrolls")
    sentence = "A sentence saved while the page was open."
    save_chapter(CHAPTER + [sentence])
    wait_until(lambda s: sentence in s["text"], "the page shows the saved sentence")
    wait_until(lambda s: abs(s["scrollY"] - 600) < 50, "the page stays where it was scrolled to")
    wait_until(lambda s: s["changed"] == ["/index.htm"], "the box lists the changed page alone")
    print("a saved edit shows in the page, scrolled where it was")

    # A misspelt command alone in its paragraph is dropped: the page stays the same, and
    # the panel and the box change in place.
    mistaken = CHAPTER[:MISTAKE_LINE - 1] + ["\\sectoin", ""] + CHAPTER[MISTAKE_LINE - 1:]
    save_chapter(mistaken + [sentence])
    wait_until(lambda s: s["panel"] and "chapter.dg:%d: " % MISTAKE_LINE in s["panel"]
               and "sectoin" in s["panel"] and s["changed"] is None,
               "the panel shows the warning with its file and line, and no page changed")
    save_chapter(CHAPTER + [sentence])
    wait_until(lambda s: s["panel"] is None, "the panel goes once the mistake is fixed")
    print("a mistake's warning shows in the panel until it is fixed")
finally:
    signal.alarm(0)
    if browser:
        browser.close()
    if preview:
        preview.stop()
    shutil.rmtree(work, ignore_errors=True)
