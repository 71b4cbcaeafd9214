// DavReadSink: what the reader of the host's file tells an observer about the lines it reads.
// The reader does the same with or without one; without one it only tests a null pointer.
#pragma once

#include <string_view>

class TDavReadSink {
public:
    virtual ~TDavReadSink() = default;
    // Each line of the file, empty ones included, in file order, before it is parsed.
    virtual void Line(std::u16string_view text) = 0;
    // The current line was skipped, or a value of it was replaced; reason says which and why.
    virtual void Finding(std::string_view reason) = 0;
};
