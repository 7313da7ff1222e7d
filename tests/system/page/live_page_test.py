#!/usr/bin/python3
"""The live page in a real browser: Debian's chromium, headless, driven by
Selenium through chromium-driver, opens the page a headless logger serves
while it logs from kiss488-sim at 0.2 s. The chart shows the points taken, a
new sample shows within a second, the link state changes on the page when
the simulator drops the link, and a screenshot of the page is no blank.

Exit status 77 (ctest's SKIP_RETURN_CODE) only where chromium cannot start.
Every process is started here on free loopback ports and ended here; every
wait is bounded.
"""
import argparse
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

SKIP = 77
INTERVAL = "0.2"
# config.txt, its 23 lines: the simulator's address goes first.
CONFIG = ["{host}", INTERVAL, "READ?", "READ?", "1", "1", "10", "0", "0", "1", "1", "10", "1",
          "0", "0", "500", "Data.txt", "1", "5", "0", "5", "1", "0"]

args = None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(what, seconds, step=0.05):
    """what() until it is true or the time is up; its last value."""
    until = time.monotonic() + seconds
    while True:
        value = what()
        if value or time.monotonic() >= until:
            return value
        time.sleep(step)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    return struct.unpack(">II", head[16:24])


def start_browser(width, height):
    """A headless chromium under Selenium; None with the reason when it cannot start."""
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError as e:
        return None, "python3-selenium is missing: %s" % e
    browser = shutil.which("chromium") or "/usr/bin/chromium"
    driver_binary = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    if not os.path.exists(browser) or not os.path.exists(driver_binary):
        return None, "chromium or chromium-driver is not installed"
    options = webdriver.ChromeOptions()
    options.binary_location = browser
    # As root in CI there is no sandbox to be had, and no display.
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
              "--window-size=%d,%d" % (width, height), "--hide-scrollbars", "--force-device-scale-factor=1",
              "--user-data-dir=" + tempfile.mkdtemp(prefix="quillstone-chromium-")):
        options.add_argument(a)
    try:
        service = Service(executable_path=driver_binary, port=free_port())
        driver = webdriver.Chrome(service=service, options=options)
        # The page's own size, whatever the browser's frame takes of the window.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        driver.set_page_load_timeout(20)
        driver.set_script_timeout(10)
        return driver, None
    except Exception as e:  # chromium that does not start here is a skip, not a failure
        return None, "chromium cannot start here: %s" % str(e).splitlines()[0]


class Processes:
    """The simulator and the headless logger, each in the folder, ended at the close."""

    def __init__(self, folder):
        self.folder = folder
        self.sim = self.logger = None

    def start(self):
        self.sim = subprocess.Popen([args.sim, "--port", "0"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                    text=True)
        line = self.sim.stdout.readline()  # "listening on 127.0.0.1:PORT"
        host = line.strip().split()[-1]
        assert ":" in host, "the simulator said " + line
        with open(os.path.join(self.folder, "config.txt"), "w", newline="") as f:
            for l in CONFIG:
                f.write(l.format(host=host) + "\r\n")
        self.port = free_port()
        self.out = open(os.path.join(self.folder, "out.txt"), "w")
        self.logger = subprocess.Popen([args.quillstone, "--headless", "--quiet", "--serve",
                                        "127.0.0.1:%d" % self.port],
                                       cwd=self.folder, stdout=self.out, stderr=subprocess.STDOUT)
        self.url = "http://127.0.0.1:%d/" % self.port
        assert wait_for(lambda: self.status() is not None, 10), "the logger does not serve " + self.url

    def status(self):
        try:
            with urllib.request.urlopen(self.url + "api/status", timeout=2) as r:
                return json.load(r)
        except OSError:
            return None

    def drop_link(self):
        self.sim.send_signal(signal.SIGTERM)
        self.sim.wait(5)

    def close(self):
        for p in (self.logger, self.sim):
            if p is None or p.poll() is not None:
                continue
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)
        if self.sim is not None:
            self.sim.stdout.close()
        self.out.close()


