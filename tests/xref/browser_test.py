#!/usr/bin/env python3
"""Loads kvr-xref's HTML graph and report pages in headless Chromium, from disk.

For the bundled example and for a database of hostile names (tests/xref/browser/
hostile.import) it checks that the graph page draws as many nodes and edges as the graph's
JSON holds, that looking a node up (typed into the search box, or "#node=NAME" in the
address) selects and centres it, that a click of the pointer on a data set lists exactly the
steps the database's tables say write and read it, that names show as text
and never as markup, that the console stays silent and that no request leaves the page (a
proxy that records every connection stands in for the network). The DOT form of the same
graphs must render with Graphviz. The report of both databases must have every link lead
to a page that exists, page file names that are safe whatever the name, and one page of each
kind must load cleanly. Screenshots are left in the artefact folder.

Chromium is driven by ChromeDriver through Selenium, as Debian packages them (chromium,
chromium-driver, python3-selenium), so this runs under Debian's own Python; a search is
typed into the page's search box and nodes are clicked with the pointer. Where Selenium,
ChromeDriver or Chromium is missing or cannot start, the test fails.
"""
import argparse
import html.parser
import json
import os
import re
import shutil
import socketserver
import sqlite3
import struct
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from run_case import examples_import  # noqa: E402

try:
    from selenium import webdriver
    from selenium.common.exceptions import TimeoutException, WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
    SELENIUM_MISSING = None
except ImportError as missing:
    webdriver, SELENIUM_MISSING = None, missing
    TimeoutException = WebDriverException = RuntimeError

HOSTILE_NAMES = ["<img src=x onerror=alert(1)>", "A&B \"Q\" 'S'.DATA",
                 "</script><script>alert(2)</script>", "lower.case.data", "LOWER.CASE.DATA",
                 "../../ESCAPE", "B\\SLASH\\N.DATA", "X&lt;Y.DATA"]
DATASET_FILL = (0xcf, 0xe2, 0xff)
JOB_FILL = (0xff, 0xe6, 0x9c)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- the network stand-in ---------------------------------------------------------------

# Chromium's own services, which it calls whatever page it shows (updates, sign-in, time);
# no page of ours names them, and a request to any other host is the page's.
BROWSER_SERVICES = {"update.googleapis.com", "accounts.google.com", "clients2.google.com",
                    "clientservices.googleapis.com", "optimizationguide-pa.googleapis.com",
                    "content-autofill.googleapis.com", "safebrowsing.googleapis.com",
                    "redirector.gvt1.com", "android.clients.google.com", "www.google.com",
                    # Debian's Chromium connects ahead to its default search engine.
                    "start.duckduckgo.com"}


def requested_host(request_line):
    target = request_line.split(" ")[1] if " " in request_line else request_line
    if "://" in target:
        target = urllib.parse.urlsplit(target).netloc
    return target.rsplit(":", 1)[0] if ":" in target else target


