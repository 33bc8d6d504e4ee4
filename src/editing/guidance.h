#pragma once

#include <QString>
#include <QtGlobal>

// The guidance line of the status bar: message 1..8, anything else empty.
QString Disp_MessageText(qint16 MsgNo);
