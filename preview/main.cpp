// quillgen-preview: renders as quillgen does, serves the pages on this machine, and
// renders again whenever a file the pages were made from is saved, telling the open
// pages over a WebSocket.

#include "driver/commandline.h"
#include "driver/hexception.h"
#include "driver/interrupt.h"
#include "driver/run.h"
#include "preview/previewfolder.h"
#include "preview/previewserver.h"
#include "preview/renderschedule.h"
#include "preview/servedfiles.h"
#include "preview/sourcewatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

namespace {

struct Options {
    quint16 port = 8000;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    bool open = false;
    std::vector<char *> quillgenArguments; // the program's name first, as main has them
};

[[noreturn]] void stop(const QByteArray &message) {
    std::fflush(stdout);
    std::fprintf(stderr, "error: %s\n", message.constData());
    std::exit(1);
}

void printUsage() {
    std::fputs("usage: quillgen-preview [--port N] [--bind ADDRESS] [--open] [-o directory] [-v]\n"
               "                        input_source_files...\n"
               "\n"
               "Renders the inputs as quillgen does, serves the pages at\n"
               "http://ADDRESS:N/ (default 127.0.0.1:8000; --port 0 takes any free port) and\n"
               "renders again whenever a file they were made from is saved. --open opens the\n"
               "first page in the desktop's browser.\n",
               stderr);
}

Options readOptions(int argc, char **argv) {
    Options options;
    options.quillgenArguments.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--open") {
            options.open = true;
        } else if (argument == "--port" || argument == "--bind") {
            if (i + 1 >= argc)
                stop(argument + ": a value is expected");
            const QByteArray value(argv[++i]);
            if (argument == "--port") {
                bool ok = false;
                const uint port = value.toUInt(&ok);
                if (!ok || port > 65535)
                    stop("--port: '" + value + "' is not a port number (0 to 65535)");
                options.port = quint16(port);
            } else {
                const QString name = QString::fromUtf8(value);
                options.address = name == QLatin1String("localhost")
                                      ? QHostAddress(QHostAddress::LocalHost)
                                      : QHostAddress(name);
                if (options.address.isNull())
                    stop("--bind: '" + value + "' is not an IP address");
            }
        } else {
            options.quillgenArguments.push_back(argv[i]);
        }
    }
    return options;
}

// The URL path of a file written under root (absolute), or an empty string for one
// outside it.
QString urlPath(const ServedRoot &root, const QString &fileName) {
    const QString relative = root.relative(fileName);
    if (relative.isEmpty())
        return relative;
    return QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(relative, "/"));
}

QByteArray renderMessage(int number, const RunReport &report, const ServedRoot &root) {
    QJsonArray changed;
    for (const QString &name : report.changed) {
        const QString path = urlPath(root, name);
        if (!path.isEmpty())
            changed.append(path);
    }
    QJsonObject message;
    message.insert(QLatin1String("render"), number);
    message.insert(QLatin1String("status"), report.status);
    message.insert(QLatin1String("error"), report.error);
    message.insert(QLatin1String("warnings"), QJsonArray::fromStringList(report.warnings));
    message.insert(QLatin1String("changed"), changed);
    message.insert(QLatin1String("pages"), report.pages.size());
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray liveScript() {
    QFile file(QStringLiteral(":/preview/live.js"));
    if (!file.open(QIODevice::ReadOnly))
        stop("the live-reload script is missing from the program");
    return file.readAll();
}

int preview(int argc, char **argv) {
    const Options options = readOptions(argc, argv);
    CommandLine line;
    try {
        line = parseCommandLine(int(options.quillgenArguments.size()),
                                const_cast<char **>(options.quillgenArguments.data()));
    } catch (const HException &error) {
        stop(error.message());
    }
    if (line.inputs.isEmpty()) {
        printUsage();
        return 1;
    }
    // Warnings are what the panel shows: on, unless the variable says otherwise.
    if (!qEnvironmentVariableIsSet("QUILLGEN_WARNINGS"))
        qputenv("QUILLGEN_WARNINGS", "1");

    QString problem;
    ServedRoot root = servedRoot(line, problem);
    if (!problem.isEmpty())
        stop(problem.toUtf8());

    int renders = 1;
    QElapsedTimer clock;
    clock.start();
    RunReport report = runAgain(line);
    if (report.status == 1 && !report.started)
        return 1; // an unknown value of a variable: said already
    if (!root.settle(problem))
        stop(problem.toUtf8());

    PreviewServer server(root.canonical(), liveScript());
    const quint16 port = server.listen(options.address, options.port, problem);
    if (port == 0)
        stop("cannot listen on " + options.address.toString().toUtf8() + ':' +
             QByteArray::number(options.port) + ": " + problem.toUtf8());
    const QString firstPage =
        report.pages.isEmpty() ? QString() : urlPath(root, report.pages.first());
    server.setFirstPage(firstPage);
    // Listening on every address, the page is at this machine's own.
    QHostAddress shown = options.address;
    if (shown == QHostAddress(QHostAddress::AnyIPv4))
        shown = QHostAddress(QHostAddress::LocalHost);
    else if (shown == QHostAddress(QHostAddress::AnyIPv6))
        shown = QHostAddress(QHostAddress::LocalHostIPv6);
    QString authority = shown.toString();
    if (shown.protocol() == QAbstractSocket::IPv6Protocol)
        authority = QLatin1Char('[') + authority + QLatin1Char(']');
    const QString url = QStringLiteral("http://%1:%2%3")
                            .arg(authority)
                            .arg(port)
                            .arg(firstPage.isEmpty() ? QStringLiteral("/") : firstPage);

    auto announce = [&](qint64 milliseconds) {
        server.announce(renders, renderMessage(renders, report, root));
        const qsizetype changed =
            std::count_if(report.changed.cbegin(), report.changed.cend(),
                          [](const QString &name) { return isPageName(name); });
        const qsizetype warnings = report.warnings.size();
        std::printf("Rendered in %lld ms: %lld page%s changed, %lld warning%s\n",
                    static_cast<long long>(milliseconds), static_cast<long long>(changed),
                    changed == 1 ? "" : "s", static_cast<long long>(warnings),
                    warnings == 1 ? "" : "s");
        std::fflush(stdout);
    };

    RenderSchedule *schedule = nullptr;
    SourceWatch watch([&schedule] { schedule->request(); });
    RenderSchedule renderAgain(25, [&] {
        clock.restart();
        watch.beforeRender();
        report = runAgain(line);
        ++renders;
        watch.watch(report.read, report.missing);
        announce(clock.elapsed());
    });
    schedule = &renderAgain;
    watch.watch(report.read, report.missing);
    announce(clock.elapsed());
    std::printf("Previewing at %s (Ctrl-C stops)\n", qPrintable(url));
    std::fflush(stdout);
    if (options.open && !QProcess::startDetached(QStringLiteral("xdg-open"), {url}))
        std::fprintf(stderr, "quillgen-preview: cannot open a browser (xdg-open); open %s\n",
                     qPrintable(url));
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv) {
    // Ctrl-C ends the preview as it ends a run: a page being written is finished first.
    installStopHandlers();
    try {
        int appArgc = argc;
        QCoreApplication app(appArgc, argv);
        return preview(argc, argv);
    } catch (const std::bad_alloc &) {
        exitOutOfMemory();
    }
}
