#pragma once

#include <string>

// What a reader of an open result set needs: the next row, and a value of
// it as text. The session is one; so is a made-up result set in a test.
class CRowSource
{
public:
    virtual ~CRowSource() = default;
    // The next row; the end of the rows gives -31003.
    virtual int Fetch() = 0;
    virtual int GetColumnText(int column, std::string &text) = 0;
};
