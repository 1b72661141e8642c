#include "platform/system/qt_translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace platform {

bool installQtTranslation(QCoreApplication& application) {
    // Stored uncompressed, so the translator reads it where it lies in the program.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral(":/trackoro/translations/qtbase_zh_CN.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace platform
