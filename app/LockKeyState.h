#pragma once

// The state of the Caps Lock, Num Lock and Scroll Lock keys. Qt has no
// portable query for it; under X11 the keyboard extension's named
// indicators answer, elsewhere the state is unknown.
struct CLockKeyState
{
    bool m_known = false;
    bool m_caps = false;
    bool m_num = false;
    bool m_scroll = false;

    static CLockKeyState Query();
};
