"""velkor inventory --watch --mqtt against a real broker started here on
127.0.0.1 and a free port: order and schema, a broker killed and restarted,
the spool across runs, TLS, login, and the last will."""
import getpass
import json
import os
import signal
import socket
import subprocess
import tempfile
import time
import unittest

import jsonschema

TOOL = os.environ["VELKOR_TOOL"]
SCHEMA = os.environ["VELKOR_MQTT_SCHEMA"]
MOSQUITTO = os.environ.get("MOSQUITTO", "mosquitto")
SUB = os.environ.get("MOSQUITTO_SUB", "mosquitto_sub")
PUB = os.environ.get("MOSQUITTO_PUB", "mosquitto_pub")
PASSWD = os.environ.get("MOSQUITTO_PASSWD", "mosquitto_passwd")
OPENSSL = os.environ.get("OPENSSL", "openssl")
TAGS = 6  # the emulated reader's population

with open(SCHEMA) as f:
    _schema = json.load(f)
VALIDATORS = {kind: jsonschema.Draft202012Validator({**_schema, "$ref": "#/$defs/" + kind})
              for kind in ("read", "event", "status")}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_until(condition, limit=10.0, what="condition"):
    until = time.monotonic() + limit
    while time.monotonic() < until:
        if condition():
            return
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class Broker:
    def __init__(self, directory, extra=""):
        self.dir = directory
        self.port = free_port()
        self.conf = os.path.join(directory, "mosquitto.conf")
        with open(self.conf, "w") as f:
            # Started as root, the broker would switch to its own user, who
            # cannot read this test's files.
            f.write(f"user {getpass.getuser()}\n"
                    "per_listener_settings true\npersistence true\n"
                    f"persistence_location {directory}/\n"
                    f"listener {self.port} 127.0.0.1\nallow_anonymous true\n{extra}")
        self.process = None

    def start(self, ports=None):
        self.log = open(os.path.join(self.dir, "broker.log"), "a")
        self.process = subprocess.Popen([MOSQUITTO, "-c", self.conf], stdout=self.log,
                                        stderr=self.log)

        def accepting():
            try:
                socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                return True
            except OSError:
                return False
        try:
            wait_until(accepting, what="the broker")
        except AssertionError:
            with open(self.log.name) as f:
                raise AssertionError("the broker did not start: " + f.read())

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)
            self.log.close()


class Subscriber:
    """mosquitto_sub with a persistent session, so messages the broker queued
    for it survive the broker's restart."""

    def __init__(self, broker, prefix):
        self.broker, self.prefix = broker, prefix
        self.out = open(os.path.join(broker.dir, "sub.txt"), "w+")
        self.start()

    def start(self):
        broker, prefix = self.broker, self.prefix
        self.process = subprocess.Popen(
            [SUB, "-p", str(broker.port), "-h", "127.0.0.1", "-t", prefix + "/#", "-q", "1",
             "-c", "-i", "test-subscriber", "-v"], stdout=self.out, stderr=subprocess.DEVNULL)

        def probed():
            subprocess.run([PUB, "-p", str(broker.port), "-h", "127.0.0.1",
                            "-t", prefix + "/probe", "-m", "probe"], check=True)
            time.sleep(0.1)
            return any(t.endswith("/probe") for t, _ in self.lines())
        wait_until(probed, what="the subscriber")

    def lines(self):
        # Only whole lines: the last one may still be half written.
        with open(self.out.name) as f:
            return [tuple(line[:-1].split(" ", 1)) for line in f
                    if line.endswith("\n") and " " in line]

    def messages(self, suffix):
        return [json.loads(p) for t, p in self.lines() if t == self.prefix + "/" + suffix]

    def stop(self):
        # Killed, not terminated: mosquitto_sub's SIGTERM handler disconnects
        # from inside the signal and deadlocks when a write was under way.
        self.process.kill()
        self.process.wait(10)
        self.out.close()


def velkor(*args, env=None):
    return subprocess.run([TOOL, "--emulate", "inventory", "--watch", *args],
                          capture_output=True, text=True, timeout=60,
                          env={**os.environ, **(env or {})})


