"""Headless Chromium driven over its debugging pipe (the DevTools protocol, one JSON
message per NUL-terminated frame) with nothing but the standard library. Used by the
tests that read pages in a real browser."""

import json
import os
import shutil
import subprocess
import time


class BrowserError(RuntimeError):
    """The browser refused a command or went away."""


def find_chromium():
    """The path of the chromium binary, or None when it is not installed."""
    return shutil.which("chromium") or shutil.which("chromium-browser")


class Browser:
    """A headless browser with one page, to which every command but Target's goes."""

    def __init__(self, binary, profile):
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def plumb():
            # The browser reads fd 3 and writes fd 4; a pipe that already has the
            # number keeps its close-on-exec flag through dup2, so both are made
            # inheritable.
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)
            os.set_inheritable(3, True)
            os.set_inheritable(4, True)

        self.process = subprocess.Popen(
            [binary, "--headless", "--no-sandbox", "--disable-gpu", "--remote-debugging-pipe",
             "--user-data-dir=" + profile, "about:blank"],
            preexec_fn=plumb, close_fds=False,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._pending = b""
        self._counter = 0
        self._session = None
        self.events = []
        try:
            target = next(t for t in self.call("Target.getTargets")["targetInfos"]
                          if t["type"] == "page")
            self._session = self.call("Target.attachToTarget", targetId=target["targetId"],
                                      flatten=True)["sessionId"]
            self.call("Page.enable")
        except BaseException:
            self.close()
            raise

    def close(self):
        """Asks the browser to quit, so that it ends its helper processes, and kills it
        when it does not."""
        try:
            self._send({"id": 0, "method": "Browser.close", "params": {}})
            self.process.wait(10)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)

    def _receive(self):
        while b"\0" not in self._pending:
            chunk = os.read(self._from_browser, 65536)
            if not chunk:
                raise BrowserError("the browser went away")
            self._pending += chunk
        message, self._pending = self._pending.split(b"\0", 1)
        return json.loads(message)

    def _send(self, message):
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")

    def call(self, method, **params):
        """Sends a command and returns its result; the events that come first are kept."""
        self._counter += 1
        message = {"id": self._counter, "method": method, "params": params}
        if self._session and not method.startswith("Target."):
            message["sessionId"] = self._session
        self._send(message)
        while True:
            reply = self._receive()
            if reply.get("id") == self._counter:
                if "error" in reply:
                    raise BrowserError(method + ": " + str(reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def wait_for_load(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            while self.events:
                if self.events.pop(0).get("method") == "Page.loadEventFired":
                    time.sleep(0.2)  # the scripts of the page run after the load event
                    return
            self.events.append(self._receive())
        raise BrowserError("the page did not load")

    def open(self, url):
        self.events.clear()
        self.call("Page.navigate", url=url)
        self.wait_for_load()

    def evaluate(self, expression, **options):
        """The value of a JavaScript expression in the page."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           **options)
        if "exceptionDetails" in result:
            raise BrowserError(expression + ": " + str(result["exceptionDetails"]))
        return result["result"].get("value")

    def press(self, key, code, keycode, text=None):
        params = {"key": key, "code": code, "windowsVirtualKeyCode": keycode}
        self.call("Input.dispatchKeyEvent", type="keyDown", text=text or "", **params)
        self.call("Input.dispatchKeyEvent", type="keyUp", **params)
