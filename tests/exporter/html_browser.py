#!/usr/bin/env python3
"""chatlog-export's web pages in a real browser (Debian's headless Chromium):
hostile message texts stay text (no element injected, no script run), every
message is a bubble on its side, the index links every page, and a screenshot
of the sample account's page is taken (the README's picture is one). A
history of several months, split into a page per month: every message once
and in order over the pages, each page linked to the one before and after
it and to the friend's own index, which the account index links.

Everything, the browser's profile included, goes under --work, a folder that
belongs to this test alone."""
import argparse
import html.parser
import os
import shutil
import struct
import subprocess
import sys

p = argparse.ArgumentParser()
p.add_argument("--exporter", required=True)
p.add_argument("--writer", required=True)
p.add_argument("--work", required=True)
p.add_argument("--chromium", default="/usr/bin/chromium")
ARGS = p.parse_args()
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what, file=sys.stderr)


def browser(*args):
    cmd = [ARGS.chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
           "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--user-data-dir=" + os.path.join(ARGS.work, "profile")] + list(args)
    done = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
    return done.stdout.decode("utf-8", "replace")


class CDom(html.parser.HTMLParser):
    """Tags, classes and texts of the DOM the browser dumped."""

    def __init__(self):
        super().__init__()
        self.tags, self.classes, self.texts, self.links, self.title = [], [], [], [], ""
        self._stack = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        self.classes.append(attrs.get("class", ""))
        if tag == "a":
            self.links.append(attrs.get("href"))
        self._stack.append((tag, attrs.get("class", "")))

    def handle_endtag(self, tag):
        while self._stack and self._stack.pop()[0] != tag:
            pass

    def handle_data(self, data):
        if self._stack and self._stack[-1][0] == "title":
            self.title += data
        if self._stack and self._stack[-1][1] == "text":
            self.texts.append(data)


def dump(path):
    dom = CDom()
    dom.feed(browser("--dump-dom", "file://" + os.path.abspath(path)))
    return dom


def check_split():
    # Every 20 hours over four months, from 2026-01-01.
    texts = ["m%d <i>" % i for i in range(120)]
    header = (b"DRCC" + struct.pack("<H", 1) + b"\0" * 16 + b"5".ljust(16, b"\0") +
              b"me".ljust(21, b"\0") + b"you".ljust(21, b"\0"))
    body = b"".join(struct.pack("<HHiI", 13 + len(t), 0, 1767225600 + 72000 * i, i % 2) +
                    t.encode() + b"\0" for i, t in enumerate(texts))
    logs = os.path.join(ARGS.work, "months")
    os.makedirs(logs)
    open(os.path.join(logs, "5.dat"), "wb").write(header + body)
    site = os.path.join(ARGS.work, "split")
    subprocess.run([ARGS.exporter, logs, "--format", "html", "--utc", "-o", site + os.sep],
                   check=True, timeout=60)
    index = dump(os.path.join(site, "index.html"))
    check(index.links == ["5/index.html"], "the account index links the friend's index")
    friend = dump(os.path.join(site, "5", "index.html"))
    pages = [link for link in friend.links if link != "../index.html"]
    check(pages == ["2026-01.html", "2026-02.html", "2026-03.html", "2026-04.html"],
          "the friend's index lists the months: %r" % pages)
    check("../index.html" in friend.links, "the friend's index leads back to the account")
    shown = []
    for i, name in enumerate(pages):
        dom = dump(os.path.join(site, "5", name))
        check("script" not in dom.tags and "i" not in dom.tags, "no element injected on " + name)
        check(dom.classes.count("msg sent") + dom.classes.count("msg received") ==
              len(dom.texts), "a bubble per message on " + name)
        shown += dom.texts
        want = {"index.html"} | set(pages[max(i - 1, 0):i + 2]) - {name}
        check(set(dom.links) == want and len(dom.links) == 2 * len(want),
              "links above and below on %s: %r" % (name, dom.links))
        check(dom.title.endswith(name[:7]), "the month in the title of " + name)
    check(shown == texts, "every message once and in order over the pages")


def main():
    shutil.rmtree(ARGS.work, ignore_errors=True)
    os.makedirs(ARGS.work)

    # A log whose texts try to break out of their bubble in every way.
    hostile = [b"</div><script>document.title='pwned'</script>",
               b"<img src=x onerror=\"document.title='pwned'\">",
               b"\"><b>bold</b>", b"</section></body><div class=\"msg sent\">fake</div>",
               b"<!-- open comment", b"&amp; &lt; stays as typed"]
    header = (b"DRCC" + struct.pack("<H", 1) + b"\0" * 16 + b"77".ljust(16, b"\0") +
              b"<i>me</i>".ljust(21, b"\0") + b"<script>x</script>".ljust(21, b"\0"))
    body = b"".join(struct.pack("<HHiI", 13 + len(t), 0, 1767225600 + 40000 * i, i % 2) + t +
                    b"\0" for i, t in enumerate(hostile))
    logs = os.path.join(ARGS.work, "hostile")
    os.makedirs(logs)
    open(os.path.join(logs, "77.dat"), "wb").write(header + body)
    page = os.path.join(ARGS.work, "hostile.html")
    subprocess.run([ARGS.exporter, logs, "--format", "html", "--utc", "-o", page], check=True,
                   timeout=60)
    dom = dump(page)
    check(dom.tags.count("div") > 0, "the browser rendered the page")
    check("script" not in dom.tags and "img" not in dom.tags and "b" not in dom.tags
          and "i" not in dom.tags, "no element injected by a text: %s" % sorted(set(dom.tags)))
    check(dom.title.strip() == "<script>x</script>(77)", "no script ran (title %r)" % dom.title)
    check(dom.texts == [t.decode() for t in hostile], "every text shown as typed: %r" % dom.texts)
    bubbles = [c for c in dom.classes if c.startswith("msg ")]
    check(bubbles == ["msg sent", "msg received"] * 3, "one bubble per message, on its side")
    check(dom.classes.count("day") == 3, "a line for each new day")

    # The sample account: a page per friend and the index; the screenshot.
    base = os.path.join(ARGS.work, "client")
    subprocess.run([ARGS.writer, "--dir", base, "--friends", "3", "--messages", "12", "--seed",
                    "7", "--quiet"], check=True, stdout=subprocess.DEVNULL, timeout=60)
    site = os.path.join(ARGS.work, "site")
    subprocess.run([ARGS.exporter, os.path.join(base, "123456789"), "--format", "html", "--utc",
                    "--split", "none", "-o", site + os.sep], check=True, timeout=60)
    index = dump(os.path.join(site, "index.html"))
    pages = sorted(f for f in os.listdir(site) if f != "index.html")
    check(sorted(index.links) == pages and len(pages) == 3, "the index links every page")
    for name in pages:
        classes = dump(os.path.join(site, name)).classes
        check(classes.count("msg sent") + classes.count("msg received") == 12,
              "12 messages on " + name)
    check_split()

    shot = os.path.join(ARGS.work, "export.png")
    browser("--screenshot=" + shot, "--window-size=820,640", "--hide-scrollbars",
            "file://" + os.path.abspath(os.path.join(site, "180000000.html")))
    check(os.path.exists(shot) and os.path.getsize(shot) > 10000, "screenshot taken")

    if FAILURES:
        print("%d check(s) failed" % len(FAILURES), file=sys.stderr)
        return 1
    print("all checks passed; screenshot in", shot)
    return 0


sys.exit(main())
