#!/usr/bin/env python3
"""MQTT publishing, measured end to end on a broker started here:

1. an emulated reader with 200 tags -> velkor's publisher (velkor.mqtt over
   libvelkor_mqtt.so) -> the broker -> a subscriber: reads per second, and
   the publishing thread's CPU per thousand reads (the reader's own waits
   and the emulator's thread not counted);
2. the publisher alone, as fast as it goes: reads per second delivered to
   the subscriber;
3. the tool: `velkor --emulate inventory --watch` with and without --mqtt,
   its CPU (user + system) per thousand reads.

    python3 bench/mqtt_bench.py --build build
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def main() -> None:
    a = argparse.ArgumentParser()
    a.add_argument("--build", default="build")
    a.add_argument("--rounds", type=int, default=6)
    args = a.parse_args()
    build = os.path.abspath(args.build)
    os.environ.setdefault("VELKOR_LIBRARY", f"{build}/libVelkor.so")
    os.environ.setdefault("VELKOR_EMULATOR_LIBRARY", f"{build}/emulator/libvelkor_emulator.so")
    os.environ.setdefault("VELKOR_MQTT_LIBRARY", f"{build}/app/mqtt/libvelkor_mqtt.so")
    sys.path[:0] = [os.path.join(HERE, "../bindings/python"), os.path.join(HERE, "../tests/mqtt")]
    os.environ.setdefault("VELKOR_TOOL", f"{build}/tools/velkor")
    os.environ.setdefault("VELKOR_MQTT_SCHEMA", os.path.join(HERE, "../docs/mqtt-messages.schema.json"))
    import velkor
    from velkor.mqtt import Publisher
    from broker_test import Broker, Subscriber, wait_until

    with tempfile.TemporaryDirectory() as d:
        broker = Broker(d)
        broker.start()
        sub = Subscriber(broker, "bench")
        url = f"mqtt://127.0.0.1:{broker.port}"
        try:
            # 1. reader -> broker -> subscriber
            with velkor.Reader.emulated(gen2_tags=200) as reader, \
                    Publisher(url, reader="00000001", topic="bench/reader") as p:
                reads, cpu, start = 0, 0.0, time.monotonic()
                for number, tags in enumerate(reader.watch(rounds=args.rounds), 1):
                    t0 = time.thread_time()
                    for tag in tags:
                        p.publish_read(tag.epc, tag.antenna, number)
                    p.end_round()
                    p.service(0)
                    cpu += time.thread_time() - t0
                    reads += len(tags)
            wait_until(lambda: len([1 for t, _ in sub.lines() if t == "bench/reader/reads"])
                       >= reads, limit=30, what="the reads")
            elapsed = time.monotonic() - start
            print(f"reader 200 tags -> broker -> subscriber: {reads} reads, "
                  f"{reads / elapsed:.0f} reads/s; publishing CPU {cpu / reads * 1e6:.1f} ms "
                  f"per 1000 reads")

            # 2. the publisher alone
            n = 20000
            with Publisher(url, reader="00000002", topic="bench/alone") as p:
                start = time.monotonic()
                for i in range(n):
                    p.publish_read("E2%022X" % i, 1, 1 + i // 200, 1_700_000_000_000)
                    if i % 200 == 199:
                        p.service(0)
            wait_until(lambda: len([1 for t, _ in sub.lines() if t == "bench/alone/reads"])
                       >= n, limit=60, what="the reads")
            elapsed = time.monotonic() - start
            print(f"publisher alone -> broker -> subscriber: {n / elapsed:.0f} reads/s")

            # 3. the tool, with and without publishing
            def tool_cpu(*extra):
                before = resource.getrusage(resource.RUSAGE_CHILDREN)
                r = subprocess.run([os.environ["VELKOR_TOOL"], "--emulate", "inventory", "--watch",
                                    "--rounds", "200", *extra], capture_output=True, text=True)
                assert r.returncode == 0, r.stderr
                after = resource.getrusage(resource.RUSAGE_CHILDREN)
                return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
            plain = tool_cpu()
            mqtt = tool_cpu("--mqtt", url, "--mqtt-topic", "bench/tool")
            reads = 200 * 6
            print(f"velkor --watch, 200 rounds of 6 tags: {plain / reads * 1e6:.1f} ms CPU per "
                  f"1000 reads without --mqtt, {mqtt / reads * 1e6:.1f} ms with "
                  f"(publishing adds {(mqtt - plain) / reads * 1e6:.1f} ms)")
        finally:
            sub.stop()
            broker.stop()


if __name__ == "__main__":
    main()
