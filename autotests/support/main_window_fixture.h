#pragma once

#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/query_flow.h"
#include "base/text_codec.h"
#include "test_environment.h"
#include "test_http_server.h"

namespace testsupport {

// The main window against a local service that answers the update check with "V3.2" and
// the tracking path with whatever the test sets.
class MainWindowFixture {
public:
    MainWindowFixture() {
        if (!server.start()) {
            qFatal("the local test service cannot listen");
        }
        server.setResponse("/jc.txt", TestHttpServer::Response::text("V3.2", "text/plain"));
        t.env.addresses.tracking = server.url(QStringLiteral("/"));
        t.env.addresses.update = server.url(QStringLiteral("/jc.txt"));
        t.env.addresses.branchSite = server.url(QString());
    }

    // Creates and shows the window; with `checked` the update check has run (up to date).
    app::Form1* open(bool checked = true) {
        form = std::make_unique<app::Form1>(t.env);
        form->show();
        if (checked) {
            form->controls().Timer3->fire();
        }
        return form.get();
    }

    // The tracking service answers every query with this text (sent in GBK).
    void answer(const QString& page) {
        server.setResponse("/", TestHttpServer::Response::text(base::toGbk(page).value()));
    }

    // Fills the query fields and presses "开始查询"; returns when the answer has been
    // handled (the parse included, when there were rows).
    void query(const QString& number, const QString& courier, const QString& remark) {
        form->controls().Text1->setText(number);
        form->controls().Combo1->setText(courier);
        form->controls().Text2->setText(remark);
        QTest::mouseClick(form->controls().Command1, Qt::LeftButton);
        finishParse();
    }

    // Runs the pending result parse at once instead of waiting for its tick.
    void finishParse() {
        if (form->controls().Timer1->isEnabled()) {
            form->controls().Timer1->fire();
        }
    }

    QByteArray historyBytes() const {
        QFile file(t.programFile(QStringLiteral("wlnum.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void writeHistory(const QByteArray& bytes) {
        QFile file(t.programFile(QStringLiteral("wlnum.ini")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write the history file");
        }
    }

    // The tracking rows as the service writes them.
    static QString rows(const QList<QPair<QString, QString>>& steps) {
        QString html = QStringLiteral("<table>");
        for (const auto& step : steps) {
            html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(step.first, step.second);
        }
        return html + QStringLiteral("</table>");
    }
    static QString rowsOf(int count, const QString& last = QStringLiteral("运输中")) {
        QList<QPair<QString, QString>> steps;
        for (int i = 1; i <= count; ++i) {
            steps.append({QStringLiteral("2026-12-0%1 10:00").arg(i % 9 + 1),
                          i == count ? last : QStringLiteral("第%1站").arg(i)});
        }
        return rows(steps);
    }

    TestEnvironment t;
    TestHttpServer server;
    std::unique_ptr<app::Form1> form;
};

}  // namespace testsupport
