#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace platform {
class ListView;
}  // namespace platform

namespace shell {

class Class1;

// The progress list's click handler: opens the clicked line in a balloon titled
// "物流跟踪信息". The balloon is made on the first click that shows a line and kept for the
// life of the handler. A click without a line to show is told through `statusText`.
class ListClickHandler : public QObject {
    Q_OBJECT
public:
    // Connects the list's `listClicked` to `ListView1_Click`.
    explicit ListClickHandler(platform::ListView* ListView1, QObject* parent = nullptr);
    ~ListClickHandler() override;

    void ListView1_Click();

    // The balloon; null until a click has shown a line.
    Class1* balloon() const { return balloon_; }

    static QString balloonTitle() { return QStringLiteral("物流跟踪信息"); }
    static QString noInformationText() { return QStringLiteral("当前没有物流信息"); }

signals:
    // A text for the main window's message panel.
    void statusText(const QString& text);

private:
    QPointer<platform::ListView> listView1_;
    Class1* balloon_ = nullptr;
};

}  // namespace shell
