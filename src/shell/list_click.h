#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace platform {
class ListView;
class StatusBar;
}  // namespace platform

namespace shell {

class Class1;

// The progress list's click handler: opens the clicked line in a balloon titled
// "物流跟踪信息". The balloon is made on the first click that shows a line and kept for the
// life of the handler. Connect `ListView1_Click` to the list's `listClicked`.
class ListClickHandler : public QObject {
    Q_OBJECT
public:
    ListClickHandler(platform::ListView* ListView1, platform::StatusBar* S1,
                     QObject* parent = nullptr);
    ~ListClickHandler() override;

    void ListView1_Click();

    // The balloon; null until a click has shown a line.
    Class1* balloon() const { return balloon_; }

    static QString balloonTitle() { return QStringLiteral("物流跟踪信息"); }
    static QString noInformationText() { return QStringLiteral("当前没有物流信息"); }

private:
    QPointer<platform::ListView> listView1_;
    QPointer<platform::StatusBar> s1_;
    Class1* balloon_ = nullptr;
};

}  // namespace shell
