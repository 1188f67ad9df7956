"""Named checks run one after another, every one reported (ok or FAIL, its
time, and what went wrong) rather than the first failure alone."""

import sys
import time
import traceback


def run_each(checks, call, last=()):
    """Runs `call(check)` for each check and reports it; returns the names of
    those that failed. A failure of a type in `last` ends the run after its
    report (those need not be Exceptions)."""
    failed = []
    for check in checks:
        started = time.monotonic()
        try:
            call(check)
        except (Exception, *last) as error:  # report every check, not just the first
            failed.append(check.__name__)
            print(f"FAIL {check.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
            traceback.print_exc(file=sys.stdout)
            if isinstance(error, last):
                break
        else:
            print(f"ok   {check.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
    return failed


def finish(failed, checks):
    """Exits 1, naming them, if any check failed."""
    if failed:
        print(f"{len(failed)} of {len(checks)} checks failed: {', '.join(failed)}")
        sys.exit(1)
