// The main of the view benchmarks: a QApplication on the offscreen platform (unless the caller
// chose another one), then Google Benchmark with the command line it was given.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QString>

namespace {

// The offscreen platform says on every shown window that it cannot propagate size hints; that
// line would bury the results.
QtMessageHandler g_qtHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (g_qtHandler) g_qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    g_qtHandler = qInstallMessageHandler(quietHandler);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
