"""The real station on a display of its own, polling the simulated modem, for the
programs that run it for long or kill it: a program directory with the demo
configuration, Xvfb, gsm-sim with its control socket, vartel logged in by
xdotool, and the independent readers of what the station leaves on disk."""

import datetime
import os
import random
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CLOCK_TICK = os.sysconf("SC_CLK_TCK")

# The objects of the demo configuration, by phone, with their section.
OBJECTS = {
    "79161110001": "Bank1",
    "79161110002": "Bank2",
    "79161110003": "Bank3",
    "79161110005": "Bank5",
}
UNKNOWN_SENDER = "79990000099"

# Report texts a controller sends, the controller's clock left out; the first
# ones set the demo's rules going (an alarm on input 1, a mains failure).
REPORTS = [
    "ALARM\\nIN1 OPEN",
    "POWER FAULT",
    "IN2 OPEN",
    "IN2 CLOSE\\nIN3 OPEN\\nIN4 CLOSE\\nPOWER OK\\nBATTERY 90",
    "DISARM T:00A1B2C3",
    "ARM B",
    "POWER OK",
    "IN3 CLOSE",
]
TEST_REPORT = "TEST\\n{clock}\\nARM\\nPOWER OK\\nBATTERY 100"

STAMP_BASE = datetime.datetime(2026, 1, 1)


def stamp(serial):
    """A service-centre time stamp of its own for every message: the log's date
    and arrival time tell the message its records came from."""
    moment = STAMP_BASE + datetime.timedelta(seconds=serial)
    return moment.strftime("%y/%m/%d,%H:%M:%S") + "+12"


def log_key(serial):
    """The DATE and TIME fields of the records of message serial."""
    moment = STAMP_BASE + datetime.timedelta(seconds=serial)
    return moment.strftime("%d.%m.%y"), moment.strftime("%H:%M:%S")


