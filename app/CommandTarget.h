#pragma once

#include <QString>

// Something that answers commands by identifier: the application, a child
// frame, the main frame. A command goes to the first target that knows it;
// a command no target knows is shown disabled.
class CCommandTarget
{
public:
    virtual ~CCommandTarget() = default;

    // Runs the command; false when this target does not handle it.
    virtual bool OnCommand(int id) = 0;
    // Whether the command is available and checked; false when this target
    // does not handle it.
    virtual bool CommandState(int id, bool &enabled, bool &checked) const = 0;
    // The menu text of a command that names what it will do ("Undo
    // Move"); false to keep the command's own text.
    virtual bool CommandText(int id, QString &text) const
    {
        (void)id;
        (void)text;
        return false;
    }
};
