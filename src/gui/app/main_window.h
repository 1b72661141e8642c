#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "app/form1_controls.h"
#include "parcels/parcel_list_window.h"
#include "platform/environment.h"
#include "platform/net/http_fetch.h"

namespace history {
class HistoryHandlers;
class NumberHistory;
}  // namespace history
namespace parcels {
struct ParcelsState;
}
namespace requery {
class Requery;
}
namespace watch {
class ParcelWatch;
}
namespace shell {
class ListClickHandler;
}

namespace app {

class QueryFlow;

// The main window: it owns its controls and the modules that work on them (the query,
// the history handlers, the re-query, the list click), wires their signals together, and
// handles the start-up, the update check, the menu, the keys and the exit question. The
// handlers are plain routines: the history pick and the re-query timers run the query
// whether or not its button is enabled.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const platform::Environment& env, QWidget* parent = nullptr);
    ~Form1() override;

    // Every control of the window (each widget's objectName is its name there).
    const Form1Controls& controls() const { return controls_; }

    history::NumberHistory* numberHistory() const { return history_.get(); }
    QueryFlow* queryFlow() const { return queryFlow_; }
    requery::Requery* requery() const { return requery_; }
    history::HistoryHandlers* historyHandlers() const { return historyHandlers_; }
    // The list of every parcel and its watch: null until first used (or, for the watch,
    // until an armed watch of an earlier run has been resumed after the window appeared).
    watch::ParcelWatch* parcelWatch() const { return watch_; }
    parcels::ParcelListWindow* parcelList() const { return parcelList_; }

    // ---- Handlers ----
    void Form_Load();
    void Form_KeyDown(int keyCode, int shift);
    // Returns true when the close is cancelled.
    bool Form_QueryUnload();
    void Combo1_Click();
    void Combo5_Click();
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Timer3_Timer();

    // ---- Routines ----
    void kdlb();

    // Ends the program at once, without the exit question.
    void endProgram();
    bool hasEnded() const { return ended_; }

signals:
    // The program has ended (the update check found a newer version, or the user closed
    // the window and did not cancel).
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void connectModules();
    void exportList();
    void showAbout();
    void showBranchLookup();
    // 全部快件: opens the list of every parcel, or brings the open one forward.
    void showParcelList();
    // The watch of every parcel, made with what its file holds when first needed.
    watch::ParcelWatch* ensureWatch();
    void makeWatch(parcels::ParcelsState saved);
    // After the window appeared: a watch armed in an earlier run goes on.
    void resumeWatch();
    void status(const QString& text);
    // The update check's verdict that the program goes on: the query can start.
    void finishLoading();
    // A change alert: the window asks for attention unless it is the active one.
    void alertChange();
    // A click on a notice: the window comes to the front.
    void bringToFront();

    platform::Environment env_;
    Form1Controls controls_;
    platform::Inet Inet1;  // the blocking fetch of the tracking request and the update check
    std::unique_ptr<history::NumberHistory> history_;
    QueryFlow* queryFlow_ = nullptr;
    shell::ListClickHandler* listClick_ = nullptr;
    requery::Requery* requery_ = nullptr;
    history::HistoryHandlers* historyHandlers_ = nullptr;
    watch::ParcelWatch* watch_ = nullptr;
    QPointer<parcels::ParcelListWindow> parcelList_;

    bool ended_ = false;
    bool centred_ = false;
};

}  // namespace app