def report_text(serial, rng):
    clock = "%02d:%02d" % (serial // 60 % 24, serial % 60)
    if rng.random() < 0.1:
        return TEST_REPORT.format(clock=clock)
    return clock + "\\n" + rng.choice(REPORTS)


class Rig:
    def __init__(self, build, capacity=50, baud=19200, controllers=True):
        # A terminated run still takes its processes and files along.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        self.build = os.path.abspath(build)
        self.dir = tempfile.mkdtemp(prefix="tirvon-rig-")
        self.program = os.path.join(self.dir, "program")
        os.makedirs(self.program)
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.dir, "config"))
        self.env.pop("QT_QPA_PLATFORM", None)
        # Copies, so that a rebuild during a long run changes nothing under it.
        shutil.copy(os.path.join(self.build, "station", "vartel"), self.program)
        shutil.copy(os.path.join(self.build, "tools", "gsm-sim", "gsm-sim"), self.dir)
        voice = os.path.join(self.build, "shipped", "voice")
        if os.path.isdir(voice):
            shutil.copytree(voice, os.path.join(self.program, "voice"))
        with open(os.path.join(ROOT, "scripts", "demo-data", "Vave_vev.ini"), encoding="utf-8") as f:
            ini = f.read()
        with open(self.ini_path, "wb") as f:
            f.write(ini.replace("\n", "\r\n").encode("cp1251"))
        subprocess.run([os.path.join(self.build, "tools", "log-setup", "log-setup"), self.program,
                        "events.dbf"], env=self.env, check=True, stdout=subprocess.DEVNULL)
        self.original_objects = read_ini(self.ini_path)
        self.display = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.env["DISPLAY"] = ":" + self.display.stdout.readline().decode().strip()
        self.socket_path = os.path.join(self.dir, "gsm-sim.sock")
        modem = [os.path.join(self.dir, "gsm-sim"),
                 "--link", os.path.join(self.program, "COM1"), "--control", self.socket_path,
                 "--received", os.path.join(self.dir, "received.bin"), "--no-stdin",
                 "--capacity", str(capacity), "--baud", str(baud)]
        if controllers:
            modem += ["--controllers", os.path.join(ROOT, "tools", "gsm-sim",
                                                     "demo-controllers.txt"),
                      "--report-every", "0"]
        self.modem = subprocess.Popen(modem, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if not self.modem.stdout.readline().startswith(b"READY"):
            raise RuntimeError("gsm-sim did not start")
        self.control = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.control.connect(self.socket_path)
        self.control_file = self.control.makefile("rwb")
        self.station = None

    @property
    def ini_path(self):
        return os.path.join(self.program, "Vave_vev.ini")

    @property
    def stderr_path(self):
        return os.path.join(self.dir, "vartel.stderr")

    @property
    def log_path(self):
        return os.path.join(self.program, "events.dbf")

    # The simulated modem's control lines.
    def ask(self, line):
        self.control_file.write(line.encode("utf-8") + b"\n")
        self.control_file.flush()
        answer = self.control_file.readline().decode("utf-8").rstrip("\n")
        lines = [answer]
        words = line.upper().split()
        listed = words[0] == "SENT" or words[:2] == ["STORE", "LIST"]
        if listed and answer.startswith("OK "):
            for _ in range(int(answer.split()[1])):
                lines.append(self.control_file.readline().decode("utf-8").rstrip("\n"))
        return lines

    def send_sms(self, sender, serial, text):
        """True when the modem stored it; False when its store is full."""
        return self.ask("SMS +%s %s %s" % (sender, stamp(serial), text))[0].startswith("OK")

    def stored_stamps(self):
        return {line.split()[2] for line in self.ask("STORE LIST")[1:]}

    def stored_count(self):
        return int(self.ask("STORE")[0].split()[1])

    def received(self):
        with open(os.path.join(self.dir, "received.bin"), "rb") as f:
            return f.read()

    # The station.
    def start_station(self):
        # The station's error output is kept: the heap figures of malloc_stats go there.
        with open(self.stderr_path, "ab") as errors:
            self.station = subprocess.Popen([os.path.join(self.program, "vartel")], env=self.env,
                                            stdout=subprocess.DEVNULL, stderr=errors)
        window = self.xdotool("search", "--sync", "--name", "Авторизация администратора")
        window = window.split()[0]
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", "--window", window, "Down")
        self.xdotool("type", "--window", window, "1234")
        self.xdotool("key", "--window", window, "Return")
        # The window closes on the key press; Xvfb then keeps the key down and
        # repeats it for ever, dozens of key events a second to the station.
        self.xdotool("keyup", "Return")

    def attend(self):
        """What the operator does now and then: closes the message boxes, then the
        call panel, and presses "Принять" under the alarm list once. The main window
        has the same place and size on every run on Xvfb; with the call panel shown
        the button sits higher, so the panel is closed first ("Закрыть" there is at
        the spot of the empty strip beside the button when the panel is hidden).
        Returns the number of boxes closed."""
        boxes = self.xdotool("search", "--onlyvisible", "--name",
                             "^Пульт центрального наблюдения TIRVON$").split()
        for box in boxes:
            self.xdotool("key", "--window", box, "Return")
            self.xdotool("keyup", "Return")
        window = self.xdotool("search", "--name", "^Мониторинг").split()
        if window:
            self.xdotool("mousemove", "--window", window[0], "863", "481", "click", "1")
            time.sleep(0.3)
            self.xdotool("mousemove", "--window", window[0], "1016", "484", "click", "1")
        return len(boxes)

    def heap_in_use_kib(self):
        """The bytes the station's allocator has handed out and not had back, by
        malloc_stats called through gdb; None without gdb. Unlike the resident set it
        does not count the free pages the allocator keeps."""
        if not shutil.which("gdb"):
            return None
        with open(self.stderr_path, "rb") as f:
            f.seek(0, os.SEEK_END)
            start = f.tell()
        subprocess.run(["gdb", "-p", str(self.station.pid), "-batch", "-nx",
                        "-ex", "call (void) malloc_stats()"], capture_output=True, timeout=60)
        with open(self.stderr_path, "rb") as f:
            f.seek(start)
            text = f.read().decode(errors="replace")
        total = text.rsplit("Total (incl. mmap):", 1)
        found = re.search(r"in use bytes\s*=\s*(\d+)", total[-1]) if len(total) == 2 else None
        return int(found.group(1)) // 1024 if found else None

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True,
                              timeout=30).stdout.decode()

    def kill_station(self):
        self.station.kill()
        self.station.wait()
        self.station = None

    def cpu_seconds(self):
        with open("/proc/%d/stat" % self.station.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLOCK_TICK

    def resident_kib(self):
        with open("/proc/%d/status" % self.station.pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def close(self):
        if self.station:
            self.kill_station()
        try:
            self.ask("QUIT")
        except OSError:
            pass
        self.modem.wait(timeout=10)
        self.display.terminate()
        self.display.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


INI_LINE = re.compile(rb"^(\[[^\]\r\n]*\]|[^=\[\r\n][^=\r\n]*=[^\r\n]*|;[^\r\n]*|)$")


def read_ini(path):
    """The sections of the file, each a dict of its keys; raises ValueError on a
    line that is neither a section, a key nor blank, or on a file that does not
    end with CR LF."""
    with open(path, "rb") as f:
        content = f.read()
    if content and not content.endswith(b"\r\n"):
        raise ValueError("the file ends inside a line")
    sections = {}
    current = None
    for line in content.split(b"\r\n")[:-1]:
        if not INI_LINE.match(line) or b"\0" in line:
            raise ValueError("malformed line %r" % line)
        if line.startswith(b"["):
            current = sections.setdefault(line[1:-1].decode("cp1251").lower(), {})
        elif b"=" in line and current is not None:
            key, value = line.split(b"=", 1)
            current.setdefault(key.decode("cp1251").lower(), value.decode("cp1251"))
    return sections


STATE_VALUES = {"OPEN", "CLOSE", "ON", "OFF", "OK", "FAULT", "ALARM", "NO", "None"}


def check_ini(path, original):
    """Problems of the configuration after a crash: every object as it was
    configured, every state key with a well-formed value."""
    problems = []
    try:
        sections = read_ini(path)
    except (OSError, ValueError) as e:
        return ["Vave_vev.ini: %s" % e]
    for name, keys in original.items():
        now = sections.get(name)
        if now is None:
            problems.append("Vave_vev.ini: section %s lost" % name)
            continue
        for key in ("name", "phone", "pass", "passd", "systest"):
            if key in keys and now.get(key) != keys[key]:
                problems.append("Vave_vev.ini: %s.%s is %r" % (name, key, now.get(key)))
        for key, value in now.items():
            if re.fullmatch(r"l(in\d|rele\d|out\d)", key) and value not in STATE_VALUES:
                problems.append("Vave_vev.ini: %s.%s=%r" % (name, key, value))
    return problems


def check_log(path):
    """Reads the log table as another program would (dbfread). Returns the
    problems found and the set of (DATE, TIME) of its records."""
    import dbfread

    problems = []
    with open(path, "rb") as f:
        head = f.read(32)
        count, header_length, record_length = struct.unpack("<IHH", head[4:12])
        f.seek(0, os.SEEK_END)
        size = f.tell()
    # The records the header counts, and at most the end-of-file mark after them.
    expected = header_length + count * record_length
    if size not in (expected, expected + 1):
        problems.append("events.dbf: %d bytes for %d records of %d after a header of %d"
                        % (size, count, record_length, header_length))
    keys = set()
    date = re.compile(r"\d\d\.\d\d\.\d\d")
    clock = re.compile(r"\d\d:\d\d:\d\d")
    records = 0
    try:
        table = dbfread.DBF(path, encoding="cp1251", char_decode_errors="strict",
                            ignore_missing_memofile=True, load=False)
        if len(table) != count:
            problems.append("events.dbf: dbfread counts %d records, the header %d"
                            % (len(table), count))
        for record in table:
            records += 1
            day, arrival = record.get("DATE", ""), record.get("TIME", "")
            if not date.fullmatch(day) or not clock.fullmatch(arrival) or not record.get("BANK"):
                problems.append("events.dbf: torn record %d: %r" % (records, dict(record)))
            keys.add((day, arrival))
    except Exception as e:  # any reader failure is what this check is for
        problems.append("events.dbf: %s: %s" % (type(e).__name__, e))
    return problems, keys, records


def random_generator(seed):
    return random.Random(seed)


def wait_until(condition, timeout, step=0.2):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(step)
    return condition()
