#pragma once

#include <QString>
#include <QtGlobal>

// Forwards Qt's own messages to the logger (installed by main).
void customMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
