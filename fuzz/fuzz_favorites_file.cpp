// The favourites file as the launcher finds it on disk: loaded into the model, saved and loaded
// again. Whatever was accepted must save, and a second save must write the same bytes.

#include "FuzzSupport.h"

#include "devices/models/FavoriteDeviceModel.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fuzzFailure("a saved favourites file cannot be opened");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = (silenceMessages(), true);
    Q_UNUSED(once)
    static QTemporaryDir dir;
    if (size > 1 << 20 || !dir.isValid())
        return 0;
    const QString input = dir.filePath(QStringLiteral("favorite_connections.json"));
    const QString first = dir.filePath(QStringLiteral("first.json"));
    const QString second = dir.filePath(QStringLiteral("second.json"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }

    FavoriteDeviceModel model;
    model.load(input);
    if (!model.save(first))
        fuzzFailure("a loaded list does not save");
    FavoriteDeviceModel again;
    again.load(first);
    if (again.rowCount() != model.rowCount())
        fuzzFailure("a saved list loads with another number of entries");
    if (!again.save(second))
        fuzzFailure("a reloaded list does not save");
    if (contentOf(first) != contentOf(second))
        fuzzFailure("saving a reloaded list writes other bytes");
    return 0;
}
