#!/usr/bin/python3
"""The chat page and the widget in a real headless browser against the built program.

usage: browser_test.py PLOTRAK PTK OUTDIR

Starts `plotrak --console --serve` on a scratch folder with its own small base and settings,
two test sites on other loopback ports (one allowed to embed the widget, one not), and drives
chromium through chromedriver. Screenshots land in OUTDIR. Exit status 0 when all is well.
"""
import contextlib
import http.server
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

BASE = """WERSJA: test przegladarki
[MATKA]
K: $@CZESC@$
A: Cześć, miło cię widzieć!
K: $@HTML@$
A: <b>gruby</b> <img src=x onerror="document.title='zle'"> &amp;
K: $@DLUGO@$
A: To jest dłuższa odpowiedź, która pisze się litera po literze, żeby było widać animację.
"""


def free_port():
    with contextlib.closing(socket.socket()) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        with contextlib.closing(socket.socket()) as s:
            if s.connect_ex(("127.0.0.1", port)) == 0:
                return True
        time.sleep(0.1)
    return False


def site(port, page):
    """A test site of another origin serving one page at /."""

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            body = page.encode("utf-8")
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def shadow(driver):
    host = WebDriverWait(driver, 10).until(
        lambda d: d.find_element(By.CSS_SELECTOR, "[data-plotrak]"))
    return host.shadow_root


def bot_lines(root):
    return [e.text for e in root.find_elements(By.CSS_SELECTOR, ".log .msg.bot .text")]


