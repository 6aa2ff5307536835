// What a view that edits rich text offers the font toolbar: its current
// character format, and applying one to its selection.
#pragma once

#include "platform/Types.h"

class CCharFormatView {
public:
    virtual ~CCharFormatView() = default;
    // The format of the selection; the mask marks the parts that are uniform.
    virtual bool GetViewCharFormat(CHARFORMAT& format) = 0;
    // Applies the marked parts of a format to the selection.
    virtual void SetViewCharFormat(const CHARFORMAT& format) = 0;
};
