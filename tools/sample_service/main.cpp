// The sample service: answers the tracking, update and branch requests of the program on
// 127.0.0.1, so a whole query can be seen without the internet.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "sample_service.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trackoro-sample-service"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sample services for Trackoro's demo."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port on 127.0.0.1 (default: a free one)."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    parser.addOption(port);
    parser.process(application);

    sample::SampleService service;
    // Each request on a line of its own, so a watcher (or a test driving the program) sees
    // what the program asked for and when.
    service.setRequestSeen([](const QUrl& url) {
        printf("request: %s\n",
               url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority).constData());
        fflush(stdout);
    });
    const quint16 bound = service.listen(static_cast<quint16>(parser.value(port).toUInt()));
    if (bound == 0) {
        fprintf(stderr, "cannot listen on 127.0.0.1:%s\n", qPrintable(parser.value(port)));
        return 1;
    }
    printf("listening on http://127.0.0.1:%u/\n", static_cast<unsigned>(bound));
    printf("sample numbers: %s (signed), %s (out for delivery), %s (in transit), %s (grows)\n",
           qPrintable(sample::SampleService::signedNumber()),
           qPrintable(sample::SampleService::deliveringNumber()),
           qPrintable(sample::SampleService::transitNumber()),
           qPrintable(sample::SampleService::growingNumber()));
    fflush(stdout);
    return QCoreApplication::exec();
}
