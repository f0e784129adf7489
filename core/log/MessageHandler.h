#pragma once

#include <QString>
#include <QtGlobal>

// Forwards Qt's own messages to the logger (installed by main). The texts pass unchanged: the
// code that writes them already puts its tag and function in front, and release builds keep
// no message context to add.
void customMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
