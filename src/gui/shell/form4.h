#pragma once

#include <QDialog>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;

namespace platform {
class BrowserLauncher;
}

namespace shell {

// The controls of the about window, each widget's objectName being its name here.
struct Form4Controls {
    QLabel* aicAlphaImage1 = nullptr;  // the logo
    QLabel* Label9 = nullptr;          // name and copyright
    QLabel* Label10 = nullptr;         // version
    QLabel* Label1 = nullptr;          // credits
    QLabel* Label2 = nullptr;          // the known problems and their explanations
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label3 = nullptr;  // 联系方式：
    QLabel* Label4 = nullptr;  // YY
    QLabel* Label5 = nullptr;  // QQ link
    QLabel* Label6 = nullptr;  // e-mail link
    QFrame* Line2 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;         // forum link
    QPushButton* Command1 = nullptr;  // 确定
};

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
    void buildHeader();
    void buildProblems();
    void buildContacts();
    void buildForumLink();
    // Places a control at a position and size given in twips.
    void place(QWidget* widget, int left, int top, int width, int height);
    // Places a label at a position in twips, as large as its text.
    void placeLabel(QLabel* label, int left, int top);
    void open(const QUrl& url);

    platform::BrowserLauncher* browser_;
    QUrl forumUrl_;
    Form4Controls controls_;
};

}  // namespace shell
