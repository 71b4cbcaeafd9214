/// \file
/// TDavReadSink: what the reader of the host's file tells an observer about the lines it reads
/// (target r407::exchange). `ziv audit` reports the problems of a host file through it; a
/// program reports them the same way (TJGdata::SetReadSink).
#pragma once

#include <string_view>

/// An observer of TJGdata::OpenTempFile and TJGdata::OpenTempBytes. The reader calls Line
/// once for each line of the file, in file order, before it parses that line; while the line
/// is parsed it calls Finding for each thing it skipped or mended in it, zero or more times.
/// A finding therefore always belongs to the line last given to Line, and a program numbers
/// the lines by counting the calls of Line (the first line is line 1). The model comes out
/// the same with or without an observer.
///
/// A program derives from this class, gives an object of it to TJGdata::SetReadSink before
/// reading and keeps it alive while the file is read; the model does not own it. Both
/// functions are called on the thread that reads.
class TDavReadSink {
public:
    virtual ~TDavReadSink() = default;
    /// Each line of the file, empty ones included, without its line break. The view is valid
    /// only during the call: copy what is to be kept.
    virtual void Line(std::u16string_view text) = 0;
    /// The current line (the one last given to Line) was skipped, or a value of it was
    /// replaced by its default. reason is one English sentence in ASCII that says which and
    /// why, for example "an unknown key" or "a base point that is not one digit 0..8: 0 is
    /// taken"; its wording may change between versions. Valid only during the call.
    virtual void Finding(std::string_view reason) = 0;
};
