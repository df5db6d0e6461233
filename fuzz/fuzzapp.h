#pragma once

#include <QGuiApplication>
#include <glib.h>

// Documents lay out text, which needs fonts and so a GUI application.
inline void startFuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // libgsf warns about every malformed file; millions of lines say nothing.
    g_log_set_default_handler([](const gchar *, GLogLevelFlags, const gchar *, gpointer) {},
                              nullptr);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(argc, argv);
}
