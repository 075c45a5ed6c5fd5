#pragma once

// The texts of one command: its menu entry (with "\t" before the key name,
// which is text only), the prompt the status bar shows while the entry or
// its toolbar button is highlighted, the toolbar tooltip and the toolbar
// image. Any of them may be null.
struct CCommandText
{
    int m_id;
    const char *m_menuText;
    const char *m_prompt;
    const char *m_toolTip;
    const char *m_image;
};

// The texts of a command identifier, or null for an unknown one.
const CCommandText *FindCommandText(int id);