class BrokerTest(unittest.TestCase):
    extra = ""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.broker = Broker(self.dir, self.extra)
        self.broker.start()
        self.prefix = "test/" + self.id().rsplit(".", 1)[-1]
        self.sub = Subscriber(self.broker, self.prefix)

    def tearDown(self):
        self.sub.stop()
        self.broker.stop()
        self.tmp.cleanup()

    def url(self):
        return f"mqtt://127.0.0.1:{self.broker.port}"

    def assert_every_read_once_in_order(self, count):
        """Every read arrived; repeats only with a repeated sequence number."""
        first = {}
        order = []
        for m in self.sub.messages("reads"):
            VALIDATORS["read"].validate(m)
            if m["seq"] in first:
                self.assertEqual(first[m["seq"]], m, "a repeated seq must be a duplicate")
                continue
            first[m["seq"]] = m
            order.append(m["seq"])
        self.assertEqual(order, list(range(1, count + 1)))


class PlainBrokerTest(BrokerTest):
    def test_twenty_rounds_arrive_in_order_and_match_the_schema(self):
        r = velkor("--rounds", "20", "--mqtt", self.url(), "--mqtt-topic", self.prefix)
        self.assertEqual(r.returncode, 0, r.stderr)
        wait_until(lambda: len(self.sub.messages("reads")) >= 20 * TAGS, what="the reads")
        reads = self.sub.messages("reads")
        self.assertEqual([m["seq"] for m in reads], list(range(1, 20 * TAGS + 1)))
        self.assertEqual([m["round"] for m in reads], [i // TAGS + 1 for i in range(20 * TAGS)])
        self.assert_every_read_once_in_order(20 * TAGS)
        events = self.sub.messages("events")
        for m in events:
            VALIDATORS["event"].validate(m)
        self.assertEqual([m["event"] for m in events], ["arrive"] * TAGS)
        wait_until(lambda: self.sub.messages("status")[-1:] and
                   self.sub.messages("status")[-1]["state"] == "offline", what="offline")
        for m in self.sub.messages("status"):
            VALIDATORS["status"].validate(m)
        self.assertEqual(self.sub.messages("status")[0]["state"], "online")

    def test_a_broker_killed_mid_run_loses_no_read(self):
        spool = os.path.join(self.dir, "spool")
        tool = subprocess.Popen([TOOL, "--emulate", "inventory", "--watch", "--rounds", "20",
                                 "--mqtt", self.url(), "--mqtt-topic", self.prefix,
                                 "--spool", spool], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True)
        wait_until(lambda: len(self.sub.messages("reads")) >= 3 * TAGS, what="some reads")
        self.broker.stop()
        time.sleep(0.5)
        self.broker.start()
        _, err = tool.communicate(timeout=60)
        self.assertEqual(tool.returncode, 0, err)
        self.assertIn("keeping messages in the spool", err)
        self.assertIn("again; sending the", err)
        wait_until(lambda: {m["seq"] for m in self.sub.messages("reads")} >=
                   set(range(1, 20 * TAGS + 1)), limit=20, what="every read")
        self.assert_every_read_once_in_order(20 * TAGS)

    def test_a_stopped_tool_delivers_its_spool_at_the_next_start(self):
        spool = os.path.join(self.dir, "spool")
        self.broker.stop()
        r = velkor("--rounds", "2", "--mqtt", self.url(), "--mqtt-topic", self.prefix,
                   "--spool", spool)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(f"{2 * TAGS + TAGS} messages wait in the spool", r.stderr)
        self.broker.start()
        r = velkor("--rounds", "1", "--mqtt", self.url(), "--mqtt-topic", self.prefix,
                   "--spool", spool)
        self.assertEqual(r.returncode, 0, r.stderr)
        wait_until(lambda: len(self.sub.messages("reads")) >= 3 * TAGS, what="the reads")
        self.assert_every_read_once_in_order(3 * TAGS)

    def test_the_last_will_says_offline_when_the_tool_is_killed(self):
        tool = subprocess.Popen([TOOL, "--emulate", "inventory", "--watch", "--mqtt", self.url(),
                                 "--mqtt-topic", self.prefix], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: self.sub.messages("reads"), what="a read")
        finally:
            tool.send_signal(signal.SIGKILL)
            tool.wait(10)
        wait_until(lambda: self.sub.messages("status")[-1]["state"] == "offline",
                   what="the will")
        will = self.sub.messages("status")[-1]
        VALIDATORS["status"].validate(will)
        self.assertNotIn("time", will)  # the will, not a clean goodbye


@unittest.skipUnless(os.environ.get("VELKOR_MQTT_LIBRARY"), "the library is sanitized")
class PythonLibraryTest(BrokerTest):
    def test_python_publishes_through_the_library(self):
        import sys
        sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../../bindings/python"))
        import velkor.mqtt as mqtt
        with self.assertRaisesRegex(mqtt.MqttError, "not an mqtt"):
            mqtt.Publisher("http://x", reader="0A1B2C3D")
        with mqtt.Publisher(self.url(), reader="0A1B2C3D", topic=self.prefix) as p:
            for i in range(3):
                p.publish_read("E200000%d" % i, antenna=1, round=1, unix_ms=1_700_000_000_000)
            p.end_round()
        self.assertEqual(p.waiting, 0)
        wait_until(lambda: len(self.sub.messages("reads")) >= 3, what="the reads")
        self.assert_every_read_once_in_order(3)


class LoginTest(BrokerTest):
    def setUp(self):
        self.extra_dir = tempfile.TemporaryDirectory()
        passwords = os.path.join(self.extra_dir.name, "passwords")
        subprocess.run([PASSWD, "-b", "-c", passwords, "reader", "s3cret-word"], check=True)
        port = free_port()
        self.login_port = port
        self.extra = (f"listener {port} 127.0.0.1\nallow_anonymous false\n"
                      f"password_file {passwords}\n")
        super().setUp()

    def tearDown(self):
        super().tearDown()
        self.extra_dir.cleanup()

    def test_the_password_logs_in_from_the_environment_and_is_never_shown(self):
        url = f"mqtt://127.0.0.1:{self.login_port}"
        for password, status in (("s3cret-word", 0), ("wrong-word", 2)):
            r = velkor("--rounds", "1", "--mqtt", url, "--mqtt-topic", self.prefix,
                       "--mqtt-user", "reader", env={"VELKOR_MQTT_PASSWORD": password})
            self.assertEqual(r.returncode, status, r.stderr)
            self.assertNotIn(password, r.stdout + r.stderr)
        self.assertIn("refused the connection: Connection Refused: not authorised", r.stderr)
        r = subprocess.run([TOOL, "--trace", "--emulate", "inventory", "--watch", "--rounds", "1",
                            "--mqtt", url, "--mqtt-user", "reader", "--mqtt-topic", self.prefix,
                            "--mqtt-password-file", self.write("pw", "s3cret-word\n")],
                           capture_output=True, text=True, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertNotIn("s3cret-word", r.stdout + r.stderr)

    def write(self, name, text):
        path = os.path.join(self.extra_dir.name, name)
        with open(path, "w") as f:
            f.write(text)
        return path


class TlsTest(BrokerTest):
    def setUp(self):
        self.certs = tempfile.TemporaryDirectory()
        d = self.certs.name

        def openssl(*args):
            subprocess.run([OPENSSL, *args], check=True, capture_output=True)
        for ca in ("ca", "other-ca"):
            openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", f"/CN=velkor test {ca}", "-keyout", f"{d}/{ca}.key",
                    "-out", f"{d}/{ca}.pem")
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
                "-keyout", f"{d}/server.key", "-out", f"{d}/server.csr")
        with open(f"{d}/san.ext", "w") as f:
            f.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n")
        openssl("x509", "-req", "-in", f"{d}/server.csr", "-CA", f"{d}/ca.pem",
                "-CAkey", f"{d}/ca.key", "-CAcreateserial", "-days", "1",
                "-extfile", f"{d}/san.ext", "-out", f"{d}/server.pem")
        self.tls_port = free_port()
        self.extra = (f"listener {self.tls_port} 127.0.0.1\nallow_anonymous true\n"
                      f"cafile {d}/ca.pem\ncertfile {d}/server.pem\nkeyfile {d}/server.key\n")
        super().setUp()

    def tearDown(self):
        super().tearDown()
        self.certs.cleanup()

    def test_the_right_authority_is_accepted_and_another_refused(self):
        # By address: where localhost names ::1 first, the broker listening on
        # 127.0.0.1 only would not be reached.  The certificate names both.
        url = f"mqtts://127.0.0.1:{self.tls_port}"
        r = velkor("--rounds", "1", "--mqtt", url, "--mqtt-topic", self.prefix,
                   "--mqtt-ca", f"{self.certs.name}/ca.pem")
        self.assertEqual(r.returncode, 0, r.stderr)
        wait_until(lambda: len(self.sub.messages("reads")) >= TAGS, what="the reads")
        r = velkor("--rounds", "1", "--mqtt", url, "--mqtt-topic", self.prefix,
                   "--mqtt-ca", f"{self.certs.name}/other-ca.pem")
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertIn("certificate verify failed", r.stderr)


if __name__ == "__main__":
    unittest.main()
