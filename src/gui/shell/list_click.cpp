#include "shell/list_click.h"

#include "platform/controls/controls.h"
#include "shell/balloon.h"

namespace shell {

namespace {

// The cells of a progress line: the number is the item text, then time and progress.
constexpr int kTimeSubItem = 1;
constexpr int kProgressSubItem = 2;

}  // namespace

ListClickHandler::ListClickHandler(platform::ListView* ListView1, QObject* parent)
    : QObject(parent), listView1_(ListView1) {
    connect(ListView1, &platform::ListView::listClicked, this, &ListClickHandler::ListView1_Click);
}

ListClickHandler::~ListClickHandler() = default;

void ListClickHandler::ListView1_Click() {
    const int row = listView1_.isNull() ? -1 : listView1_->selectedRow();
    // No line selected, or a line without a number: nothing to show.
    if (row < 0 || listView1_->text(row, 0).isEmpty()) {
        emit statusText(noInformationText());
        return;
    }
    const QString timeLine = QStringLiteral("时间:") + listView1_->text(row, kTimeSubItem);
    const QString progressLine =
        QStringLiteral("物流进度:") + listView1_->text(row, kProgressSubItem);

    if (balloon_ == nullptr) {
        balloon_ = new Class1(this);
    }
    balloon_->setParentControl(listView1_);
    balloon_->setToolTipTitle(balloonTitle());
    balloon_->setToolTipText(timeLine + QStringLiteral("\r\n") + progressLine);
    balloon_->Create();
}

}  // namespace shell
