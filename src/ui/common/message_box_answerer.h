#pragma once

#include "common/dialogs.h"

// Shows the texts of the Dialogs seam in real message boxes, with French buttons.
class MessageBoxAnswerer : public Dialogs::Answerer
{
public:
    bool show(Dialogs::Kind kind, const QString &text, bool defaultYes) override;
    Dialogs::Answer ask(const QString &text) override;
};
