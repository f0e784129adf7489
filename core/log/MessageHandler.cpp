#include "core/log/MessageHandler.h"

#include "core/log/Logger.h"

void customMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    using namespace kvr::log;
    Logger &logger = Logger::instance();
    const quint32 flags = logger.flags();
    quint32 level = 0;
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        if (!(flags & (ALL | DBG0)))
            return;
        level = DBG0;
        break;
    case QtWarningMsg:
        if (!(flags & (ALL | WRN | WITHOUT_DEBUG)))
            return;
        level = WRN;
        break;
    case QtCriticalMsg:
    case QtFatalMsg:
        if (!(flags & (ALL | ERR | WITHOUT_DEBUG)))
            return;
        level = ERR;
        break;
    }
    logger.write(LogMessage(level, QStringLiteral("customMessageHandler"), message));
}
