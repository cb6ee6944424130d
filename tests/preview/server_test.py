#!/usr/bin/env python3
"""quillgen-preview over the demo's inputs: its renders, the first and those that saves
start, write what quillgen writes and give the warnings it gives; then one table of the
server's answers over that output, with a secret beside the folder that no path may
reach. Usage: server_test.py QUILLGEN_PREVIEW QUILLGEN SOURCE_DIR"""
import filecmp, os, re, shutil, subprocess, sys, tempfile

preview_binary, quillgen, source = sys.argv[1:4]
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from previewclient import Preview, parse  # noqa: E402

work = tempfile.mkdtemp()
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


# The demo's inputs, as scripts/demo renders them: a header and the manual in one run,
# modern pages with the site, menus and properties, so that everything a run keeps
# from one input to the next is at work.
shutil.copytree(source + "/docs/manual", work + "/manual")
shutil.copy(source + "/examples/headers/uart.h", work + "/uart.h")
manual = work + "/manual"


def environment(out):
    return dict(os.environ, QUILLGEN_PAGES="modern", QUILLGEN_SITE="1",
                QUILLGEN_MANUAL_OUTPUT=out, QUILLGEN_WARNINGS="1",
                QUILLGEN_MENU_DEFINITIONS=source + "/docs/menus.xml",
                QUILLGEN_PROPERTIES=source + "/docs/properties.xml")


def arguments(out):
    return ["-o", out + "/api", work + "/uart.h", "manual.dg"]


reference = subprocess.run([quillgen] + arguments(work + "/ref"), cwd=manual,
                           env=environment(work + "/ref"), capture_output=True, text=True)
warned = [line for line in reference.stderr.splitlines() if ": warning: " in line]

out = work + "/out"
server = Preview(preview_binary, arguments(out), manual, environment(out))
try:
    socket = server.socket()
    first = socket.message()
    check(first["render"] == 1 and first["warnings"] == warned,
          "the first render's warnings differ from quillgen's: %s" % first["warnings"])
    # Two more renders, by saves: the same pages again, whatever the first left behind.
    for render in (2, 3):
        os.utime(manual + "/commandline.dg")
        message = socket.message()
        check(message["render"] == render and message["warnings"] == warned,
              "render %d: %s" % (render, message))
        check(message["changed"] == [], "render %d changed %s" % (render, message["changed"]))
    socket.close()
    for folder, _, files in os.walk(work + "/ref"):
        for name in files:
            mine = out + folder[len(work + "/ref"):] + "/" + name
            if not os.path.exists(mine) or not filecmp.cmp(folder + "/" + name, mine, False):
                failures.append("differs from quillgen's: " + mine)

    # A secret beside the served folder, and ways out of it through the folder.
    marker = "secret-%d" % os.getpid()
    with open(work + "/secret.txt", "w") as f:
        f.write(marker)
    os.symlink(work, out + "/escape")
    os.symlink(work + "/secret.txt", out + "/leak.txt")
    with open(out + "/.hidden.txt", "w") as f:
        f.write(marker)

    page = "/" + server.url.split("/", 3)[3]
    here = "127.0.0.1:%d" % server.port
    # (request, status, Content-Type it starts with)
    table = [
        ("GET %s" % page, 200, "text/html"),
        ("HEAD %s" % page, 200, "text/html"),
        ("GET /", 302, "text/plain"),
        ("GET /default.css", 200, "text/css"),
        ("GET /api/uart_h.htm", 200, "text/html"),
        ("GET /uart_h.contents.js", 404, "text/plain"),
        ("GET /api/uart_h.contents.js", 200, "text/javascript"),
        ("GET /.quillgen-preview/live.js", 200, "text/javascript"),
        ("GET /quillgen-modern.png", 200, "image/png"),
        ("GET /no-such-page.htm", 404, "text/plain"),
        ("GET /api/", 404, "text/plain"),
        ("POST %s" % page, 405, "text/plain"),
        ("DELETE %s" % page, 405, "text/plain"),
        ("BREW %s" % page, 405, "text/plain"),
        ("GET /../secret.txt", 404, "text/plain"),
        ("GET /%2e%2e/secret.txt", 404, "text/plain"),
        ("GET /api/..%2f..%2fsecret.txt", 404, "text/plain"),
        ("GET /api/%2E%2E/%2E%2E/secret.txt", 404, "text/plain"),
        ("GET /escape/secret.txt", 404, "text/plain"),
        ("GET /leak.txt", 404, "text/plain"),
        ("GET /.hidden.txt", 404, "text/plain"),
        ("GET /.quillgen-pages", 404, "text/plain"),
        ("GET %s/secret.txt" % work, 404, "text/plain"),
        ("GET http://%s/../secret.txt" % here, 404, "text/plain"),
        ("GET /secret.txt%00.htm", 404, "text/plain"),
        ("GET /api\\..\\..\\secret.txt", 404, "text/plain"),
    ]
    for request, status, kind in table:
        method, target = request.split(" ", 1)
        got, headers, body = parse(server.request(
            ("%s %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (method, target, here)).encode()))
        check(got == status, "%s: %d, not %d" % (request, got, status))
        check(headers.get("content-type", "").startswith(kind),
              "%s: type %s" % (request, headers.get("content-type")))
        check(headers.get("cache-control") == "no-store", request + ": may be cached")
        check(marker.encode() not in body, request + ": served the secret")
        if method == "HEAD":
            check(body == b"" and int(headers["content-length"]) > 0, request + ": a body")

    # The page as written, with the script put in; the file keeps its bytes.
    status, headers, body = server.get(page)
    with open(out + page, "rb") as f:
        on_disk = f.read()
    script = re.search(rb'<script src="/.quillgen-preview/live.js" data-render="3"></script>', body)
    check(script is not None and body.replace(script.group(0), b"") == on_disk,
          "the page sent is not the page written with the script")
    check(parse(server.request(b"GET / HTTP/1.1\r\nHost: %s\r\n\r\n" % here.encode()))[1]
          .get("location") == page, "/ does not lead to the first page")

    # What the guard answers, and a Host that is not this machine.
    raw = [
        (b"GARBAGE\r\n\r\n", 400),
        (b"GET / HTTP/9.9\r\n\r\n", 400),
        (b"GET /" + b"a" * 9000 + b" HTTP/1.1\r\n\r\n", 414),
        (b"GET / HTTP/1.1\r\nX: " + b"a" * 20000 + b"\r\n\r\n", 431),
        (b"GET / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", 413),
        (b"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 413),
        (b"GET %s HTTP/1.1\r\nHost: attacker.example\r\n\r\n" % page.encode(), 403),
        (b"GET /.quillgen-preview/socket HTTP/1.1\r\nHost: attacker.example\r\n"
         b"Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
         b"Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n", 404),
    ]
    for request, status in raw:
        got = parse(server.request(request))[0]
        check(got == status, "%r: %d, not %d" % (request[:40], got, status))
    check(server.alive() and server.get(page)[0] == 200, "the server does not answer")
finally:
    errors = server.stop()
    shutil.rmtree(work, ignore_errors=True)
# The sanitizer builds report on standard error and go on.
check("Sanitizer" not in errors and "runtime error" not in errors, "sanitizer: " + errors[-2000:])

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
