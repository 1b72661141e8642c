"""Reads Trackoro through AT-SPI, the way a screen reader does, and checks what it hears.

Run by tst_screen_reader.sh with Debian's /usr/bin/python3 (pyatspi) while the program runs
on a real accessibility bus against the sample service. Prints one PASS or FAIL line per
check and exits non-zero when any fails.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

failures = 0


def check(ok, what, seen=None):
    global failures
    if ok:
        print(f"PASS: {what}")
    else:
        failures += 1
        print(f"FAIL: {what}" + (f" (read: {seen!r})" if seen is not None else ""))
    sys.stdout.flush()


def pump(seconds):
    """Lets the bus deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(find, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump(0.05)
        try:
            found = find()
        except Exception:  # a node went away while it was read: read again
            found = None
        if found:
            return found
    return None


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Trackoro":
            return app
    return None


def spoken_name(node):
    """What a screen reader says a control is called. On Linux Qt names a selector by its
    current text and links it to its labels (labelled-by), which a screen reader reads
    first: the label the control belongs to, without its colon."""
    if node.getRoleName() == "combo box":
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name.rstrip(":：")
    return node.name


def nodes(root, role=None, name=None):
    return [n for n in walk(root)
            if (role is None or n.getRoleName() == role)
            and (name is None or spoken_name(n) == name)]


def one(root, role, name):
    found = nodes(root, role, name)
    return found[0] if len(found) == 1 else None


def main_window(app):
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and window.name.startswith("Trackoro V3.2"):
            return window
    return None


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


# What reached the reader as it changed: every name change, with the role of its source.
heard = []


def on_name_changed(event):
    try:
        heard.append((event.source.getRoleName(), event.source.name))
    except Exception:
        pass


app = wait_for(program, 30)
if app is None:
    print("FAIL: the program never appeared on the accessibility bus")
    sys.exit(1)
window = wait_for(lambda: main_window(app), 20)
if window is None:
    print("FAIL: no main window on the accessibility bus")
    sys.exit(1)

# Listening starts once the program is on the bus (the bus's registry then runs and tells the
# program that someone listens); the clock of the status line, which changes every second,
# shows that changes arrive. A registration made while the registry still starts can be
# lost: then it is made again.
for _ in range(3):
    pyatspi.Registry.registerEventListener(on_name_changed,
                                           "object:property-change:accessible-name")
    if wait_for(lambda: len(heard) > 0, 5):
        break
    pyatspi.Registry.deregisterEventListener(on_name_changed,
                                             "object:property-change:accessible-name")
check(len(heard) > 0, "the reader hears the window's changes")

# --- Each control by its own name ----------------------------------------------------
frame_title = "物流信息 [当前支持:127家物流公司]F8快捷粘贴单号"
controls = {
    "number box": ("combo box", "快件单号"),
    "interval selector": ("combo box", "每隔"),
    "courier selector": ("combo box", "物流公司"),
    "remark box": ("text", "备注信息"),
    "hour selector": ("combo box", "时"),
    "minute selector": ("combo box", "分"),
    "menu drop-down": ("combo box", "功能菜单"),
    "delete button": ("push button", "删"),
    "clear button": ("push button", "清"),
    "query button": ("push button", "开始查询"),
}
found = {}
for what, (role, name) in controls.items():
    found[what] = wait_for(lambda: one(window, role, name), 5)
    check(found[what] is not None, f"the {what} is read as a {role} named {name}")

inputs = [n for n in walk(window) if n.getRoleName() in ("combo box", "text")]
check(all(spoken_name(n) not in (frame_title, "") for n in inputs),
      "no input is read by the frame's title or without a name", [spoken_name(n) for n in inputs])
if found["delete button"]:
    check("删除" in found["delete button"].description,
          "the delete button says what it deletes", found["delete button"].description)
if found["clear button"]:
    check("清空" in found["clear button"].description,
          "the clear button says what it deletes", found["clear button"].description)

lists = [n for n in walk(window) if n.getRoleName() in ("table", "tree table", "tree", "list")]
progress = [n for n in lists if n.name == "物流进度"]
check(len(progress) == 1, "the progress list is read by its name 物流进度", [n.name for n in lists])

# --- A query, and the progress list read row by row ----------------------------------
def type_number(number):
    box = found["number box"]
    edits = [n for n in walk(box) if n.getRoleName() == "text"]
    edits[0].queryEditableText().setTextContents(number)


def press(button):
    button.queryAction().doAction(0)


def key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


query = found["query button"]
if query is None or not progress:
    sys.exit(1)
check(wait_for(lambda: enabled(query), 20) is True, "the query button is enabled after start-up")
# The courier through the quick search, as a screen-reader user finds it: its window's
# keyword box by its name, then its search button.
def window_named(title):
    for i in range(app.childCount):
        node = app.getChildAtIndex(i)
        if node is not None and node.name == title:
            return node
    return None


press(one(window, "push button", "快捷搜索"))
search = wait_for(lambda: window_named("搜索物流公司"), 10)
check(search is not None, "the quick search opens")
keyword = search and wait_for(lambda: one(search, "text", "公司名称关键字"), 5)
check(bool(keyword), "its keyword box is read as 公司名称关键字")
if keyword:
    keyword.queryEditableText().setTextContents("顺丰")
    press(one(search, "push button", "搜索"))
courier = found["courier selector"]
check(wait_for(lambda: courier.name == "顺丰快递", 10) is True,
      "the courier selector reads the courier found", courier.name)
type_number("SF1001")
found["remark box"].queryEditableText().setTextContents("爸爸衣服")
del heard[:]
press(query)

table = progress[0].queryTable()
expected_rows = [
    ("1", "2026-12-03 15:21:09", "已签收，签收人：本人 感谢使用顺丰"),
    ("2", "2026-12-03 07:58:33", "【上海浦东集散中心】快件已到达"),
    ("3", "2026-12-02 05:10:17", "【深圳宝安集散中心】快件已发车，下一站 上海浦东集散中心"),
    ("4", "2026-12-02 02:44:51", "【深圳宝安集散中心】快件已到达"),
    ("5", "2026-12-01 18:30:05", "【深圳】快件已发车，下一站 深圳宝安集散中心"),
    ("6", "2026-12-01 09:12:40", "【深圳】顺丰速运 已收取快件"),
]
wait_for(lambda: table.nRows == len(expected_rows), 20)
status_line = [n for n in walk(window) if n.getRoleName() == "status bar"]
print("status line:", [status_line[0].getChildAtIndex(i).name
                       for i in range(status_line[0].childCount)] if status_line else None)
rows = [tuple(table.getAccessibleAt(r, c).name for c in range(table.nColumns))
        for r in range(table.nRows)]
check(rows == expected_rows, "after the query the list is read line by line: number, time, progress",
      rows)
headers = [n.name for n in walk(progress[0]) if n.getRoleName() == "table column header"]
check(headers == ["序号", "时间", "物流进度"], "the columns are read by their headers", headers)

# What changed on screen reached the reader as it changed.
wait_for(lambda: ("label", "是否更新：有更新") in heard, 10)
for text in ("快件状态：已签收", "是否更新：有更新", "查询完毕..."):
    check(any(name == text for _, name in heard), f"the reader heard \"{text}\" as it appeared",
          heard)

# --- A question's buttons, in Chinese ------------------------------------------------
type_number("NX9999")
press(query)


def question():
    for i in range(app.childCount):
        node = app.getChildAtIndex(i)
        if node is not None and any("不存在" in n.name for n in walk(node)):
            return node
    return None


box = wait_for(question, 20)
check(box is not None, "the \"不存在\" question is read")
if box is not None:
    buttons = [n.name for n in walk(box) if n.getRoleName() == "push button"]
    check(len(buttons) == 2 and buttons[0].startswith("是") and buttons[1].startswith("否"),
          "its buttons are read as 是 and 否", buttons)
    no = [n for n in walk(box) if n.getRoleName() == "push button" and n.name.startswith("否")]
    if no:
        press(no[0])
        check(wait_for(lambda: question() is None, 10) is True, "否 closes the question")

sys.exit(1 if failures else 0)
