// The start-up update check: one second after loading, ask the update server for the label
// of the newest version.
#include "app/main_window.h"
#include "app/update_label.h"
#include "platform/system/browser.h"
#include "platform/system/message_boxes.h"

namespace app {

void Form1::Timer3_Timer() {
    const platform::FetchResult answer =
        Inet1.OpenURL(env_.addresses.update, env_.limits.updateTotal);
    const UpdateJudgement judgement = judgeUpdateAnswer(answer.ok(), answer.text);

    switch (judgement.verdict) {
        case UpdateVerdict::Failed:
            // No answer, an error status or something that is not a version label: the
            // program goes on as it is.
            env_.boxes->warn(this, QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版"));
            finishLoading();
            break;
        case UpdateVerdict::UpToDate:
            finishLoading();
            break;
        case UpdateVerdict::Newer:
            status(QStringLiteral("程序已加载完毕..."));
            env_.boxes->inform(this, QStringLiteral("发现最新版本![") + judgement.label +
                                         QStringLiteral("]\r\n \r\n确定后自动打开官方论坛!"));
            env_.browser->open(env_.addresses.forum);
            endProgram();
            break;
    }
}

void Form1::finishLoading() {
    status(QStringLiteral("程序已加载完毕..."));
    controls_.Command1->setEnabled(true);
    controls_.Text1->setEnabled(true);
    controls_.Timer3->setEnabled(false);
}

}  // namespace app
