// "config.ini" as the shell reads it: every key through LauncherSettings, then one value
// written back and read again, as the shell does when it saves a setting it has read.

#include "FuzzSupport.h"

#include "app/settings/LauncherSettings.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

using Key = LauncherSettings::Key;
const Key kKeys[] = {Key::FullScreen,          Key::LastAddress,         Key::LastUsername, Key::AutoLogoutPeriod,
                     Key::VersionCheckPeriod, Key::SelectedVersionPath, Key::Language};

// The shell reads the file with its QApplication alive, and so does this target.
// Never destroyed: at exit it would go after the objects it needs.
QGuiApplication *guiApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_config_ini";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication *const application = new QGuiApplication(argc, argv);
    return application;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = (silenceMessages(), guiApplication(), true);
    Q_UNUSED(once)
    static QTemporaryDir dir;
    static quint64 count = 0;
    if (size == 0 || size > 1 << 16 || !dir.isValid())
        return 0;
    // A new name each time: QSettings keeps parsed files by name and rereads by time stamp.
    const QString path = dir.filePath(QStringLiteral("config-%1.ini").arg(++count));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    {
        LauncherSettings settings(path);
        settings.isReadable();
        QVariant values[std::size(kKeys)];
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            values[i] = settings.value(kKeys[i]);
            // As the typed getters take them.
            values[i].toBool();
            values[i].toInt();
            values[i].toString();
        }
        // Each write rewrites the whole file: one key per input keeps the fuzzer fast. What it
        // reads back is not checked: QSettings itself does not read back every text it writes
        // (a NUL inside a value, say), so only crashes, leaks and undefined behaviour count.
        const size_t i = data[0] % std::size(kKeys);
        settings.setValue(kKeys[i], values[i]);
        settings.value(kKeys[i]);
    }
    QFile::remove(path);
    return 0;
}
