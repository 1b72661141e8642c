#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace platform {
class BrowserLauncher;
}

namespace shell {

// The about window "关于程序": logo, name, version, the known problems, the author's
// contacts and the forum link. Shown modally with exec(); "确定" ends it with accept().
class Form4 : public QDialog {
    Q_OBJECT
public:
    Form4(platform::BrowserLauncher* browser, const QUrl& forumUrl, QWidget* parent = nullptr);

    // The address each link label hands to the browser.
    static QUrl chatUrl();
    static QUrl mailUrl();
    QUrl forumUrl() const { return forumUrl_; }

    void Label5_Click();
    void Label6_Click();
    void Label8_Click();
    void Command1_Click();

private:
    // Places a control at a position and size given in twips.
    void place(QWidget* widget, int left, int top, int width, int height);
    // Places a label at a position in twips, as large as its text.
    void placeLabel(QLabel* label, int left, int top);
    void open(const QUrl& url);

    platform::BrowserLauncher* browser_;
    QUrl forumUrl_;
};

}  // namespace shell
