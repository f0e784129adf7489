#pragma once

#include <QString>

namespace restservice {

// What the body decoder reports; a null reason means there was nothing to report.
struct ErrorInfo
{
    int code = 0;
    QString reason;
    QString message;
};

} // namespace restservice
