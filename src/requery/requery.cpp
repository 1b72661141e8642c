#include "requery/requery.h"

#include "platform/clock.h"
#include "platform/message_boxes.h"

namespace requery {

Requery::Requery(const RequeryControls& controls, platform::MessageBoxes* boxes,
                 const platform::Clock* clock, std::function<void()> runQuery, QWidget* boxParent,
                 QObject* parent)
    : QObject(parent),
      c_(controls),
      boxes_(boxes),
      clock_(clock),
      runQuery_(std::move(runQuery)),
      boxParent_(boxParent) {}

void Requery::Command8_Click() {}

void Requery::Timer4_Timer() {}

void Requery::Command5_Click() {}

void Requery::Timer6_Timer() {}

void Requery::Command10_Click() {}

void Requery::Command11_Click() {}

}  // namespace requery
