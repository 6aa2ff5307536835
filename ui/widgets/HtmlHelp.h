// The one entry through which the program shows help: a page of the help
// folder in the help window.
#pragma once

#include "platform/Types.h"

#include <QString>

class QWidget;

enum : UINT { HH_DISPLAY_TOPIC = 0x0000, HH_CLOSE_ALL = 0x0012 };

// HH_DISPLAY_TOPIC shows the topic (the contents page when empty) of the help
// folder and answers the help window; HH_CLOSE_ALL closes it. Null when the
// page cannot be shown or the command is unknown.
QWidget* HtmlHelp(QWidget* owner, const QString& helpFolder, UINT command, const QString& topic = {});