class RecordingProxy(socketserver.ThreadingTCPServer):
    """Every connection Chromium makes through its proxy is recorded and refused."""
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self):
        self.requests = []
        proxy = self

        class Handler(socketserver.StreamRequestHandler):
            def handle(self):
                line = self.rfile.readline(4096).decode("latin-1").strip()
                # A connection opened ahead and closed unused (Chromium preconnects under
                # load) carries no request: nothing left the machine through it.
                if line:
                    proxy.requests.append(line)
                self.wfile.write(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")

        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def page_requests(self):
        return [r for r in self.requests if requested_host(r) not in BROWSER_SERVICES]


# --- Chromium, driven through ChromeDriver ----------------------------------------------

class Browser:
    """Headless Chromium under ChromeDriver; every page it opens is waited for, and what
    the page wrote to its console is taken from the browser's log after each step."""

    def __init__(self, chromium, chromedriver, work, proxy, driver_log):
        options = webdriver.ChromeOptions()
        options.binary_location = chromium
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", "--disable-default-apps", "--hide-scrollbars",
                         "--disable-dev-shm-usage", "--window-size=1200,700",
                         f"--user-data-dir={os.path.join(work, 'profile')}",
                         f"--proxy-server=http://127.0.0.1:{proxy.server_address[1]}",
                         "--proxy-bypass-list=<-loopback>"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        service = Service(chromedriver, log_path=driver_log)
        self.driver = webdriver.Chrome(service=service, options=options)
        self.driver.set_page_load_timeout(60)
        self.size = (1200, 700)

    def quit(self):
        self.driver.quit()

    def console(self):
        return self.driver.get_log("browser")

    def open(self, url, size=(1200, 700), quiet=True):
        """Loads the page at that window size and waits until its scripts have drawn the
        graph, where it has one; then the console must have stayed silent."""
        if size != self.size:
            self.driver.set_window_size(*size)
            self.size = size
        self.console()
        self.driver.get(url)
        self.wait(lambda d: d.execute_script("return document.readyState") == "complete",
                  f"{url} did not finish loading")
        if self.driver.find_elements(By.ID, "kvr-graph"):
            self.wait(lambda d: d.execute_script(
                "const g = document.getElementById('kvr-graph');"
                "return g.hasAttribute('data-drawn-nodes') || g.hasAttribute('data-error');"),
                f"{url} drew no graph")
        if quiet:
            self.check_console(url)

    def check_console(self, what):
        messages = [entry["message"] for entry in self.console()]
        check(not messages, f"console messages on {what}: {messages}")

    def wait(self, condition, message, seconds=20):
        try:
            WebDriverWait(self.driver, seconds).until(condition)
        except TimeoutException:
            raise Failure(message) from None

    def graph_attribute(self, name):
        return self.driver.find_element(By.ID, "kvr-graph").get_attribute(name)

    def wait_attribute(self, name, value, message):
        self.wait(lambda d: d.find_element(By.ID, "kvr-graph").get_attribute(name) == value,
                  f"{message} ({name} is {self.graph_attribute(name)!r}, not {value!r})")

    def dom(self):
        return Page(self.driver.page_source)

    def screenshot(self, path):
        check(self.driver.save_screenshot(path) and os.path.getsize(path) > 0,
              f"no screenshot {path}")

    def node_point(self, node_id):
        """Where on the window the node is drawn, and whether that point is inside both
        the graph's box and the window."""
        return self.driver.execute_script("""
            const node = window.kvrGraph.getElementById(arguments[0]);
            const box = document.getElementById('kvr-graph').getBoundingClientRect();
            const at = node.renderedPosition();
            const x = box.left + at.x, y = box.top + at.y;
            return [x, y, x > box.left && x < box.right && y > box.top && y < box.bottom &&
                    x < window.innerWidth && y < window.innerHeight];""", node_id)

    def click_node(self, node_id):
        """A left click of the pointer where the node is drawn, as a user's."""
        x, y, visible = self.node_point(node_id)
        check(visible, f"node {node_id!r} is drawn outside the window, at {x:.0f},{y:.0f}")
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
        actions.pointer_action.click()
        actions.perform()

    def search(self, text):
        """Types the text into the page's search box and presses Enter."""
        box = self.driver.find_element(By.ID, "kvr-search-text")
        box.clear()
        box.send_keys(text)
        box.send_keys(Keys.ENTER)


def file_url(path, fragment=""):
    url = "file://" + urllib.parse.quote(os.path.abspath(path))
    return url + ("#" + fragment if fragment else "")


# --- reading pages -----------------------------------------------------------------------

class Page(html.parser.HTMLParser):
    """The elements, attributes and text of a page, and the rows of the details panel."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.tags = []
        self.by_id = {}
        self.links = []
        self.h1 = ""
        self.panel_heading = ""
        self.panel_rows = []
        self._in = []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append((tag, attrs))
        if "id" in attrs:
            self.by_id[attrs["id"]] = attrs
        if tag == "a" and "href" in attrs:
            self.links.append(attrs["href"])
        if tag not in ("meta", "link", "input", "br"):
            self._in.append((tag, attrs.get("id")))
        if tag == "tr" and self.inside("kvr-details"):
            self.panel_rows.append([])
        if tag == "td" and self.inside("kvr-details") and self.panel_rows:
            self.panel_rows[-1].append("")

    def handle_endtag(self, tag):
        while self._in:
            if self._in.pop()[0] == tag:
                break

    def handle_data(self, data):
        names = [t for t, _ in self._in]
        if "h1" in names:
            self.h1 += data
        if self.inside("kvr-details") and "h2" in names:
            self.panel_heading += data
        if self.inside("kvr-details") and names and names[-1] == "td" and self.panel_rows:
            self.panel_rows[-1][-1] += data

    def inside(self, element_id):
        return any(i == element_id for _, i in self._in)


def png_pixels(path):
    """(width, height, rows of RGB tuples) of an 8-bit RGB or RGBA PNG, as Chromium writes."""
    with open(path, "rb") as handle:
        data = handle.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunk = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", chunk)
        elif kind == b"IDAT":
            idat += chunk
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    check(depth == 8 and colour in (2, 6) and interlace == 0, f"unexpected PNG form {header}")
    channels = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, channels)])
        previous = line
    return width, height, rows


def count_colour(rows, colour):
    return sum(row.count(colour) for row in rows)


# --- kvr-xref ----------------------------------------------------------------------------

class Xref:
    def __init__(self, binary, db):
        self.binary, self.db = binary, db

    def run(self, *args):
        run = subprocess.run([self.binary, self.db, *args], capture_output=True, text=True)
        check(run.returncode == 0, f"kvr-xref {' '.join(args)}: {run.stderr}")
        return run.stdout

    def graph_json(self, *start):
        return json.loads(self.run("graph", *start, "--format", "json"))

    def rows(self, *question):
        return [json.loads(line) for line in self.run(*question, "--format", "json").splitlines()]


def load(binary, db, import_file):
    subprocess.run([binary, "load", db, import_file], check=True, capture_output=True)
    return Xref(binary, db)


# --- the checks --------------------------------------------------------------------------

ACCESS_WORDS = ("read", "write", "create", "delete")


def dataset_uses(db_path, name):
    """The data set's uses straight from the database's tables: (job, step number, step,
    DD, access words) of every DD that names it."""
    with sqlite3.connect(db_path) as db:
        rows = db.execute("""
            SELECT j.name, s.number, s.name, s.proc_step, u.name, u.reads, u.writes, u.creates,
                   u.deletes
            FROM dd u JOIN dataset d ON d.id = u.dataset_id JOIN job j ON j.id = u.job_id
            LEFT JOIN step s ON s.id = u.step_id WHERE d.name = ?""", (name,)).fetchall()
    uses = []
    for job, number, step, proc_step, dd, *flags in rows:
        step_text = (step or "") + ("." + proc_step if proc_step else "")
        access = ",".join(word for word, on in zip(ACCESS_WORDS, flags) if on)
        uses.append((job, "" if number is None else str(number), step_text, dd, access))
    return sorted(uses)


def panel_uses(page):
    """The panel's rows of a data set as (job, step number, step, DD, access)."""
    return sorted((r[0], r[1], r[2], r[3], r[5]) for r in page.panel_rows if len(r) == 6)


def check_selected(browser, node, how, name):
    browser.wait_attribute("data-selected", node["id"], f"{name}: {how} did not select {node['name']!r}")
    browser.wait_attribute("data-centred", node["id"], f"{name}: {how} did not centre {node['name']!r}")
    page = browser.dom()
    check(page.panel_heading == node["kind"] + " " + node["name"],
          f"{name}: after {how} the panel is headed {page.panel_heading!r}")
    return page


def check_graph_page(browser, xref, start, work, name, lookup, artefacts):
    """The page draws the graph's nodes and edges; the search box and the address'
    "#node=NAME" select and centre a node; a click of the pointer on a node shows its
    details, for a data set exactly the uses the database holds; nothing but the graph's
    own scripts is on the page. Returns the page as the click on the looked-up node left it."""
    page_path = os.path.join(work, name + ".html")
    xref.run("graph", *start, "--format", "html", "-o", page_path)
    graph = xref.graph_json(*start)
    wanted = [n for n in graph["nodes"] if n["name"] == lookup]
    check(len(wanted) == 1, f"{name}: {lookup!r} is not one node of the graph")
    wanted = wanted[0]
    others = sorted((n for n in graph["nodes"] if n["id"] != wanted["id"]),
                    key=lambda n: n["kind"] != "job")
    check(others, f"{name}: the graph has no node but {lookup!r}")

    browser.open(file_url(page_path))
    page = browser.dom()
    holder = page.by_id.get("kvr-graph", {})
    check("data-error" not in holder, f"{name}: script error {holder.get('data-error')}")
    check(holder.get("data-drawn-nodes") == str(len(graph["nodes"])),
          f"{name}: drew {holder.get('data-drawn-nodes')} nodes, the graph has {len(graph['nodes'])}")
    check(holder.get("data-drawn-edges") == str(len(graph["edges"])),
          f"{name}: drew {holder.get('data-drawn-edges')} edges, the graph has {len(graph['edges'])}")
    check(not any("src" in attrs or tag == "link" for tag, attrs in page.tags),
          f"{name}: the page loads another file")
    scripts = [attrs for tag, attrs in page.tags if tag == "script"]
    check(len(scripts) == 4 and [s.get("type") for s in scripts][0] == "application/json",
          f"{name}: the page holds {len(scripts)} script elements, not its own four")
    check(not any(tag in ("img", "iframe", "object", "embed") for tag, _ in page.tags),
          f"{name}: a name became markup")
    check("data-selected" not in holder, f"{name}: a node is selected before any is asked for")
    browser.screenshot(os.path.join(artefacts, name + ".png"))

    browser.search(lookup)
    check_selected(browser, wanted, "the search box", name)
    # Another node clicked first, so that the panel the click on the looked-up node
    # leaves is that click's and not the search's.
    other = next((n for n in others if browser.node_point(n["id"])[2]), None)
    check(other, f"{name}: no other node is in the window once {lookup!r} is centred")
    browser.click_node(other["id"])
    check_selected(browser, other, "a click", name)
    browser.click_node(wanted["id"])
    clicked = check_selected(browser, wanted, "a click", name)
    if wanted["kind"] == "dataset":
        expected = dataset_uses(xref.db, lookup)
        check(expected, f"{name}: the database holds no use of {lookup!r}")
        check(panel_uses(clicked) == expected,
              f"{name}: the panel lists {panel_uses(clicked)}, the database {expected}")
    browser.check_console(name + " after the search and the clicks")

    browser.open(file_url(page_path, "node=" + urllib.parse.quote(lookup)))
    check_selected(browser, wanted, "#node= in the address", name)
    return clicked


PROBE_HOST = "kvr-network-probe.invalid"


def check_probe_seen(browser, proxy, work):
    """A page that loads a script from the network is caught, so the silence of the others
    means something; its request is then forgotten."""
    probe = os.path.join(work, "probe.html")
    with open(probe, "w", encoding="utf-8") as handle:
        handle.write(f'<!DOCTYPE html><script src="http://{PROBE_HOST}/probe.js"></script>')
    browser.open(file_url(probe), quiet=False)
    check(browser.console(), "the probe's failed script left no message on the console")
    seen = [r for r in proxy.requests if requested_host(r) == PROBE_HOST]
    check(seen, f"the probe's request was not seen (seen: {proxy.requests})")
    proxy.requests[:] = [r for r in proxy.requests if requested_host(r) != PROBE_HOST]


def check_examples_graph(browser, xref, work, artefacts):
    page = check_graph_page(browser, xref, ["--dataset", "PROD.PAY.EXTRACT"], work,
                            "examples-lineage", "PROD.PAY.EXTRACT", artefacts)
    shown = panel_uses(page)
    check({r[0] for r in shown if "write" in r[4]} == {"PAYDAILY"} and
          {r[0] for r in shown if "read" in r[4]} == {"PAYDAILY", "SENDFILE"},
          f"the panel's writers and readers of PROD.PAY.EXTRACT are not the example's: {shown}")
    _, _, rows = png_pixels(os.path.join(artefacts, "examples-lineage.png"))
    check(count_colour(rows, DATASET_FILL) > 2000 and count_colour(rows, JOB_FILL) > 2000,
          "the screenshot shows no filled data set and job nodes")


def check_hostile_graph(browser, xref, work, artefacts):
    for name in ("<img src=x onerror=alert(1)>", "</script><script>alert(2)</script>"):
        check_graph_page(browser, xref, ["--job", "J2", "--up", "--down"], work,
                         "hostile-" + str(len(name)), name, artefacts)


def dot_environment(work):
    """Graphviz as installed, or, when its plugins were unpacked but never registered (a
    package left unconfigured), with a private copy registered by `dot -c`."""
    probe = subprocess.run(["dot", "-Tsvg"], input="digraph { a }", capture_output=True, text=True)
    if probe.returncode == 0:
        return dict(os.environ)
    plugins = os.path.join(work, "graphviz")
    os.makedirs(plugins, exist_ok=True)
    for folder in ("/usr/lib/x86_64-linux-gnu/graphviz", "/usr/lib/graphviz"):
        if os.path.isdir(folder):
            for entry in os.listdir(folder):
                if entry.endswith(".so.6"):
                    shutil.copy(os.path.join(folder, entry), plugins)
    env = dict(os.environ, GVBINDIR=plugins)
    subprocess.run(["dot", "-c"], env=env, check=True)
    return env


def check_dot_renders(xref, work, starts):
    env = dot_environment(work)
    for start, names in starts:
        dot = xref.run("graph", *start, "--format", "dot")
        svg = subprocess.run(["dot", "-Tsvg"], input=dot, capture_output=True, text=True, env=env)
        check(svg.returncode == 0, f"dot -Tsvg failed on {start}: {svg.stderr}")
        texts = {html.unescape(t) for t in re.findall(r"<text[^>]*>([^<]*)</text>", svg.stdout)}
        for name in names:
            check(name in texts, f"the SVG of {start} does not show {name!r}")


def check_report(browser, xref, work, artefacts, label, pages_to_load):
    folder = os.path.join(work, "report-" + label)
    xref.run("report", folder)
    with sqlite3.connect(xref.db) as db:
        # Temporary data sets (&&T, &T) live in their jobs and have no pages of their own.
        expected_datasets = sum(1 for (name,) in db.execute("SELECT name FROM dataset")
                                if not name.startswith("&"))
    safe = re.compile(r"^[A-Z0-9.@$-]+(_[0-9a-f]{16})?\.html$|^[A-Z0-9_.@$-]*_[0-9a-f]{16}\.html$")
    headings = {}
    for kind in ("jobs", "datasets", "programs", "plans", "psbs"):
        for entry in os.listdir(os.path.join(folder, kind)):
            check(safe.match(entry), f"{label}: unsafe page name {kind}/{entry!r}")
    for root, _, files in os.walk(folder):
        for entry in files:
            if not entry.endswith(".html"):
                continue
            path = os.path.join(root, entry)
            with open(path, encoding="utf-8") as handle:
                page = Page(handle.read())
            headings.setdefault(page.h1, []).append(os.path.relpath(path, folder))
            check(not any(tag in ("img", "iframe", "object", "embed") for tag, _ in page.tags),
                  f"{label}: markup from a name on {path}")
            for tag, attrs in page.tags:
                if tag == "script":
                    check(attrs.get("type") == "application/json" or
                          attrs.get("src", "").startswith("../assets/"),
                          f"{label}: a script that is not the report's on {path}: {attrs}")
            for link in page.links:
                target = os.path.normpath(os.path.join(root, urllib.parse.unquote(link.split("#")[0])))
                check(target.startswith(os.path.abspath(folder) + os.sep),
                      f"{label}: {path} links out of the report: {link}")
                check(os.path.isfile(target), f"{label}: {path} links to a missing page {link}")
    dataset_pages = len(os.listdir(os.path.join(folder, "datasets")))
    check(dataset_pages == expected_datasets,
          f"{label}: {dataset_pages} data set pages for {expected_datasets} data sets")
    for page_path, graph_start in pages_to_load:
        path = os.path.join(folder, page_path)
        browser.open(file_url(path), size=(1200, 1000))
        page = browser.dom()
        check(page.h1, f"{label}: {page_path} has no heading")
        if graph_start:
            graph = xref.graph_json(*graph_start, "--depth", "1", "--max-nodes", "60")
            drawn = page.by_id.get("kvr-graph", {}).get("data-drawn-nodes")
            check(drawn == str(len(graph["nodes"])),
                  f"{label}: {page_path} drew {drawn} nodes, the graph has {len(graph['nodes'])}")
        browser.screenshot(os.path.join(artefacts, f"report-{label}-{page_path.replace('/', '-')}.png"))
    return headings


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--xref", required=True)
    parser.add_argument("--kvr4000", required=True)
    parser.add_argument("--artefacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artefacts, exist_ok=True)
    if webdriver is None:
        print(f"FAILED: Selenium cannot be imported by {sys.executable}: {SELENIUM_MISSING}")
        return 1
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    chromedriver = shutil.which("chromedriver")
    if not chromium or not chromedriver:
        print(f"FAILED: chromium ({chromium}) or chromedriver ({chromedriver}) is not installed")
        return 1
    failures = []
    with tempfile.TemporaryDirectory(prefix="xref-browser-") as work:
        proxy = RecordingProxy()
        try:
            browser = Browser(chromium, chromedriver, work, proxy,
                              os.path.join(args.artefacts, "chromedriver.log"))
        except WebDriverException as error:
            print(f"FAILED: Chromium did not start under ChromeDriver: {error}")
            proxy.shutdown()
            return 1
        examples = load(args.xref, os.path.join(work, "examples.db"),
                        examples_import(os.path.abspath(args.kvr4000), work, False))
        hostile = load(args.xref, os.path.join(work, "hostile.db"),
                       os.path.join(HERE, "browser", "hostile.import"))
        checks = [
            ("a request from a page is seen", lambda: check_probe_seen(browser, proxy, work)),
            ("graph of the example", lambda: check_examples_graph(browser, examples, work, args.artefacts)),
            ("graph of hostile names", lambda: check_hostile_graph(browser, hostile, work, args.artefacts)),
            ("DOT renders", lambda: check_dot_renders(work=work, xref=hostile, starts=[
                (["--job", "J2"], HOSTILE_NAMES + ["J<&>'\"1", "P<&>1"])])),
            ("DOT of the example renders", lambda: check_dot_renders(work=work, xref=examples, starts=[
                (["--dataset", "PROD.PAY.EXTRACT", "--steps"], ["PROD.PAY.EXTRACT", "SENDFILE", "1 FTP"])])),
            ("report of the example", lambda: check_report(browser, examples, work, args.artefacts, "examples", [
                ("index.html", None), ("jobs/PAYDAILY.html", None),
                ("datasets/PROD.PAY.EXTRACT.html", ["--dataset", "PROD.PAY.EXTRACT"]),
                ("programs/CUSTRPT.html", None), ("plans/CUSTPLN.html", None), ("psbs/CUSTPSB.html", None)])),
            ("report of hostile names", lambda: check_hostile_report(browser, hostile, work, args.artefacts)),
        ]
        for name, run in checks:
            try:
                run()
                print(f"ok: {name}")
            except (Failure, subprocess.SubprocessError, OSError, WebDriverException) as error:
                failures.append(name)
                print(f"FAILED: {name}: {error}")
        browser.quit()
        if proxy.page_requests():
            failures.append("network")
            print(f"FAILED: the pages made requests: {proxy.page_requests()}")
        else:
            print("ok: no request left the pages")
        proxy.shutdown()
    print(f"browser: {len(checks) + 1 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def check_hostile_report(browser, xref, work, artefacts):
    first = "<img src=x onerror=alert(1)>"
    headings = check_report(browser, xref, work, artefacts, "hostile", [
        ("jobs.html", None), ("datasets.html", None)])
    for name in HOSTILE_NAMES:
        pages = headings.get("Data set " + name, [])
        check(len(pages) == 1, f"the data set {name!r} has the pages {pages}")
    check(len(headings.get("Job J<&>'\"1", [])) == 1, "the hostile job has no page of its own")
    page = [p for p in headings["Data set " + first]][0]
    check_report_page_loads(browser, xref, work, page, first)


def check_report_page_loads(browser, xref, work, page, name):
    path = os.path.join(work, "report-hostile", page)
    browser.open(file_url(path), size=(1200, 1000))
    loaded = browser.dom()
    check(loaded.h1 == "Data set " + name, f"{page} is headed {loaded.h1!r}")
    graph = xref.graph_json("--dataset", name, "--depth", "1", "--max-nodes", "60")
    drawn = loaded.by_id.get("kvr-graph", {}).get("data-drawn-nodes")
    check(drawn == str(len(graph["nodes"])), f"{page} drew {drawn} nodes of {len(graph['nodes'])}")


if __name__ == "__main__":
    sys.exit(main())
