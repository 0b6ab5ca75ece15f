#!/usr/bin/python3
"""Kills the real station with SIGKILL at random moments while it takes in
reports from the simulated modem, restarts it each time, and checks after every
kill what it left on disk:

- Vave_vev.ini parses, holds every object as configured, and its state keys
  hold well-formed values;
- the log table opens in an independent reader (dbfread), its size agrees with
  its header's record count, and no record is torn;
- no message that left the modem's store lacks its records in the log.

After the last kill the station runs until the store is empty, and every report
must have been logged at least once.

    kill_test.py [--kills N] [--seed S] [--build DIR]

A release build in build-rel by default (vartel, gsm-sim, log-setup)."""

import argparse
import os
import sys
import time

import rig


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kills", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default=os.path.join(rig.ROOT, "build-rel"))
    parser.add_argument("--batch", type=int, default=20, help="reports stored before each run")
    # The first listing comes about 10.5 s after the start and its messages are
    # deleted by about 14 s; one kill in ten falls anywhere in the start-up.
    parser.add_argument("--earliest", type=float, default=10.0,
                        help="earliest moment of most kills, in seconds after the start")
    parser.add_argument("--latest", type=float, default=14.5,
                        help="latest moment of a kill, in seconds after the start")
    arguments = parser.parse_args()
    rng = rig.random_generator(arguments.seed)
    setup = rig.Rig(arguments.build, controllers=False, baud=19200)
    sent = {}  # serial -> service-centre time stamp
    serial = 0
    problems = []
    left_store = 0
    kill_moments = []
    # Kills that came after the run had logged something, and after it had
    # begun deleting messages: the moments that matter.
    after_logging = after_deleting = 0
    records_before = 0
    started = time.monotonic()
    try:
        for kill in range(1, arguments.kills + 1):
            for _ in range(arguments.batch):
                serial += 1
                sender = rng.choice(list(rig.OBJECTS))
                if setup.send_sms(sender, serial, rig.report_text(serial, rng)):
                    sent[serial] = rig.stamp(serial)
            stored_before = setup.stored_count()
            setup.start_station()
            earliest = 0.0 if rng.random() < 0.1 else arguments.earliest
            moment = rng.uniform(earliest, arguments.latest)
            kill_moments.append(moment)
            time.sleep(moment)
            setup.kill_station()
            found, records = after_kill(setup, sent)
            after_logging += records > records_before
            after_deleting += setup.stored_count() < stored_before
            records_before = records
            left_store = len(sent) - setup.stored_count()
            for problem in found:
                problems.append("kill %d at %.2f s: %s" % (kill, moment, problem))
            if kill % 25 == 0:
                print("%d kills, %d reports stored, %d left the modem, %d problems"
                      % (kill, len(sent), left_store, len(problems)), flush=True)
        # The last run takes in what is left.
        setup.start_station()
        drained = rig.wait_until(lambda: setup.stored_count() == 0, 180)
        setup.kill_station()
        _, keys, records = rig.check_log(setup.log_path)
        unlogged = [s for s in sent if rig.log_key(s) not in keys]
        problems += after_kill(setup, sent)[0]
        if not drained:
            problems.append("the store was not emptied within 180 s of the last start")
        for s in unlogged[:20]:
            problems.append("report %d (%s) never logged" % (s, sent[s]))
        for problem in problems[:50]:
            print(problem)
        print("kill test: %d kills (moments %.2f..%.2f s after start; %d after the run had "
              "logged, %d after it had deleted), %d reports, %d log records, "
              "%d reports never logged, %d problems, %.0f s"
              % (arguments.kills, min(kill_moments), max(kill_moments), after_logging,
                 after_deleting, len(sent), records, len(unlogged), len(problems),
                 time.monotonic() - started))
        return 1 if problems else 0
    finally:
        setup.close()


def after_kill(setup, sent):
    problems = rig.check_ini(setup.ini_path, setup.original_objects)
    log_problems, keys, records = rig.check_log(setup.log_path)
    problems += log_problems
    stored = setup.stored_stamps()
    for serial, stamp in sent.items():
        if stamp not in stored and rig.log_key(serial) not in keys:
            problems.append("report %d (%s) left the modem before it was logged" % (serial, stamp))
    return problems, records


if __name__ == "__main__":
    sys.exit(main())
