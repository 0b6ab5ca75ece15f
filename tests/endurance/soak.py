#!/usr/bin/python3
"""Runs the real station against the simulated modem for hours at a high rate:
reports from the four controllers of the demo (some set its rules going, whose
commands the controllers answer), now and then a call and a message from an
unknown sender. Each minute it samples the station's resident memory and
processor time; at the end it checks that every report was logged and every
unknown sender's message went to its list, and prints the figures. Every few
seconds, outside calls, the operator closes the call panel and any message box
and acknowledges an alarm, as a desk does: the alarm list keeps its rows until
then.

    soak.py [--minutes M] [--rate R] [--warm-up W] [--acknowledge-every S] [--build DIR]

The memory growth is measured from the end of the warm-up to the end, as MiB
per hour; the target is under 1 MiB an hour. With gdb at hand it also samples
the heap in use, which tells growth the station keeps from free pages the
allocator holds."""

import argparse
import os
import sys
import time

import rig


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=120)
    parser.add_argument("--rate", type=float, default=1.5, help="reports a second")
    parser.add_argument("--warm-up", type=float, default=15, help="minutes")
    parser.add_argument("--acknowledge-every", type=float, default=3,
                        help="seconds between two rounds of the operator; 0: never")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default=os.path.join(rig.ROOT, "build-rel"))
    arguments = parser.parse_args()
    rng = rig.random_generator(arguments.seed)
    setup = rig.Rig(arguments.build, controllers=True, baud=19200)
    sent, unknown, refused = {}, {}, []
    calls = []  # (start, end) of each call, seconds into the run
    samples = []
    try:
        setup.start_station()
        start = time.monotonic()
        end = start + arguments.minutes * 60
        next_sample = start
        next_report = start
        next_unknown = start + 30
        next_call = start + 90
        next_acknowledgement = start + 30
        last_hang_up = start
        boxes = 0
        hang_up_at = None
        serial = 0
        listings = 0
        print("%7s %10s %10s %10s %9s %9s %9s" % ("minute", "RSS KiB", "heap KiB", "CPU s",
                                                   "CPU %", "reports", "listings"), flush=True)
        while time.monotonic() < end:
            now = time.monotonic()
            if now >= next_sample:
                cpu = setup.cpu_seconds()
                heap = setup.heap_in_use_kib()
                samples.append((now - start, setup.resident_kib(), cpu, heap))
                previous = samples[-2] if len(samples) > 1 else samples[-1]
                share = 100 * (cpu - previous[2]) / max(now - start - previous[0], 1e-9)
                # The listings the station asked for in the last minute: a
                # station that stalls stops asking.
                asked = setup.received().count(b"at+cmgl=")
                print("%7.0f %10d %10s %10.2f %9.2f %9d %9d"
                      % ((now - start) / 60, samples[-1][1], "-" if heap is None else heap, cpu,
                         share, len(sent), asked - listings), flush=True)
                listings = asked
                next_sample += 60
            if now >= next_report:
                serial += 1
                sender = rng.choice(list(rig.OBJECTS))
                if setup.send_sms(sender, serial, rig.report_text(serial, rng)):
                    sent[serial] = rig.stamp(serial)
                else:
                    refused.append(now - start)
                next_report += 1 / arguments.rate
            if now >= next_unknown:
                serial += 1
                if setup.send_sms(rig.UNKNOWN_SENDER, serial, "Баланс: 152.40 р."):
                    unknown[serial] = rig.stamp(serial)
                next_unknown += rng.uniform(30, 90)
            if arguments.acknowledge_every > 0 and now >= next_acknowledgement:
                # Not while a call rings: closing its panel would end it.
                if hang_up_at is None and now - last_hang_up > 10:
                    boxes += setup.attend()
                next_acknowledgement += arguments.acknowledge_every
            if now >= next_call and hang_up_at is None:
                hang_up_at = now + rng.uniform(4, 15)
                if setup.ask("CALL +%s 145" % rng.choice(list(rig.OBJECTS)))[0] == "OK":
                    calls.append((now - start, hang_up_at - start))
                next_call = now + rng.uniform(120, 300)
            if hang_up_at is not None and now >= hang_up_at:
                setup.ask("HANGUP")
                hang_up_at = None
                last_hang_up = now
            time.sleep(0.05)
        if hang_up_at is not None:
            setup.ask("HANGUP")
        drained = rig.wait_until(lambda: setup.stored_count() == 0, 120)
        time.sleep(3)
        alive = setup.station.poll() is None
        final = (time.monotonic() - start, setup.resident_kib(), setup.cpu_seconds(),
                 setup.heap_in_use_kib()) if alive else samples[-1]
        setup.kill_station()
        problems, keys, records = rig.check_log(setup.log_path)
        problems += rig.check_ini(setup.ini_path, setup.original_objects)
        unlogged = [s for s in sent if rig.log_key(s) not in keys]
        listed = unknown_listed(setup, unknown)
        commands = setup.received().count(b"at+cmgs=")
        if not alive:
            problems.append("the station ended by itself")
        if not drained:
            problems.append("the store was not emptied within 120 s of the end")
        print_summary(arguments, samples, final, sent, unlogged, unknown, listed, calls, commands,
                      refused, records, problems, boxes)
        return 1 if problems or unlogged or listed < len(unknown) else 0
    finally:
        setup.close()


