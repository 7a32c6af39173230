#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""sabrota.html in real Chromium (headless, through chromium-driver and Selenium), opened from
disk as a user opens it. One driver and a table of cases; each case starts from a fresh page.
Controls are found by the names a screen reader hears. Exits 77 (skipped) when Chromium,
its driver or Selenium is missing.

Usage: browser_test.py sabrota.html tests/data
"""
import os
import shutil
import sys
import tempfile
import time

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(77)

PAGE, DATA = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
URL = "file://" + PAGE
MOST_BYTES = 1024 * 1024
REFUSAL = "CPU(T_T):計算が大変なので計算いたしません！！"


class Check(Exception):
    pass


def expect(ok, what):
    if not ok:
        raise Check(what)


def wait(cond, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = cond()
        if value:
            return value
        time.sleep(0.05)
    return cond()


class Window:
    def __init__(self, driver, downloads):
        self.d, self.downloads = driver, downloads

    def named(self, name):
        return self.d.find_element(By.CSS_SELECTOR, f'[aria-label="{name}"]')

    def button(self, caption):
        return self.d.find_element(By.XPATH, f'//button[normalize-space()="{caption}"]')

    def octets(self):
        return [self.named(f"アドレス第{k}オクテット").get_attribute("value") for k in (1, 2, 3, 4)]

    def enter(self, address, prefix):
        for k, octet in enumerate(address.split("."), 1):
            box = self.named(f"アドレス第{k}オクテット")
            box.clear()
            box.send_keys(octet)
        self.choose_mask(prefix)

    def choose_mask(self, prefix):
        self.d.find_element(By.CSS_SELECTOR, ".mask button").click()
        self.d.find_element(By.ID, f"mask{prefix - 8}").click()

    def mask(self):
        return self.d.find_element(By.CSS_SELECTOR, '[role="combobox"]').get_attribute("value")

    def calculate(self):
        self.button("計算").click()
        return self.run_ended()

    def run_ended(self):
        return wait(lambda: self.live() and self.d.execute_script(
            "return !document.getElementById('box').open") and self.live())

    def live(self):
        return self.d.find_element(By.ID, "live").text

    def box(self):
        if not wait(lambda: self.d.execute_script("return document.getElementById('box').open")):
            return None
        return (self.d.find_element(By.ID, "boxtitle").text, self.d.find_element(By.ID, "boxprompt").text)

    def close_box(self):
        self.d.find_element(By.ID, "boxok").send_keys(Keys.ENTER)

    def list_size(self):
        return wait(lambda: self.d.execute_script(
            "const o = document.querySelector('#list [role=option]');"
            "return o ? Number(o.getAttribute('aria-setsize')) : 0;"))

    def own_network_in_view(self):
        return self.d.execute_script("""
            const list = document.getElementById('list');
            const own = document.getElementById(list.getAttribute('aria-activedescendant'));
            if (!own || own.getAttribute('aria-selected') !== 'true') return null;
            const a = list.getBoundingClientRect(), b = own.getBoundingClientRect();
            return b.left >= a.left && b.right <= a.right && b.top >= a.top && b.bottom <= a.bottom
                ? own.textContent : null;""")

    def downloaded(self, name):
        path = os.path.join(self.downloads, name)
        wait(lambda: os.path.exists(path) and not os.path.exists(path + ".crdownload"))
        with open(path, "rb") as f:
            return f.read()


def golden(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


# The cases: each a name and what it does with a fresh window.
def export_26(w):
    w.enter("192.168.1.130", 26)
    expect(w.calculate(), "the run did not end")
    w.button("CSV出力").click()
    expect(w.box() == ("Sabrota", "新しいファイルを作成しました。ip-file.csv"), "no success box")
    w.close_box()
    expect(w.downloaded("ip-file.csv") == golden("csv_c_26.csv"), "ip-file.csv differs from csv_c_26.csv")


def first_octet_out_of_range(w):
    w.enter("300.1.1.1", 24)
    w.button("計算").click()
    expect(w.box() == ("第1オクテット：範囲外！！", "範囲外です。1～223で指定してください。"),
           f"box {w.box()}")
    expect(w.d.switch_to.active_element.get_attribute("id") == "boxok", "OK has not the focus")
    w.close_box()


def refusal_in_the_list(w):
    w.enter("10.1.2.3", 25)
    w.calculate()
    expect(wait(lambda: REFUSAL in w.named("ネットワークアドレスの一覧").text), "no refusal in the list")


def long_lists(w):
    for address, prefix, count, own in (("172.16.5.4", 30, 16384, "172.16.5.4"),
                                        ("10.1.2.3", 24, 65536, "10.1.2.0")):
        w.enter(address, prefix)
        w.calculate()
        expect(w.list_size() == count, f"{address}/{prefix}: {w.list_size()} entries, not {count}")
        expect(wait(w.own_network_in_view) == own, f"{address}/{prefix}: {own} not selected and in view")
        # Only the entries in view are made.
        made = w.d.execute_script("return document.querySelectorAll('#list [role=option]').length")
        expect(made < 200, f"{made} entries made for {count}")


def pasted_address(w):
    w.d.execute_script("""
        const box = document.querySelector('[aria-label="アドレス第1オクテット"]');
        const data = new DataTransfer();
        data.setData('text/plain', '192.168.1.130/26');
        box.focus();
        box.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));""")
    expect(wait(lambda: w.octets() == ["192", "168", "1", "130"]), f"octets {w.octets()}")
    expect(wait(lambda: w.mask() == "255.255.255.192    /26"), f"mask {w.mask()!r}")


def keyboard_alone(w):
    active = w.d.switch_to.active_element
    expect(active.get_attribute("aria-label") == "アドレス第1オクテット", "Text1 has not the focus")
    active.send_keys("192", Keys.TAB, "168", Keys.TAB, "1", Keys.TAB, "130", Keys.TAB, Keys.TAB)
    w.d.switch_to.active_element.send_keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN)  # /24 to /26
    expect(wait(lambda: w.mask() == "255.255.255.192    /26"), f"mask {w.mask()!r}")
    w.d.switch_to.active_element.send_keys(Keys.SHIFT, Keys.TAB)
    w.d.switch_to.active_element.send_keys(Keys.ENTER)  # 計算
    expect(w.run_ended(), "the run did not end")
    expect("使用可能なホスト数 62 台" in w.live(), f"summary {w.live()!r}")


def screen_reader_names(w):
    w.enter("192.168.1.130", 26)
    w.calculate()
    names = set()
    for node in w.d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]:
        if node.get("name", {}).get("value"):
            names.add(node["name"]["value"])
    wanted = [f"アドレス第{k}オクテット" for k in (1, 2, 3, 4)] + [
        "サブネットマスク", "ネットワークアドレスの一覧", "計算", "クリア", "IP-MEMO", "CSV出力", "印刷",
        "アドレスクラス C", "使用可能なホスト数 62"]
    missing = [n for n in wanted if not any(x == n or x.startswith(n) for x in names)]
    expect(not missing, f"not in the accessibility tree: {missing}")
    summary = w.live()
    for part in ("アドレスクラス C", "プライベート", "62 台", "192.168.1.128", "192.168.1.191", "4 本"):
        expect(part in summary, f"{part} not in the live region's {summary!r}")


def print_hides_buttons(w):
    w.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    shown = w.d.execute_script(
        "return [...document.querySelectorAll('button.control')].filter("
        "b => getComputedStyle(b).display !== 'none').length")
    expect(shown == 0, f"{shown} buttons in print")
    expect(w.named("アドレス第1オクテット").is_displayed(), "the window itself is not printed")


def memo_survives_reload(w):
    w.button("IP-MEMO").click()
    memo = w.d.find_element(By.ID, "memotext")
    memo.send_keys("サブネットの練習 10.0.0.0/8")
    w.d.refresh()
    wait(lambda: w.d.execute_script("return document.querySelectorAll('#window .control').length > 100"))
    w.button("IP-MEMO").click()
    expect(w.d.find_element(By.ID, "memotext").get_attribute("value") == "サブネットの練習 10.0.0.0/8",
           "the memo is gone after a reload")


def nothing_from_the_network(w):
    w.enter("10.1.2.3", 24)
    w.calculate()
    w.button("CSV出力").click()
    w.box()
    w.close_box()
    requests = [e["message"] for e in w.d.get_log("performance") if "Network.requestWillBeSent" in e["message"]]
    fetched = [r for r in requests if '"url":"http' in r or '"url":"ws' in r]
    expect(not fetched, f"requests: {fetched[:3]}")
    expect(os.path.getsize(PAGE) <= MOST_BYTES, f"the page is {os.path.getsize(PAGE)} bytes")


CASES = [export_26, first_octet_out_of_range, refusal_in_the_list, long_lists, pasted_address,
         keyboard_alone, screen_reader_names, print_hides_buttons, memo_survives_reload,
         nothing_from_the_network]


def browser(profile, downloads):
    o = webdriver.ChromeOptions()
    o.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
              "--disable-component-update", "--disable-sync", "--no-first-run", "--lang=ja",
              "--window-size=1000,800", f"--user-data-dir={profile}"):
        o.add_argument(a)
    o.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    o.add_experimental_option("prefs", {"download.default_directory": downloads,
                                        "download.prompt_for_download": False})
    d = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=o)
    d.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return d


def main():
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        print("skipped: chromium or chromedriver is not installed")
        return 77
    passed = failed = 0
    scratch = tempfile.mkdtemp(prefix="sabrota-web-")
    profile, downloads = os.path.join(scratch, "profile"), os.path.join(scratch, "downloads")
    os.makedirs(downloads)
    d = browser(profile, downloads)
    try:
        for case in CASES:
            for f in os.listdir(downloads):
                os.remove(os.path.join(downloads, f))
            d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
            d.get(URL)
            d.execute_script("localStorage.clear()")
            d.get(URL)
            wait(lambda: d.execute_script("return document.activeElement && document.activeElement.tagName === 'INPUT'"))
            d.get_log("performance")
            try:
                case(Window(d, downloads))
                passed += 1
                print(f"ok: {case.__name__}")
            except Exception as e:  # one case's failure, whatever it is, is reported and counted
                failed += 1
                print(f"FAILED: {case.__name__}: {str(e).splitlines()[0] if str(e) else repr(e)}")
                if os.environ.get("SABROTA_WEB_TRACE"):
                    import traceback
                    traceback.print_exc()
    finally:
        d.quit()
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"browser: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
