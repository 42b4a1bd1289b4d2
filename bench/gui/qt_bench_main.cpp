// The main of the view benchmarks: a QApplication on the offscreen platform (unless the caller
// chose another one), then Google Benchmark with the command line it was given. With
// --generate_track_table=<records> it only makes (or finds) that generated table and prints its
// file name, for the memory measurement of the real program.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "track_table_generator.h"

namespace {

// The offscreen platform says on every shown window that it cannot propagate size hints; that
// line would bury the results.
QtMessageHandler g_qtHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (g_qtHandler) {
        g_qtHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kGenerate = "--generate_track_table=";
    if (argc == 2 && std::string_view(argv[1]).rfind(kGenerate, 0) == 0) {
        const long records = std::strtol(argv[1] + kGenerate.size(), nullptr, 10);
        if (records <= 0) {
            std::fprintf(stderr, "Anzahl der Titel fehlt: %s\n", argv[1]);
            return 2;
        }
        const std::string name = "Fenster" + std::to_string(records);
        std::puts(klango::bench::generatedTrackTable(name.c_str(), records).c_str());
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    g_qtHandler = qInstallMessageHandler(quietHandler);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