def wait_answer(driver, root, expected, seconds=20):
    WebDriverWait(driver, seconds).until(lambda d: expected in bot_lines(root))


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def main():
    plotrak, ptk, outdir = sys.argv[1:4]
    os.makedirs(outdir, exist_ok=True)
    work = tempfile.mkdtemp(prefix="plotrak-browser-")
    procs = []
    servers = []
    driver = None
    try:
        port, allowed_port, other_port = free_port(), free_port(), free_port()
        with open(os.path.join(work, "baza.txt"), "w", encoding="utf-8") as f:
            f.write(BASE)
        subprocess.run([ptk, "build", os.path.join(work, "baza.txt"),
                        os.path.join(work, "baza.ptk")], check=True)
        with open(os.path.join(work, "imiona.ptk"), "wb") as f:
            f.write(b"Ala\r\n")
        ini = ("[Chat / Gadu-Gadu]\r\nczas pisania litery=15\r\n"
               "[WWW]\r\nport strony=%d\r\nstrona przy starcie=1\r\n"
               "dozwolone strony=http://127.0.0.1:%d\r\n" % (port, allowed_port))
        with open(os.path.join(work, "setup.ini"), "wb") as f:
            f.write(ini.encode("cp1250"))
        log = open(os.path.join(outdir, "plotrak.log"), "wb")
        command = [plotrak, "--console", "--serve", "--dir", work]
        proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=log, stderr=log)
        time.sleep(0.5)
        if proc.poll() is not None:  # a build without --serve: stdin kept open instead
            proc = subprocess.Popen(command[:2] + command[3:], stdin=subprocess.PIPE,
                                    stdout=log, stderr=log)
        procs.append(proc)
        check(wait_port(port), "the page server did not start on port %d" % port)

        widget_page = ("<!DOCTYPE html><html lang=\"pl\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width\">"
                       "<title>Sklep</title></head><body><h1>Sklep z herbatą</h1>"
                       "<p>Strona innego pochodzenia.</p>"
                       "<script src=\"http://127.0.0.1:%d/widget.js\" defer></script>"
                       "</body></html>" % port)
        servers.append(site(allowed_port, widget_page))
        servers.append(site(other_port, widget_page))

        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                    "--no-first-run", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync",
                    "--user-data-dir=" + os.path.join(work, "profile")]:
            options.add_argument(arg)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)

        # The page: a greeting, then "cześć" typed and answered, then an answer with markup.
        driver.set_window_size(1280, 900)
        driver.get("http://127.0.0.1:%d/" % port)
        root = shadow(driver)
        log_area = root.find_element(By.CSS_SELECTOR, ".log")
        check(log_area.get_attribute("aria-live") == "polite", "the answers are not a live region")
        field = root.find_element(By.CSS_SELECTOR, "input")
        check(driver.execute_script("return arguments[0].shadowRoot.activeElement === arguments[1]",
                                    driver.find_element(By.CSS_SELECTOR, "[data-plotrak]"), field),
              "the input field does not have the focus")
        field.send_keys("cześć", Keys.ENTER)
        WebDriverWait(driver, 10).until(
            lambda d: root.find_element(By.CSS_SELECTOR, ".status").text == "Plotrak pisze...")
        wait_answer(driver, root, "Cześć, miło cię widzieć!")
        field.send_keys("html", Keys.ENTER)
        markup = '<b>gruby</b> <img src=x onerror="document.title=\'zle\'"> &amp;'
        wait_answer(driver, root, markup)
        check(not root.find_elements(By.CSS_SELECTOR, ".log b, .log img"), "markup was rendered")
        check(driver.title != "zle", "a script in an answer ran")
        identifier = driver.execute_script("return localStorage.getItem('plotrak-rozmowa')")
        check(identifier and len(identifier) == 32, "no conversation identifier kept")
        field.send_keys("długo", Keys.ENTER)
        face = root.find_element(By.CSS_SELECTOR, ".face")
        WebDriverWait(driver, 5).until(  # the character moves while it types
            lambda d: not face.get_attribute("src").endswith("/frames/1.jpg"))
        time.sleep(0.4)
        driver.save_screenshot(os.path.join(outdir, "page-desktop.png"))
        wait_answer(driver, root, BASE.split("A: ")[-1].strip())

        # A reload continues the same conversation.
        driver.set_window_size(390, 844)
        driver.get("http://127.0.0.1:%d/" % port)
        root = shadow(driver)
        check(driver.execute_script("return localStorage.getItem('plotrak-rozmowa')") == identifier,
              "the identifier changed on reload")
        field = root.find_element(By.CSS_SELECTOR, "input")
        field.send_keys("cześć", Keys.ENTER)
        wait_answer(driver, root, "Cześć, miło cię widzieć!")
        driver.save_screenshot(os.path.join(outdir, "page-phone.png"))

        # The widget on an allowed site, by keyboard alone.
        driver.set_window_size(1280, 900)
        driver.get("http://127.0.0.1:%d/" % allowed_port)
        root = shadow(driver)
        launcher = root.find_element(By.CSS_SELECTOR, ".launcher")
        driver.find_element(By.TAG_NAME, "body").send_keys(Keys.TAB)
        check(driver.execute_script("return arguments[0].shadowRoot.activeElement === arguments[1]",
                                    driver.find_element(By.CSS_SELECTOR, "[data-plotrak]"), launcher),
              "the launcher is not reachable by Tab")
        driver.switch_to.active_element.send_keys(Keys.ENTER)
        field = root.find_element(By.CSS_SELECTOR, "input")
        WebDriverWait(driver, 5).until(lambda d: field.is_displayed())
        driver.switch_to.active_element.send_keys("cześć", Keys.ENTER)
        wait_answer(driver, root, "Cześć, miło cię widzieć!")
        driver.save_screenshot(os.path.join(outdir, "widget-desktop.png"))
        driver.switch_to.active_element.send_keys(Keys.ESCAPE)
        check(not field.is_displayed(), "Escape does not close the box")
        driver.set_window_size(390, 844)
        launcher.click()
        driver.save_screenshot(os.path.join(outdir, "widget-phone.png"))

        # The widget on a site that is not allowed: refused, and the visitor is told.
        driver.set_window_size(1280, 900)
        driver.get("http://127.0.0.1:%d/" % other_port)
        root = shadow(driver)
        root.find_element(By.CSS_SELECTOR, ".launcher").click()
        WebDriverWait(driver, 10).until(
            lambda d: "nie ma zgody" in root.find_element(By.CSS_SELECTOR, ".notice").text)
        check(not root.find_element(By.CSS_SELECTOR, "input").is_enabled(), "input still enabled")
        check(len(bot_lines(root)) == 1, "a refused site got an answer")
        driver.save_screenshot(os.path.join(outdir, "widget-refused.png"))
        print("browser test passed; screenshots in", outdir)
        return 0
    finally:
        if driver is not None:
            driver.quit()
        for server in servers:
            server.shutdown()
        for proc in procs:
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
