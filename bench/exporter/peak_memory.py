#!/usr/bin/env python3
"""Peak memory (maximum resident set) of chatlog-export for one log of 10k,
100k and 1M messages, CSV and reverse order, and web pages in a folder
split by month and by 10,000 messages: it must not grow with the messages. Linux; every file goes into a temporary folder of its own.

    peak_memory.py EXPORTER WRITER"""
import os
import resource
import subprocess
import sys
import tempfile


def peak_kb(cmd):
    # A fresh interpreter per run, so RUSAGE_CHILDREN holds that run alone.
    probe = ("import resource,subprocess,sys;"
             "subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,check=True);"
             "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    return int(subprocess.run([sys.executable, "-c", probe] + cmd, check=True,
                              stdout=subprocess.PIPE).stdout)


exporter, writer = sys.argv[1], sys.argv[2]
with tempfile.TemporaryDirectory(prefix="export_memory_") as work:
    print("messages    log MB   peak KB asc csv   peak KB desc csv   peak KB json"
          "   html by month   html by 10,000")
    for n in (10000, 100000, 1000000):
        base = os.path.join(work, str(n))
        subprocess.run([writer, "--dir", base, "--friends", "1", "--messages", str(n), "--quiet"],
                       check=True, stdout=subprocess.DEVNULL)
        log = os.path.join(base, "123456789", "ChatLog", "180000000.dat")
        out = os.path.join(work, "out")
        asc = peak_kb([exporter, log, "--format", "csv", "-o", out])
        desc = peak_kb([exporter, log, "--format", "csv", "--order", "desc", "-o", out])
        js = peak_kb([exporter, log, "--format", "json", "-o", out])
        month = peak_kb([exporter, log, "--format", "html", "-o", out + "-month/"])
        tenk = peak_kb([exporter, log, "--format", "html", "--split", "10000", "-o",
                        out + "-10000/"])
        print("%9d  %7.1f  %16d  %17d  %13d  %14d  %15d" % (
            n, os.path.getsize(log) / 1e6, asc, desc, js, month, tenk))
