#!/usr/bin/env python3
"""Runs a test program as the world outside Windows may treat its files:

    outside_hand.py FILE_LIMIT COMMAND [ARGS...]

* every file the program writes stops growing at FILE_LIMIT bytes: a write
  past it fails partway, as it does on a disk that fills (the system's file
  size limit, with its signal ignored so that the write fails instead);
* a file it names is removed behind Windows' back, as another machine removes
  it from a shared folder, past the sharing the program's own handles ask.
  The program writes the file's Linux path into VEMLI_OUTSIDE_HAND/remove
  (renamed there whole) and waits for VEMLI_OUTSIDE_HAND/answer: "removed",
  or why not.

The program also gets VEMLI_FILE_LIMIT. The hand's folder is this run's own.
Run it where wine_env_start has started the wineserver, as ctest is: a server
started from inside would take the limit to the prefix's registry files.
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import threading


def serve(hand, stop):
    request = os.path.join(hand, "remove")
    while not stop.wait(0.01):
        if not os.path.exists(request):
            continue
        with open(request, encoding="utf-8") as f:
            path = f.read().strip()
        try:
            os.unlink(path)
            answer = "removed"
        except OSError as e:
            answer = str(e)
        os.unlink(request)
        with open(os.path.join(hand, "answer.tmp"), "w", encoding="utf-8") as f:
            f.write(answer)
        os.replace(os.path.join(hand, "answer.tmp"), os.path.join(hand, "answer"))


def main():
    limit = int(sys.argv[1])
    hand = tempfile.mkdtemp(prefix="vemli-outside-")
    stop = threading.Event()
    server = threading.Thread(target=serve, args=(hand, stop), daemon=True)
    server.start()

    def limit_files():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    env = dict(os.environ, VEMLI_OUTSIDE_HAND=hand, VEMLI_FILE_LIMIT=str(limit))
    child = subprocess.Popen(sys.argv[2:], env=env, preexec_fn=limit_files)
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda *_: child.terminate())
    rc = child.wait()
    stop.set()
    server.join()
    shutil.rmtree(hand, ignore_errors=True)
    sys.exit(rc if rc >= 0 else 128 - rc)


if __name__ == "__main__":
    main()