def slope(points):
    """The least-squares slope of the points; the sampled memory moves by a few
    hundred KiB from one minute to the next, so two samples alone say little."""
    if len(points) < 2:
        return 0.0
    mean_x = sum(x for x, _ in points) / len(points)
    mean_y = sum(y for _, y in points) / len(points)
    spread = sum((x - mean_x) ** 2 for x, _ in points)
    return sum((x - mean_x) * (y - mean_y) for x, y in points) / spread if spread else 0.0


def unknown_listed(setup, unknown):
    path = os.path.join(setup.program, "notlist.txt")
    if not os.path.exists(path):
        return 0
    with open(path, "rb") as f:
        content = f.read().decode("cp1251", errors="replace")
    return sum(1 for s in unknown if " ".join(rig.log_key(s)) in content)


def print_summary(arguments, samples, final, sent, unlogged, unknown, listed, calls, commands,
                  refused, records, problems, boxes):
    hours = final[0] / 3600
    warm = [s for s in samples if s[0] >= arguments.warm_up * 60] or samples
    growth = slope([(t / 3600, kib / 1024) for t, kib, _, _ in warm + [final]])
    heap = [(t / 3600, kib / 1024) for t, _, _, kib in warm + [final] if kib is not None]
    print()
    print("| Figure | Value |")
    print("|---|---|")
    print("| run | %.2f h, %d reports at %.2f a second, %d refused by a full store |"
          % (hours, len(sent), len(sent) / max(final[0], 1), len(refused)))
    print("| resident memory | %.1f MiB at minute %.0f, %.1f MiB at the end: %+.2f MiB an hour "
          "after the warm-up, least squares over the samples (target under 1) |"
          % (warm[0][1] / 1024, warm[0][0] / 60, final[1] / 1024, growth))
    if heap:
        print("| heap in use | %.1f MiB at minute %.0f, %.1f MiB at the end: %+.2f MiB an hour "
              "after the warm-up, least squares |" % (heap[0][1], heap[0][0] * 60, heap[-1][1],
                                                     slope(heap)))
    print("| processor time | %.1f s = %.2f %% of one core |"
          % (final[2], 100 * final[2] / max(final[0], 1)))
    print("| reports logged | %d of %d (%d log records) |" % (len(sent) - len(unlogged), len(sent),
                                                            records))
    print("| unknown senders listed | %d of %d |" % (listed, len(unknown)))
    print("| calls | %d |" % len(calls))
    print("| message boxes the operator closed | %d |" % boxes)
    print("| commands sent by the station | %d |" % commands)
    # A call holds the listing back while it rings; a refusal outside a call
    # and its aftermath points at a station that stopped reading.
    for moment in refused:
        during = [c for c in calls if c[0] <= moment <= c[1] + 60]
        print("refused at minute %.2f, %s" % (moment / 60, "after the call of minutes %.2f-%.2f"
              % (during[-1][0] / 60, during[-1][1] / 60) if during else "no call in the minute before"))
    for problem in problems[:30]:
        print("problem:", problem)
    for s in unlogged[:20]:
        print("never logged: report %d (%s)" % (s, sent[s]))


if __name__ == "__main__":
    sys.exit(main())
