// The program's style: group-box frames as Fusion draws them, without Qt's image reader
// loading every image-format plugin for them. Its own executable, so that no other test has
// loaded an image before.
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "platform/style.h"

namespace {

// Whether an image-format plugin is mapped into this process.
bool imagePluginLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return false;
    }
    return maps.readAll().contains("/imageformats/");
}

enum class Box { Titled, Untitled, CheckableTitled, CheckableUntitled, Flat, LargeFont };

// A group box holding a label, `style` its own, painted at `ratio`.
QImage painted(QStyle* style, Box kind, qreal ratio) {
    QGroupBox box(kind == Box::Untitled || kind == Box::CheckableUntitled
                      ? QString()
                      : QStringLiteral("物流跟踪 Tracking"));
    box.setStyle(style);
    box.setCheckable(kind == Box::CheckableTitled || kind == Box::CheckableUntitled);
    box.setFlat(kind == Box::Flat);
    if (kind == Box::LargeFont) {
        QFont font = box.font();
        font.setPointSize(font.pointSize() * 2);
        box.setFont(font);
    }
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(QStringLiteral("快件单号")));
    box.resize(180, 90);
    QImage image((box.size() * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    box.render(&image);
    return image;
}

}  // namespace

Q_DECLARE_METATYPE(Box)

class TstStyle : public QObject {
    Q_OBJECT

private slots:
    // Runs first: nothing in this process has read an image yet. The style is set up as the
    // program sets it up, over the desktop's default (here Fusion).
    void paintingAFrameLoadsNoImagePlugin() {
        QVERIFY(!imagePluginLoaded());
        QApplication::setStyle(new platform::ProgramStyle);
        const QImage image = painted(QApplication::style(), Box::Titled, 1);
        QVERIFY(!image.isNull());
        QVERIFY(!imagePluginLoaded());
        // The check itself: Fusion alone reads its frame image through every plugin.
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        painted(fusion.get(), Box::Titled, 1);
        QVERIFY(imagePluginLoaded());
    }

    void framesAreTheBaseStylesOwn_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<Box>("kind");
        QTest::addColumn<qreal>("ratio");
        const std::pair<const char*, Box> kinds[] = {{"titled", Box::Titled},
                                                     {"untitled", Box::Untitled},
                                                     {"checkable", Box::CheckableTitled},
                                                     {"checkable untitled", Box::CheckableUntitled},
                                                     {"flat", Box::Flat},
                                                     {"large font", Box::LargeFont}};
        for (const QString& base : {QStringLiteral("Fusion"), QStringLiteral("Windows")}) {
            for (const auto& [name, kind] : kinds) {
                for (const qreal ratio : {1.0, 2.0}) {
                    QTest::addRow("%s, %s, x%g", qPrintable(base), name, ratio)
                        << base << kind << ratio;
                }
            }
        }
    }
    void framesAreTheBaseStylesOwn() {
        QFETCH(QString, base);
        QFETCH(Box, kind);
        QFETCH(qreal, ratio);
        std::unique_ptr<QStyle> plain(QStyleFactory::create(base));
        platform::ProgramStyle program(QStyleFactory::create(base));
        const QImage expected = painted(plain.get(), kind, ratio);
        const QImage actual = painted(&program, kind, ratio);
        QCOMPARE(actual.size(), expected.size());
        QVERIFY(actual == expected);
    }
};

QTEST_MAIN(TstStyle)
#include "tst_style.moc"
