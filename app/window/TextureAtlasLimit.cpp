#include "app/window/TextureAtlasLimit.h"

#include <QByteArray>

namespace {

const char kWidth[] = "QSG_ATLAS_WIDTH";
const char kHeight[] = "QSG_ATLAS_HEIGHT";

bool &applied()
{
    static bool set = false;
    return set;
}

} // namespace

void TextureAtlasLimit::apply()
{
    if (applied() || qEnvironmentVariableIsSet(kWidth) || qEnvironmentVariableIsSet(kHeight))
        return;
    qputenv(kWidth, QByteArrayLiteral("512"));
    qputenv(kHeight, QByteArrayLiteral("512"));
    applied() = true;
}

QProcessEnvironment TextureAtlasLimit::childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (applied()) {
        environment.remove(QLatin1String(kWidth));
        environment.remove(QLatin1String(kHeight));
    }
    return environment;
}
