// The query: check the inputs, ask the tracking service, classify its answer, record the
// number and hand the rows over to the result parse.
#include "app/main_window.h"
#include "history/number_history.h"
#include "platform/message_boxes.h"
#include "tracking/answer.h"
#include "tracking/request_url.h"

namespace app {

namespace {
constexpr int kMaxRowCount = 32767;  // the row count is a 16-bit counter
}

void Form1::Command1_Click() {
    const QString number = Text1->text();
    if (number.isEmpty()) {
        Text1->setFocus();
        status(QStringLiteral("请输入快递单号!"));
        return;
    }
    if (number.contains(QLatin1Char('|'))) {
        status(QStringLiteral("单号不正确,请您检查!"));
        return;
    }
    if (Combo1->text().isEmpty()) {
        Combo1->setFocus();
        status(QStringLiteral("请选择快递公司!"));
        return;
    }
    if (Text2->text().isEmpty()) {
        status(QStringLiteral("请输入快递备注信息,例如：爸爸衣服"));
        return;
    }

    Label3->setText(QStringLiteral("快件状态：未查询"));
    Command1->setEnabled(false);
    ListView1->clear();
    saveFailed_ = false;

    if (!kdgs(Text1->text())) {
        // No connection, a time-out, an error status or an oversized body: nothing is
        // recorded and the query can be tried again.
        status(QStringLiteral("查询失败,请检查网络连接!"));
        Command1->setEnabled(true);
        return;
    }
    if (resultPage_.isEmpty()) {
        status(QStringLiteral("暂无物流信息,请稍后再试!"));
        Command1->setEnabled(true);
        return;
    }

    switch (tracking::classifyAnswer(resultPage_)) {
        case tracking::AnswerKind::BadFormat:
            status(QStringLiteral("单号格式错误!请检查!"));
            Command1->setEnabled(true);
            return;
        case tracking::AnswerKind::NotFound: {
            const auto answer = env_.boxes->ask(
                this, QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"));
            if (answer == platform::MessageBoxes::Answer::Yes) {
                saveNumber();
                Text1->clearList();
                history_->dq();
                if (saveFailed_) {
                    // Never "saved" when the history file could not be written.
                    env_.boxes->warn(this, history::NumberHistory::saveFailedText());
                } else {
                    env_.boxes->inform(this, QStringLiteral("单号已成功保存"));
                }
            }
            Command1->setEnabled(true);
            return;
        }
        case tracking::AnswerKind::Unsupported:
            status(QStringLiteral("系统问题,暂不支持当前快递公司!"));
            Command1->setEnabled(true);
            return;
        case tracking::AnswerKind::PleaseEnter:
            status(QStringLiteral("请输入正确的单号!"));
            Command1->setEnabled(true);
            return;
        case tracking::AnswerKind::Empty:
        case tracking::AnswerKind::Data:
            break;
    }

    saveNumber();
    hx2();
    if (rowCount_ == 0) {
        // An answer without a single row: the number is kept, and the user is told. No
        // parse follows, so the answer (up to the body cap) is let go here.
        csh();
        // A history file that could not be written is worth more than "no information".
        status(saveFailed_ ? history::NumberHistory::saveFailedText()
                           : QStringLiteral("暂无物流信息,请稍后再试!"));
        Command1->setEnabled(true);
    }
}

bool Form1::kdgs(const QString& number) {
    status(queryingText(Combo1->text()));
    const QUrl url = tracking::requestUrl(env_.addresses.tracking, courierCode_, number);
    const platform::FetchResult answer = Inet1.OpenURL(url, env_.limits.trackingTotal);
    if (!answer.ok()) {
        return false;
    }
    resultPage_ = answer.text;
    return true;
}

QString Form1::queryingText(const QString& courier) {
    return courier + QStringLiteral("快递查询中...");
}

void Form1::saveNumber() {
    if (!history_->xr()) {
        saveFailed_ = true;
    }
}

void Form1::hx2() {
    const int found = tracking::countRowMarkers(resultPage_);
    rowCount_ = std::min(kMaxRowCount, rowCount_ + found);
    if (found > 0) {
        Timer1->setEnabled(true);
    }
}

void Form1::csh() {
    resultPage_.clear();
    rowCount_ = 0;
}

}  // namespace app
