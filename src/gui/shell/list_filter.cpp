#include "shell/list_filter.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

#include "platform/controls/controls.h"

namespace shell {

namespace {

// Swallows the mouse presses and double-clicks that land on a column divider (with the
// moves and the release of such a press), whatever resize mode the header has.
class DividerFilter : public QObject {
public:
    explicit DividerFilter(QHeaderView* header) : QObject(header), header_(header) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                if (onDivider(mouse->position().toPoint())) {
                    swallowing_ = true;
                    return true;
                }
                break;
            }
            case QEvent::MouseMove:
                if (swallowing_) {
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease:
                if (swallowing_) {
                    swallowing_ = false;
                    return true;
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Within the grip margin of a section's edge, as the header itself decides it.
    bool onDivider(const QPoint& pos) const {
        const int grip =
            header_->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header_);
        const int x = header_->orientation() == Qt::Horizontal ? pos.x() : pos.y();
        for (int visual = 0; visual < header_->count(); ++visual) {
            const int logical = header_->logicalIndex(visual);
            if (header_->isSectionHidden(logical)) {
                continue;
            }
            const int start = header_->sectionViewportPosition(logical);
            const int end = start + header_->sectionSize(logical);
            if ((visual > 0 && x >= start && x < start + grip) ||
                (x >= end - grip && x <= end + grip)) {
                return true;
            }
        }
        return false;
    }

    QHeaderView* header_;
    bool swallowing_ = false;
};

}  // namespace

void installListFilter(platform::ListView* list) {
    if (list == nullptr) {
        return;
    }
    QHeaderView* header = list->header();
    // Fixed sections: no divider to drag, no fitting by double-click, clicks still arrive.
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->viewport()->installEventFilter(new DividerFilter(header));
}

}  // namespace shell
