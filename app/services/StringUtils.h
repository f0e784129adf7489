#pragma once

#include <QString>

// Splits "host:p1:p2:p3" in place; ports that are not numbers read as 0.
// Returns false, changing nothing, when the address holds no ":".
bool splitAddressPorts(QString &address, int *port1, int *port2 = nullptr, int *port3 = nullptr);

// "1.19.11" -> "1.19"; empty without a ".".
QString removeLastVersionPart(const QString &version);

// Style 0: snake_case, 1: CamelCase, anything else: unchanged.
QString convertKeyCase(const QString &text, int style);