class LivePageInChromium(unittest.TestCase):
    """The steps run in their order: the link is dropped only at the end."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="quillstone-page-")
        cls.processes = Processes(cls.folder)
        cls.processes.start()
        # A few seconds of samples before the page opens: its history.
        assert wait_for(lambda: (cls.processes.status() or {}).get("count", 0) >= 10, 15), "no samples taken"
        cls.driver = browser
        cls.driver.get(cls.processes.url)
        assert wait_for(lambda: cls.js("return window.quillstonePage && window.quillstonePage.ready"), 15), \
            "the page never became ready"

    @classmethod
    def tearDownClass(cls):
        cls.processes.close()
        shutil.rmtree(cls.folder, ignore_errors=True)

    @classmethod
    def js(cls, script):
        return cls.driver.execute_script(script)

    def page(self):
        return self.js("""const p = window.quillstonePage;
            const rows = p.chart ? p.chart.numRows() : 0;
            let samples = 0;
            for (const r of p.rows) if (Number.isFinite(r[1]) || Number.isFinite(r[4])) samples++;
            return {held: p.held[0] + p.held[1], lastSeq: p.lastSeq, rows: rows, dataRows: p.rows.length,
                    samples: samples,
                    linkUp: p.linkUp, linkTexts: p.linkTexts,
                    count: document.getElementById('count').textContent,
                    link: document.getElementById('link').textContent,
                    time: document.getElementById('time').textContent,
                    value: document.getElementById('value').textContent};""")

    def drawn(self):
        """The page once its chart has drawn every row it holds."""
        return wait_for(lambda: (lambda q: q if q["rows"] == q["dataRows"] else None)(self.page()), 2, 0.01)

    def test_1_the_chart_shows_every_point_taken(self):
        before = self.processes.status()["count"]
        p = self.drawn()
        after = self.processes.status()["count"]
        self.assertTrue(p, "the chart never drew the rows it holds: %s" % self.page())
        self.assertGreaterEqual(before, 10)
        self.assertTrue(before - 1 <= p["held"] <= after, (before, p, after))
        # Few samples for the width: each is a point of the chart's data.
        self.assertEqual(p["samples"], p["held"], p)
        self.assertGreaterEqual(p["rows"], p["held"])
        self.assertEqual(p["lastSeq"], p["held"])

    def test_2_a_new_sample_shows_within_a_second(self):
        for _ in range(3):
            seen = self.page()
            start = time.monotonic()
            newer = wait_for(lambda: self.page()["lastSeq"] > seen["lastSeq"], 1.0, 0.02)
            elapsed = time.monotonic() - start
            self.assertTrue(newer, "no new sample on the page within 1 s (%s)" % seen)
            self.assertLessEqual(elapsed, 1.0)
        # And the read-outs are the latest sample's, in the window's words.
        latest = self.processes.status()["latest"]
        p = wait_for(lambda: (lambda q: q if int(q["count"] or 0) >= latest["count"] else None)(self.page()), 1.0)
        self.assertTrue(p)
        self.assertRegex(p["time"], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC$")
        self.assertTrue(p["value"])

    def test_3_the_chart_draws_the_raw_line_in_the_windows_red(self):
        red = self.js("""const canvases = document.querySelectorAll('#chart canvas');
            let n = 0;
            for (const c of canvases) {
              const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
              for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] < 60 && d[i + 2] < 60 && d[i + 3] > 200) n++;
            }
            return n;""")
        self.assertGreater(red, 50)

    def test_4_a_screenshot_of_the_page_is_no_blank(self):
        path = os.path.join(args.out, "live-page-test.png")
        self.assertTrue(self.driver.save_screenshot(path))
        width, height = png_size(path)
        self.assertEqual((width, height), (1366, 768))
        # A blank page of one colour packs into a few kilobytes.
        self.assertGreater(os.path.getsize(path), 20000)

    def test_5_the_link_state_changes_on_the_page_when_the_simulator_drops_the_link(self):
        p = self.page()
        self.assertTrue(p["linkUp"], p)
        up_text = p["link"]
        self.processes.drop_link()
        down = wait_for(lambda: self.page()["linkUp"] is False, 10)
        self.assertTrue(down, "the page still shows the link up: %s" % self.page())
        p = self.page()
        self.assertNotEqual(p["link"], up_text)
        status = self.processes.status()
        self.assertFalse(status["link"]["up"])
        self.assertEqual(p["link"], status["link"]["text"] or p["link"])


def main():
    global args, browser
    parser = argparse.ArgumentParser()
    parser.add_argument("--quillstone", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--out", default=tempfile.gettempdir())
    args, rest = parser.parse_known_args()
    args.quillstone, args.sim = os.path.abspath(args.quillstone), os.path.abspath(args.sim)
    browser, why = start_browser(1366, 768)
    if browser is None:
        print("SKIPPED: " + why)
        return SKIP
    try:
        result = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2).result
    finally:
        browser.quit()
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
