#!/usr/bin/env python3
"""Time to the `load` event of exported web pages in headless Chromium,
driven over its DevTools pipe (no extra Python package). For each page:
the page's own navigation timing (load event start minus navigation start)
of a few fresh loads, the fastest and the median. A folder stands for its
largest page (an index aside), e.g. the month pages export_bench keeps.

    page_load.py [--chromium PATH] [--rounds N] PAGE.html|FOLDER ...

The browser's profile goes into a temporary folder of its own."""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time


class CBrowser:
    """Headless Chromium with its DevTools protocol on file descriptors 3
    (commands in) and 4 (replies and events out), messages ending in NUL."""

    def __init__(self, chromium, profile):
        to_child_r, self._to_child = os.pipe()
        self._from_child, from_child_w = os.pipe()

        def remap():
            # Through fresh copies: a pipe that already sits on 3 or 4 would
            # keep its close-on-exec flag under a dup2 onto itself.
            read_copy, write_copy = os.dup(to_child_r), os.dup(from_child_w)
            os.dup2(read_copy, 3)
            os.dup2(write_copy, 4)

        self._proc = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-extensions", "--remote-debugging-pipe", "--user-data-dir=" + profile,
             "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=remap,
            close_fds=False)  # the closing would run after remap() and take 3 and 4
        os.close(to_child_r)
        os.close(from_child_w)
        os.set_inheritable(self._to_child, False)
        self._buffer = b""
        self._next_id = 0
        self._events = []

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self._from_child, 1 << 20)
            if not chunk:
                raise EOFError("the browser went away")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None, timeout=120):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_child, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            self._events.append(reply)

    def wait_event(self, method, timeout=120):
        deadline = time.monotonic() + timeout
        while True:
            for i, event in enumerate(self._events):
                if event.get("method") == method:
                    del self._events[i]
                    return event
            self._events.append(self._read_message(deadline))

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except Exception:
            pass
        try:
            self._proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._proc.kill()
            self._proc.wait()
        os.close(self._to_child)
        os.close(self._from_child)


def load_times(browser, path, rounds):
    """Milliseconds from navigation start to the load event, per fresh load."""
    url = "file://" + os.path.abspath(path)
    times = []
    for _ in range(rounds):
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        browser.call("Page.enable", session=session)
        browser._events.clear()
        browser.call("Page.navigate", {"url": url}, session=session)
        browser.wait_event("Page.loadEventFired")
        timing = browser.call("Runtime.evaluate", {
            "expression": "performance.timing.loadEventStart - performance.timing.navigationStart",
            "returnByValue": True}, session=session)
        times.append(float(timing["result"]["value"]))
        browser.call("Target.closeTarget", {"targetId": target})
    return times


def largest_page(path):
    if not os.path.isdir(path):
        return path
    pages = [os.path.join(folder, name) for folder, _, names in os.walk(path) for name in names
             if name.endswith(".html") and name != "index.html"]
    return max(pages, key=os.path.getsize)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--chromium", default="/usr/bin/chromium")
    p.add_argument("--rounds", type=int, default=5)
    p.add_argument("pages", nargs="+")
    args = p.parse_args()
    with tempfile.TemporaryDirectory(prefix="page_load_") as profile:
        browser = CBrowser(args.chromium, profile)
        try:
            print("page                                   MB   load ms fastest   median")
            for page in map(largest_page, args.pages):
                times = load_times(browser, page, args.rounds)
                print("%-35s %6.1f  %15.1f  %7.1f" % (
                    os.path.basename(page)[-35:], os.path.getsize(page) / 1e6, min(times),
                    statistics.median(times)))
        finally:
            browser.close()
    return 0


sys.exit(main())
