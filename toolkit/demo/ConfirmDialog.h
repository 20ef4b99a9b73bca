// The demo's modal child dialog: a question with OK and Cancel.
#pragma once

#include "TavikUI/MDialog.h"

class ConfirmDialog : public TavikUI::MDialog {
public:
    void InitUI(TavikUI::CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
};
