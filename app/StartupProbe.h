#pragma once

#include <QByteArray>
#include <QObject>

#include <atomic>

class QQuickWindow;

// Start-up timing for bench/bench_startup.cpp; idle unless the environment variable
// "ORVA_STARTUP_PROBE" names a file. Then, once the first Qt Quick window has swapped its first
// frame, it writes three lines to that file, "main", "application" and "frame", each followed by
// the steady clock's (CLOCK_MONOTONIC) nanoseconds at which main began, the application object
// existed and that frame was swapped, and quits the application. Construct it first thing in
// main. GUI thread, except that the render thread stamps the frame.
class StartupProbe : public QObject
{
    Q_OBJECT

public:
    StartupProbe();
    ~StartupProbe() override;

    bool isEnabled() const { return !m_path.isEmpty(); }
    // Call right after the application object is made: stamps it and starts watching windows.
    void applicationCreated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QQuickWindow *window);
    void finish();

    QByteArray m_path;
    qint64 m_mainNanoseconds = 0;
    qint64 m_applicationNanoseconds = 0;
    bool m_watching = false;
    std::atomic<qint64> m_frameNanoseconds{0}; // written by the render thread
};
