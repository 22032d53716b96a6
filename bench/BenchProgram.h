#pragma once
// What the window benchmarks share: an offscreen application whose message
// boxes answer themselves, and the shared state start-up leaves.
#include <cstdio>
#include <functional>
#include <memory>
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCoreApplication>
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/Form.h"
#include "vb/MsgBox.h"

namespace bench {

// Every window unloaded and the shared state reset, then the shared invoice
// and client made as start-up makes them (without the main window).
inline void ResetProgram() {
    forms::Form::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    Globals::ResetState();
    const QString path = Globals::DataFilePath();
    Globals::SharedInvoice = std::make_shared<Invoice>();
    Globals::SharedInvoice->InitAccess(path);
    Globals::SharedClient = std::make_shared<Client>();
    Globals::SharedClient->InitAccess(path);
}

// Runs the benchmarks the command line names; before runs first (to make
// the data file outside every timing).
inline int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& before = {}) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A box would wait for a click that never comes.
    vb::setMsgBoxHandler([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message: %s\n", prompt.toUtf8().constData());
        return int(vb::vbOK);
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (before) before();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    forms::Form::unloadAll();
    Globals::ResetState();
    return 0;
}

} // namespace bench
