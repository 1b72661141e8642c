#include "sample_service.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QRegularExpression>
#include <QStringList>
#include <QUrlQuery>

#include "base/text_codec.h"

namespace sample {

namespace {

struct Step {
    const char* time;
    const char* progress;
};

// The rows of the service's answers: "<tr><td>time</td><td>progress</td></tr>", one after
// the other, the last one closing the table.
QString rowsHtml(const QList<Step>& steps) {
    QString html = QStringLiteral("<table>");
    for (const Step& step : steps) {
        html += QStringLiteral("<tr><td>") + QString::fromUtf8(step.time) +
                QStringLiteral("</td><td>") + QString::fromUtf8(step.progress) +
                QStringLiteral("</td></tr>");
    }
    return html + QStringLiteral("</table>");
}

const QList<Step> kTransit = {
    {"2026-12-01 09:12:40", "【深圳】顺丰速运 已收取快件"},
    {"2026-12-01 18:30:05", "【深圳】快件已发车，下一站 深圳宝安集散中心"},
    {"2026-12-02 02:44:51", "【深圳宝安集散中心】快件已到达"},
    {"2026-12-02 05:10:17", "【深圳宝安集散中心】快件已发车，下一站 上海浦东集散中心"},
    {"2026-12-03 07:58:33", "【上海浦东集散中心】快件已到达"},
};

QList<Step> withLast(QList<Step> steps, Step last) {
    steps.append(last);
    return steps;
}

}  // namespace

SampleService::SampleService() = default;

SampleService::~SampleService() = default;

quint16 SampleService::listen(quint16 port) {
    server_ = std::make_unique<QHttpServer>();
    server_->route(QStringLiteral("/"), [this](const QHttpServerRequest& request) {
        seen(request.url());
        const QUrlQuery query = request.query();
        const QString code = query.queryItemValue(QStringLiteral("com"), QUrl::FullyDecoded);
        const QString number = query.queryItemValue(QStringLiteral("nu"), QUrl::FullyDecoded);
        // GBK without a charset in the header, like the real service.
        return QHttpServerResponse(QByteArrayLiteral("text/html"), trackingAnswer(code, number));
    });
    server_->route(QStringLiteral("/jc.txt"), [this](const QHttpServerRequest& request) {
        seen(request.url());
        return QHttpServerResponse(QByteArrayLiteral("text/plain"), versionFile());
    });
    server_->route(QStringLiteral("/query_list.asp"), [this](const QHttpServerRequest& request) {
        seen(request.url());
        const QString name =
            request.query().queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded);
        return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), branchPage(name));
    });
    port_ = server_->listen(QHostAddress::LocalHost, port);
    return port_;
}

void SampleService::seen(const QUrl& url) const {
    if (requestSeen_) {
        requestSeen_(url);
    }
}

QByteArray SampleService::trackingAnswer(const QString& code, const QString& number) {
    static const QRegularExpression wellFormed(QStringLiteral("^[A-Za-z0-9]{4,20}$"));
    QString html;
    if (!wellFormed.match(number).hasMatch()) {
        html = QStringLiteral("<p>单号格式错误，请核对后再查询</p>");
    } else if (code.isEmpty()) {
        html = QStringLiteral("<p>请输入快递公司代码</p>");
    } else if (number == signedNumber()) {
        html = rowsHtml(
            withLast(kTransit, {"2026-12-03 15:21:09", "已签收，签收人：本人 感谢使用顺丰"}));
    } else if (number == deliveringNumber()) {
        html = rowsHtml(withLast(
            kTransit, {"2026-12-03 09:02:44", "正在派送途中，派件员：王师傅 电话 13800000000"}));
    } else if (number == transitNumber()) {
        html = rowsHtml(kTransit);
    } else if (number == growingNumber()) {
        // Gains one line on every request, so the change alert can be seen.
        QList<Step> steps = kTransit.mid(0, 2);
        static const char* const kTimes[] = {"2026-12-04 08:00:00", "2026-12-04 09:00:00",
                                             "2026-12-04 10:00:00", "2026-12-04 11:00:00",
                                             "2026-12-04 12:00:00", "2026-12-04 13:00:00"};
        const int extra = growingRequests_++;
        for (int i = 0; i < extra; ++i) {
            steps.append(Step{kTimes[i % 6], "【上海浦东集散中心】快件正在分拣"});
        }
        html = rowsHtml(steps);
    } else {
        html = QStringLiteral("<p>您查询的单号不存在或者已经过期</p>");
    }
    return base::toGbk(html).value();
}

QByteArray SampleService::branchPage(const QString& name) {
    if (name.trimmed() != sampleBranch()) {
        return QStringLiteral(
                   "<html><head><meta charset=\"utf-8\"></head><body>"
                   "<p>没有找到相关网点</p></body></html>")
            .toUtf8();
    }
    // The page is read by cutting it at every "t" "d" pair, so the cells are laid out
    // exactly: each value cell's attribute text is as long as the reader skips.
    const QStringList labels = {QStringLiteral("网点名称"), QStringLiteral("负责人"),
                                QStringLiteral("网点名称"), QStringLiteral("联系电话"),
                                QStringLiteral("派送范围"), QStringLiteral("不派送范围")};
    const QStringList values = {
        QStringLiteral("上海浦东"),
        QStringLiteral("李经理"),
        QStringLiteral("上海浦东新区营业部"),
        QStringLiteral("021-50000000"),
        QStringLiteral(
            "浦东新区陆家嘴、张江、金桥、川沙、周浦、康桥、三林、北蔡、花木、洋泾等街道全境"),
        QStringLiteral("外高桥保税区、洋山港区")};
    QString html = QStringLiteral(
        "<html><head><meta charset=\"utf-8\"><title>网点查询</title>"
        "<style>td{padding:2px}</style></head><body><table>"
        "<tr><td colspan=\"2\">网点查询结果</td></tr>");
    for (int i = 0; i < labels.size(); ++i) {
        const QString cell = i == labels.size() - 1 ? QStringLiteral("<td class=\"fieldtext2\">")
                                                    : QStringLiteral("<td class=\"fieldtext\">");
        html += QStringLiteral("<tr><td>") + labels.at(i) + QStringLiteral("</td>") + cell +
                values.at(i) + QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("</table></body></html>");
    return html.toUtf8();
}

}  // namespace sample
