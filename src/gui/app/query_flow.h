#pragma once

#include <QObject>
#include <QString>

#include "app/form1_controls.h"
#include "base/result.h"
#include "platform/environment.h"
#include "platform/net/http_fetch.h"
#include "tracking/change_notice.h"

namespace history {
class NumberHistory;
}

namespace app {

// One query of the main window and the state it keeps between events: check the inputs,
// ask the tracking service, classify its answer, record the number, and on the next tick
// of Timer1 turn the rows into the progress list, the parcel status and the change alert.
class QueryFlow : public QObject {
    Q_OBJECT
public:
    // `inet` is the window's blocking fetch; `boxParent` the window the boxes belong to.
    QueryFlow(const Form1Controls& controls, const platform::Environment& env,
              history::NumberHistory* history, platform::Inet& inet, QWidget* boxParent,
              QObject* parent = nullptr);

    // "开始查询".
    void run();
    // The courier selector was clicked: the selected courier's code is the one queried.
    void chooseCourier();
    // Asks the tracking service; false when the transfer failed (the result page is then
    // left as it was).
    bool kdgs(const QString& number);
    // What the status bar says while `courier` is asked.
    static QString queryingText(const QString& courier);
    // Counts the answer's rows and, when there are any, starts the result parse.
    void hx2();
    // Lets the answer go.
    void csh();
    // The result parse, on the first tick of Timer1 after a query with rows.
    void showResult();
    // The change alert: more lines than the query before shows "有更新" and plays the alert.
    void gxtj();
    // The next answer is compared against no lines at all.
    void resetLineCounts();

    QString courierCode() const { return courierCode_; }
    QString resultPage() const { return resultPage_; }
    int rowCount() const { return rowCount_; }
    int previousLineCount() const { return previousLineCount_; }
    int currentLineCount() const { return currentLineCount_; }

signals:
    // A text for the message panel.
    void statusText(const QString& text);
    // The change alert went off: the desktop has been told of the newest line.
    void changeAlerted();

private:
    // Says what is missing and returns false when the inputs cannot be queried.
    bool inputsReady();
    // Asks, classifies and records; true when the answer's rows wait for the result parse
    // (the query button then stays disabled until the parse is done).
    bool fetchAndRecord();
    // Asks whether to keep a number the service does not know, and keeps it if so.
    void offerToSaveUnknown();
    void saveNumber();
    // Tells the desktop of the newest line of an answer that grew.
    void notifyChange();
    void status(const QString& text) { emit statusText(text); }

    const Form1Controls& c_;
    const platform::Environment& env_;
    history::NumberHistory* history_;
    platform::Inet& inet_;
    QWidget* boxParent_;

    QString courierCode_;
    // Per-query state, reset together by csh.
    QString resultPage_;
    int rowCount_ = 0;
    // Change alert counters.
    int previousLineCount_ = 0;
    int currentLineCount_ = 0;
    // How the running query's save of its number into the history went.
    base::Result numberSaved_;
    // The courier, number and remark the running query asked about.
    tracking::AskedParcel asked_;
};

}  // namespace app
