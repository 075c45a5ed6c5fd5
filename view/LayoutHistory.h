#pragma once

#include <QString>

#include <cstddef>
#include <deque>
#include <utility>

// The layout steps of one view that can be taken back and done again,
// newest last. A step is named for the Edit menu ("Move") and holds the
// layout before and after it; what a layout is belongs to the view, this
// list only keeps them.
template <class Layout>
class CLayoutHistory
{
public:
    // A step holds two whole layouts, which for a large diagram are
    // thousands of places each: the oldest steps go beyond this many.
    static constexpr std::size_t kMaxSteps = 100;

    struct CStep
    {
        QString m_name;
        Layout m_before;
        Layout m_after;
    };

    // A new step ends what could be done again: the undone steps started
    // from a layout that is gone.
    void Record(CStep step)
    {
        m_redo.clear();
        m_undo.push_back(std::move(step));
        if (m_undo.size() > kMaxSteps)
            m_undo.pop_front();
    }

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The step the next undo or redo takes; only while there is one.
    const CStep &NextUndo() const { return m_undo.back(); }
    const CStep &NextRedo() const { return m_redo.back(); }

    // Moves the newest step over to the other list and returns it; only
    // while there is one.
    CStep Undo() { return Transfer(m_undo, m_redo); }
    CStep Redo() { return Transfer(m_redo, m_undo); }

private:
    static CStep Transfer(std::deque<CStep> &from, std::deque<CStep> &to)
    {
        to.push_back(std::move(from.back()));
        from.pop_back();
        return to.back();
    }

    std::deque<CStep> m_undo;
    std::deque<CStep> m_redo;
};
