// What a page operation reports back: done, or refused with the message box the window shows.
#pragma once

enum class OutcomeKind {
    Done,    // the change was made (or there was nothing to change)
    Refused, // a rule refused it; m_title and m_text name the message box texts
    Failed,  // the database or the keyboard did not take it
    Ignored, // nothing selected, or the operation does not apply; nothing to tell the user
};

struct [[nodiscard]] ServiceOutcome {
    OutcomeKind m_kind = OutcomeKind::Done;
    int m_title = 0; // text ids of the message box, 0 when none
    int m_text = 0;

    static ServiceOutcome Done() { return {}; }
    // Done, but the user is told something (the window shows the message box anyway).
    static ServiceOutcome Warned(int title, int text) { return {OutcomeKind::Done, title, text}; }
    static ServiceOutcome Refused(int title, int text) { return {OutcomeKind::Refused, title, text}; }
    static ServiceOutcome Failed() { return {OutcomeKind::Failed, 0, 0}; }
    static ServiceOutcome Ignored() { return {OutcomeKind::Ignored, 0, 0}; }
    bool Ok() const { return m_kind == OutcomeKind::Done; }
};
