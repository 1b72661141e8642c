#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora and dictionaries from the answers the tests use.

    python3 autotests/fuzz/make_seeds.py

The seeds are the pages, files and texts of autotests/ and of tools/sample_service, in the
encodings the program meets them in (GBK for the tracking service and the history file,
UTF-8 for the branch site). Run it again after changing the samples and commit the result;
tools/fuzz copies the seeds into a scratch folder and never writes here.
"""

import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))


def gbk(text):
    return text.encode("gb18030")


def utf8(text):
    return text.encode("utf-8")


def utf16(text):
    """UTF-16LE code units; lone surrogates pass as they are."""
    return text.encode("utf-16-le", "surrogatepass")


# --- tracking answers (autotests/tracking, autotests/app, tools/sample_service) ----------------------

def row(time, progress):
    return "<tr><td>%s</td><td>%s</td></tr>" % (time, progress)


def page(rows):
    return "<table>" + "".join(rows) + "</table>"


TRANSIT = [
    ("2026-12-01 09:12:40", "【深圳】顺丰速运 已收取快件"),
    ("2026-12-01 18:30:05", "【深圳】快件已发车，下一站 深圳宝安集散中心"),
    ("2026-12-02 02:44:51", "【深圳宝安集散中心】快件已到达"),
    ("2026-12-02 05:10:17", "【深圳宝安集散中心】快件已发车，下一站 上海浦东集散中心"),
    ("2026-12-03 07:58:33", "【上海浦东集散中心】快件已到达"),
]


def rows_of(count, last="运输中"):
    return page([row("2026-12-0%d 10:00" % (i % 9 + 1), last if i == count else "第%d站" % i)
                 for i in range(1, count + 1)])


TRACKING_PAGES = {
    "sample_signed": page([row(*s) for s in TRANSIT + [("2026-12-03 15:21:09", "已签收，签收人：本人 感谢使用顺丰")]]),
    "sample_delivering": page([row(*s) for s in TRANSIT + [("2026-12-03 09:02:44", "正在派送途中，派件员：王师傅 电话 13800000000")]]),
    "sample_transit": page([row(*s) for s in TRANSIT]),
    "sample_bad_format": "<p>单号格式错误，请核对后再查询</p>",
    "sample_please_enter": "<p>请输入快递公司代码</p>",
    "sample_not_found": "<p>您查询的单号不存在或者已经过期</p>",
    "query_rows_of_3": rows_of(3),
    "query_bad_format_with_row": "<p>单号格式错误</p><tr><td>",
    "query_unsupported_with_row": "不支持的快递公司<tr><td>",
    "query_not_found_please_enter": "不存在，请输入正确单号",
    "query_no_rows": "<p>正在查询，请稍候</p>",
    "rules_newest_first": page([row("2013-01-01 08:00", "已揽收"), row("2013-01-02 09:00", "运输中"),
                                row("2013-01-03 10:00", "已签收")]),
    "rules_line_break_tag": page([row("2013-01-05 10:20<br>", "到达")]),
    "rules_text_after_table": page([row("t1", "p1"), row("t2", "p2")]) + "<p>来源：快递100</p>\r\n",
    "rules_missing_piece": "<table>" + row("t1", "p1") + "<tr><td>t2</td></tr></table>",
    "rules_missing_first_piece": "<tr><td>t1</td>",
    "rules_removal_again": "<tr><td>t1</td><td>a</td></tr></td></tr><tr><tr>b<tr><td>t2</td></tr>",
    "rules_row_without_cell_end": "<tr><td>t1<td>p1</td></tr></table>",
    "rules_other_tags": page([row("t<b>1</b>", "<a href=\"x\">派送</a>&amp;")]),
    "rules_markers_only": "<tr><td><tr><td>",
    "rules_upper_case": "<TR><TD>x</td><td>y",
}

# --- request numbers (autotests/tracking, autotests/app) ------------------------------------------

NUMBERS = {
    "plain": "SF123",
    "space_amp_hash": "A B&C#D",
    "percent_plus": "1%2+3",
    "untrimmed": "  SF1 ",
    "controls": "a\tb\nc\x7f\x00",
    "chinese": "顺丰1",
    "printable": "a=b?c/d:e@f!$'()*,;[]~-._",
    "not_raw_in_url": "\"<>\\^`{|}",
    "extra_key": "1&id=X",
    "fragment": "1#&type=xml",
    "encoded_bar": "1%26id%3DX",
    "plus_space": "1+2 3",
    "mixed": " 单号<b>&\"{x}\" ",
    "wire": " A B&C#D+%中 ",
    "sample_signed": "SF1001",
    "sample_growing": "EMS4004",
}

# --- history files (autotests/history, autotests/app) -----------------------------------------------

HISTORY = {
    "three_entries": gbk("1234|EMS快递|爸爸衣服\r\nSF1|顺丰快递|a\r\n中\r\n"),
    "crlf": b"A\r\nB\r\n",
    "last_without_crlf": b"A\r\nB",
    "lone_cr": b"A\rB\r\n",
    "ends_with_lone_cr": b"A\r",
    "lone_lf": b"A\nB\r\n",
    "empty_line": b"A\r\n\r\nB\r\n",
    "only_line_end": b"\r\n",
    "spaces": b" x \r\n",
    "gbk_entry": bytes.fromhex("d6d07c454d53bfecb5dd7c610d0a"),
    "bars": gbk("9876|共速达物流|快递|书\r\n1234||r\r\n|EMS快递|r\r\n5678\r\n"),
    "query_entry": gbk("SF123|顺丰快递|爸爸衣服\r\n"),
    "gbk_lacks": gbk("SF9|EMS快递|\u20ac\u00e9\U0001F600\r\n"),
}

# --- the parcel list's saved file (autotests/parcels) ----------------------------------------------

def parcel_entry(number, company="顺丰快递", status="in-transit", time="2026-12-01 09:12:40",
                 progress="已发车", lines=3, queried=1796311800000, moved="false"):
    return ('{"number": %s, "company": %s, "status": "%s", "time": %s, "progress": %s, '
            '"lines": %s, "queried": %s, "moved": %s}'
            % (json_text(number), json_text(company), status, json_text(time), json_text(progress),
               lines, queried, moved))


def json_text(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t") \
        .replace("\r", "\\r").replace("\n", "\\n") + '"'


def parcels_file(entries, watch='{"armed": true, "interval": 60}', version="1"):
    return ('{"format": "trackoro-parcels", "version": %s, "watch": %s, "parcels": [%s]}'
            % (version, watch, ", ".join(entries)))


PARCELS_FILES = {
    "two": utf8(parcels_file([parcel_entry("SF1"), parcel_entry("SF2", status="signed",
                                                                  progress="已签收", moved="true")])),
    "same_number_two_couriers": utf8(parcels_file([parcel_entry("1234"),
                                                   parcel_entry("1234", company="共速达物流|快递")])),
    "texts": utf8(parcels_file([parcel_entry("A|B\t\"C\"", progress="运输中 \\ \r\n<p>\U0001F4E6",
                                             lines=32767)])),
    "failure_kept_lines": utf8(parcels_file([parcel_entry("T1", status="timed-out")])),
    "no_lines": utf8(parcels_file([parcel_entry("N1", status="not-found", time="", progress="",
                                                lines=0)])),
    "interval_out_of_bounds": utf8(parcels_file([], watch='{"armed": false, "interval": 1e30}')),
    "bad_entry": utf8(parcels_file([parcel_entry("B1", lines=-1), parcel_entry("B2")])),
    "version_2": utf8(parcels_file([parcel_entry("V2")], version="2")),
    # An escaped NUL and half of a surrogate pair, and a raw NUL byte.
    "escapes": utf8(parcels_file([parcel_entry("E1", progress="ESCAPES"), parcel_entry("E2\0")])
                    .replace("ESCAPES", "a\\u0000b\\ud800")),
    "empty": b"",
}

# --- branch pages (autotests/branch, tools/sample_service) --------------------------------------

PREFIX19 = " class=\"vv\" id=\"q\">"
PREFIX20 = " class=\"vv\" id=\"qq\">"


def page_of(pieces, count=28):
    return "td".join(pieces.get(i, "x") for i in range(count))


def sample_branch_page():
    labels = ["网点名称", "负责人", "网点名称", "联系电话", "派送范围", "不派送范围"]
    values = ["上海浦东", "李经理", "上海浦东新区营业部", "021-50000000",
              "浦东新区陆家嘴、张江、金桥、川沙、周浦、康桥、三林、北蔡、花木、洋泾等街道全境",
              "外高桥保税区、洋山港区"]
    html = ("<html><head><meta charset=\"utf-8\"><title>网点查询</title>"
            "<style>td{padding:2px}</style></head><body><table>"
            "<tr><td colspan=\"2\">网点查询结果</td></tr>")
    for i, (label, value) in enumerate(zip(labels, values)):
        cell = "<td class=\"fieldtext2\">" if i == len(labels) - 1 else "<td class=\"fieldtext\">"
        html += "<tr><td>" + label + "</td>" + cell + value + "</td></tr>"
    return html + "</table></body></html>"


BRANCH_PAGES = {
    "sample_found": sample_branch_page(),
    "sample_not_found": "<html><head><meta charset=\"utf-8\"></head><body>"
                        "<p>没有找到相关网点</p></body></html>",
    "six_fields": page_of({6: PREFIX19 + "上海浦东</", 10: PREFIX19 + "张三</",
                           14: PREFIX19 + "浦东新区分部</", 18: PREFIX19 + "021-12345678</",
                           22: PREFIX19 + "浦东新区全境，<b>含</b>张江</", 26: PREFIX20 + "崇明岛</"}),
    "ltd_shifts": page_of({6: PREFIX19 + "Acme Ltd Express</", 9: PREFIX19 + "from nine</",
                           10: PREFIX19 + "Li Si</", 25: PREFIX20 + "from twenty-five</",
                           26: PREFIX20 + "Chongming</"}),
    "short_piece": page_of({6: PREFIX19}),
    "upper_case_td": page_of({6: PREFIX19 + "A<TD>B"}),
    "closing_marks": page_of({6: PREFIX19 + "a</b</c<<//"}),
}

# --- branch names (autotests/branch) ------------------------------------------------------------

NAMES = {
    "zhong": "中",
    "shanghai": "上海",
    "e_acute": "é",
    "space_kept": "a b",
    "u007f": "\x7f",
    "u0080": "\x80",
    "u07ff": "\u07ff",
    "u0800": "\u0800",
    "uffff": "\uffff",
    "surrogate_pair": "\U0001F600",
    "lone_surrogates": "A\ud800B\udc00",
    "escapes_pass": "%E4%B8%AD 100%",
    "punctuation": "a&b=c?d#e+f\t",
    "mixed": "A1 中b",
    "outer_spaces": "  上海 浦东 ",
    "tab_edge": "\tA ",
    "full_width_space": " \u3000",
    "spaces_only": "   ",
    "extra_key": "A&age=1#x",
    "sample": "上海浦东",
}

# --- update answers (autotests/app/tst_update_label.cpp) ----------------------------------------

UPDATE_ANSWERS = {
    "same": "V3.2", "same_line_end": "V3.2\r\n", "trailing_blanks": "V3.2 \t\n",
    "next_minor": "V3.3", "minor_as_number": "V3.10", "older_minor": "V3.1",
    "older_major": "V2.9", "next_major": "V4.0", "leading_zero": "V3.02",
    "long_major": "V99999999.0", "huge_major": "V99999999999999999999.0",
    "html_page": "<html><body><h1>404 Not Found</h1></body></html>",
    "proxy_login": "<html><title>Login</title>V3.3</html>", "suffix": "V3.2 beta",
    "leading_space": " V3.3", "lower_v": "v3.3", "no_minor": "V3.", "no_major": "V.3",
    "three_parts": "V3.2.1", "sign": "V+3.3", "full_width_digit": "V３.3", "blank": " \r\n",
}

# --- bodies with their Content-Type (autotests/platform, the services) --------------------------

BODIES = {
    "tracking_gbk_no_charset": b"text/html\n" + gbk(TRACKING_PAGES["sample_signed"]),
    "tracking_gbk_charset": b"text/html; charset=gbk\n" + gbk(TRACKING_PAGES["query_rows_of_3"]),
    "gb2312_quoted": b"text/html; charset=\"GB2312\"\n" + gbk("您查询的单号不存在"),
    "branch_utf8": b"text/html; charset=utf-8\n" + utf8(BRANCH_PAGES["sample_found"][:300]),
    "version_plain": b"text/plain\nV3.2",
    "unknown_charset": b"text/html; charset=x-unknown-42\n" + gbk("中文"),
    "utf16_charset": b"text/plain; Charset = 'UTF-16LE' ; x=1\n" + utf16("V3.2"),
    "latin1": b"text/html;charset=iso-8859-1\n\xe9t\xe9",
    "no_header": gbk("快件状态：已签收"),
    "gbk_four_byte": b"text/plain; charset=gb18030\n" + gbk("\u20ac\U0001F600\u00e9"),
}


def write_corpus(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def dict_line(name, data):
    escaped = "".join(chr(b) if 0x20 <= b < 0x7F and chr(b) not in "\"\\" else "\\x%02X" % b
                      for b in data)
    return '%s="%s"\n' % (name, escaped)


def write_dict(target, words):
    os.makedirs(os.path.join(HERE, "dict"), exist_ok=True)
    with open(os.path.join(HERE, "dict", target + ".dict"), "w") as out:
        out.write("# Markers and phrases the rules look for (written by make_seeds.py).\n")
        seen = set()
        for i, data in enumerate(words):
            if data not in seen:
                seen.add(data)
                out.write(dict_line("w%d" % i, data))


def both(texts):
    """Each text in GBK and in UTF-8."""
    return [gbk(t) for t in texts] + [utf8(t) for t in texts]


def main():
    write_corpus("fuzz_tracking_answer", {n: gbk(p) for n, p in TRACKING_PAGES.items()} |
                 {"utf8_" + n: utf8(TRACKING_PAGES[n]) for n in ("sample_signed", "rules_removal_again")})
    write_corpus("fuzz_request_url", {n: utf8(t) for n, t in NUMBERS.items()} |
                 {"utf16_lone_surrogate": utf16("SF\ud800&1")})
    write_corpus("fuzz_history", HISTORY)
    write_corpus("fuzz_parcels_file", PARCELS_FILES)
    write_corpus("fuzz_branch_page", {n: utf8(p) for n, p in BRANCH_PAGES.items()} |
                 {"gbk_six_fields": gbk(BRANCH_PAGES["six_fields"])})
    write_corpus("fuzz_branch_encoding", {n: utf16(t) for n, t in NAMES.items()})
    write_corpus("fuzz_update_label", {n: utf8(t) for n, t in UPDATE_ANSWERS.items()})
    write_corpus("fuzz_text_codec", BODIES)

    write_dict("fuzz_tracking_answer", both([
        "<tr><td>", "<td>", "</td><td>", "</td></tr>", "<tr>", "</td></tr><tr>", "</table>",
        "</td></tr></table>", "<table>", "<br>", "单号格式错误", "不存在", "不支持的快递公司",
        "请输入", "签", "妥", "派"]))
    write_dict("fuzz_request_url", [b"&", b"#", b"%", b"+", b"=", b"?", b"%26", b"&id=",
                                    b"&type=", b"nu=", b"com=", utf8("中"), gbk("中")])
    write_dict("fuzz_history", [b"\r\n", b"\r", b"\n", b"|", b"||"] + both(["EMS快递", "顺丰快递"]) +
               [b"\x81\x30\x81\x30", b"\x84\x31\xa4\x37", b"\x81\r", b"\x81\x30\r"])
    write_dict("fuzz_parcels_file", [b'"format"', b'"trackoro-parcels"', b'"version"', b'"watch"',
                                      b'"armed"', b'"interval"', b'"parcels"', b'"number"',
                                      b'"company"', b'"status"', b'"time"', b'"progress"', b'"lines"',
                                      b'"queried"', b'"moved"', b'"signed"', b'"delivering"',
                                      b'"in-transit"', b'"no-information"', b'"not-found"',
                                      b'"bad-format"', b'"unsupported"', b'"timed-out"', b'"failed"',
                                      b"true", b"false", b"null", b"32767", b"1796311800000",
                                      b"\\u0000", b"\\ud800", b"<tr><td>", b"</td><td>"] +
               both(["签", "派"]))
    write_dict("fuzz_branch_page", both(["td", "</", "<td>", "</td>", "<<//",
                                         " class=\"fieldtext\">", "网点名称"]))
    write_dict("fuzz_branch_encoding", [utf16(t) for t in [" ", "%", "&", "#", "+", "\x7f", "中",
                                                           "\ud800", "\udc00", "\x80"]])
    write_dict("fuzz_update_label", [b"V", b"V3.2", b"V3.", b".", b"0", b"9", b"\r\n",
                                     b"\xe3\x80\x80", b"\xc2\xa0", utf16("V3.3")])
    write_dict("fuzz_text_codec", [b"text/html", b"; charset=", b"charset=gbk", b"charset=utf-8",
                                   b"gb2312", b"GB18030", b"utf-16", b"utf-7", b"iso-2022-jp",
                                   b"hz-gb-2312", b"\"", b"'", b"\x81\x30\x81\x30", b"\xa1\xa1"])


if __name__ == "__main__":
    main()
