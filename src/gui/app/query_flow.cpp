#include "app/query_flow.h"

#include <QColor>
#include <algorithm>

#include "history/number_history.h"
#include "platform/system/media_player.h"
#include "platform/system/message_boxes.h"
#include "platform/system/notifier.h"
#include "tracking/answer.h"
#include "tracking/catalogue.h"
#include "tracking/change_notice.h"
#include "tracking/request_url.h"
#include "tracking/result_parser.h"

namespace app {

QueryFlow::QueryFlow(const Form1Controls& controls, const platform::Environment& env,
                     history::NumberHistory* history, platform::Inet& inet, QWidget* boxParent,
                     QObject* parent)
    : QObject(parent),
      c_(controls),
      env_(env),
      history_(history),
      inet_(inet),
      boxParent_(boxParent) {}

void QueryFlow::chooseCourier() {
    const int position = c_.Combo1->listIndex();
    if (position >= 0 && position < tracking::kCourierCount) {
        courierCode_ = tracking::courierCode(position);
    }
}

void QueryFlow::run() {
    if (!inputsReady()) {
        return;
    }
    c_.Label3->setText(QStringLiteral("快件状态：未查询"));
    c_.Command1->setEnabled(false);
    c_.ListView1->clear();
    numberSaved_ = {};
    asked_ = {c_.Combo1->text(), c_.Text1->text(), c_.Text2->text()};
    if (!fetchAndRecord()) {
        // The query ended here: it can be tried again.
        c_.Command1->setEnabled(true);
    }
}

bool QueryFlow::inputsReady() {
    const QString number = c_.Text1->text();
    if (number.isEmpty()) {
        c_.Text1->setFocus();
        status(QStringLiteral("请输入快递单号!"));
        return false;
    }
    if (number.contains(QLatin1Char('|'))) {
        status(QStringLiteral("单号不正确,请您检查!"));
        return false;
    }
    if (c_.Combo1->text().isEmpty()) {
        c_.Combo1->setFocus();
        status(QStringLiteral("请选择快递公司!"));
        return false;
    }
    if (c_.Text2->text().isEmpty()) {
        status(QStringLiteral("请输入快递备注信息,例如：爸爸衣服"));
        return false;
    }
    return true;
}

bool QueryFlow::fetchAndRecord() {
    if (!kdgs(c_.Text1->text())) {
        // No connection, a time-out, an error status or an oversized body: nothing is
        // recorded.
        status(QStringLiteral("查询失败,请检查网络连接!"));
        return false;
    }
    if (resultPage_.isEmpty()) {
        status(QStringLiteral("暂无物流信息,请稍后再试!"));
        return false;
    }
    switch (tracking::classifyAnswer(resultPage_)) {
        case tracking::AnswerKind::BadFormat:
            status(QStringLiteral("单号格式错误!请检查!"));
            return false;
        case tracking::AnswerKind::NotFound:
            offerToSaveUnknown();
            return false;
        case tracking::AnswerKind::Unsupported:
            status(QStringLiteral("系统问题,暂不支持当前快递公司!"));
            return false;
        case tracking::AnswerKind::PleaseEnter:
            status(QStringLiteral("请输入正确的单号!"));
            return false;
        case tracking::AnswerKind::Empty:
        case tracking::AnswerKind::Data:
            break;
    }
    saveNumber();
    hx2();
    if (rowCount_ > 0) {
        return true;
    }
    // An answer without a single row: the number is kept, and the user is told. No parse
    // follows, so the answer (up to the body cap) is let go here.
    csh();
    // A history file that could not be written is worth more than "no information".
    status(!numberSaved_ ? history::NumberHistory::saveFailedText()
                         : QStringLiteral("暂无物流信息,请稍后再试!"));
    return false;
}

void QueryFlow::offerToSaveUnknown() {
    const auto answer = env_.boxes->ask(
        boxParent_, QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"));
    if (answer != platform::MessageBoxes::Answer::Yes) {
        return;
    }
    saveNumber();
    c_.Text1->clearList();
    history_->dq();
    if (!numberSaved_) {
        // Never "saved" when the history file could not be written.
        env_.boxes->warn(boxParent_, history::NumberHistory::saveFailedText());
    } else {
        env_.boxes->inform(boxParent_, QStringLiteral("单号已成功保存"));
    }
}

bool QueryFlow::kdgs(const QString& number) {
    status(queryingText(c_.Combo1->text()));
    const QUrl url = tracking::requestUrl(env_.addresses.tracking, courierCode_, number);
    const platform::FetchResult answer = inet_.OpenURL(url, env_.limits.trackingTotal);
    if (!answer.ok()) {
        return false;
    }
    resultPage_ = answer.text;
    return true;
}

QString QueryFlow::queryingText(const QString& courier) {
    return courier + QStringLiteral("快递查询中...");
}

void QueryFlow::saveNumber() {
    numberSaved_ = history_->xr();
    if (!numberSaved_) {
        status(history::NumberHistory::saveFailedText());
    }
}

void QueryFlow::hx2() {
    const int found = tracking::countRowMarkers(resultPage_);
    rowCount_ = std::min(tracking::kMaxRowCount, rowCount_ + found);
    if (found > 0) {
        c_.Timer1->setEnabled(true);
    }
}

void QueryFlow::csh() {
    resultPage_.clear();
    rowCount_ = 0;
}

void QueryFlow::resetLineCounts() {
    previousLineCount_ = 0;
    currentLineCount_ = 0;
}

void QueryFlow::showResult() {
    const QVector<tracking::ProgressLine> parsed =
        tracking::parseResultPage(resultPage_, rowCount_);

    // The finished list is what inserting each row at the top would give; it is filled in
    // one pass.
    const int time = c_.ListView1->subItemIndex(QStringLiteral("sj"));
    const int progress = c_.ListView1->subItemIndex(QStringLiteral("wl"));
    QVector<platform::ListViewModel::Line> lines;
    lines.reserve(parsed.size());
    const int columns = c_.ListView1->listModel()->columnCount();
    for (const tracking::ProgressLine& row : parsed) {
        platform::ListViewModel::Line line;
        line.cells.resize(columns);
        line.colors.resize(columns);
        line.cells[0] = row.number;
        line.cells[time] = row.time;
        line.cells[progress] = row.progress;
        lines.append(std::move(line));
    }
    if (!lines.isEmpty()) {
        // The newest line's time and progress in red; its number keeps the default colour.
        lines[0].colors[time] = QColor(255, 0, 0);
        lines[0].colors[progress] = QColor(255, 0, 0);
    }
    c_.ListView1->listModel()->setLines(std::move(lines));

    csh();
    previousLineCount_ = currentLineCount_;
    currentLineCount_ = std::min(c_.ListView1->count(), tracking::kMaxRowCount);
    c_.Timer1->setEnabled(false);
    // A history file that could not be written is worth more than "done".
    status(!numberSaved_ ? history::NumberHistory::saveFailedText()
                         : QStringLiteral("查询完毕..."));
    c_.Command1->setEnabled(true);
    if (c_.ListView1->count() > 0) {
        c_.Label3->setText(tracking::parcelStatus(c_.ListView1->text(0, progress)));
    }
    gxtj();
}

void QueryFlow::gxtj() {
    if (previousLineCount_ < currentLineCount_) {
        c_.Label7->setText(QStringLiteral("是否更新：有更新"));
        platform::setForeColor(c_.Label7, QColor(255, 0, 0));
        c_.W1->setUrl(env_.programFile(QStringLiteral("ts.mp3")));
        notifyChange();
    } else {
        c_.Label7->setText(QStringLiteral("是否更新：无更新"));
        platform::setForeColor(c_.Label7, QColor(0, 0, 0));
    }
}

void QueryFlow::notifyChange() {
    if (env_.notifier && c_.ListView1->count() > 0) {
        const int time = c_.ListView1->subItemIndex(QStringLiteral("sj"));
        const int progress = c_.ListView1->subItemIndex(QStringLiteral("wl"));
        env_.notifier->notify(tracking::changeNotice(asked_, c_.ListView1->text(0, time),
                                                     c_.ListView1->text(0, progress)));
    }
    emit changeAlerted();
}

}  // namespace app
