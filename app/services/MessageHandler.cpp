#include "app/services/MessageHandler.h"

#include "core/log/Logger.h"

void customMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    using namespace kvr::log;
    Logger &logger = Logger::instance();
    const quint32 flags = logger.flags();
    quint32 level = 0;
    QString text;
    const QString where = QString::fromLatin1(context.function ? context.function : "");
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        if (!(flags & (ALL | DBG0)))
            return;
        level = DBG0;
        text = message;
        break;
    case QtWarningMsg:
        if (!(flags & (ALL | WRN | WITHOUT_DEBUG)))
            return;
        level = WRN;
        text = QStringLiteral("[Warning] %1 %2").arg(where, message);
        break;
    case QtCriticalMsg:
    case QtFatalMsg:
        if (!(flags & (ALL | ERR | WITHOUT_DEBUG)))
            return;
        level = ERR;
        text = QStringLiteral("[FATAL] %1 %2").arg(where, message);
        break;
    }
    logger.write(LogMessage(level, QStringLiteral("customMessageHandler"), text));
}
