// ZivOutput: where a command's result goes. It is written as it is made, a piece at a time,
// so that a large result is never held whole: to standard output, to a device or FIFO named
// by -o (which cannot be replaced and are written through), or to a regular file, which is
// written beside its target and put in its place at the end, so that a failure leaves the
// old file (or none) and never half a result. A symbolic link is followed and its target
// replaced.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>

#include "ziv/ZivError.h"

class TZivOutput {
public:
    // path "-" is standard output. An empty path or a folder is refused (TZivError).
    explicit TZivOutput(std::string path);
    // Into memory: every byte is appended to *memory.
    explicit TZivOutput(std::string* memory);
    // Into an open stream, written as the result is made, like standard output.
    explicit TZivOutput(std::FILE* stream);
    TZivOutput(const TZivOutput&) = delete;
    TZivOutput& operator=(const TZivOutput&) = delete;
    // Without Commit, a file being written is removed and its target left as it was.
    ~TZivOutput();

    void Write(std::string_view bytes);
    // Ends the result: flushes the stream, or puts the new file in its target's place.
    // Throws TZivError.
    void Commit();

private:
    void Flush();
    void OpenFile();

    std::string path_;              // as given, for messages
    std::filesystem::path target_;  // the file replaced, symbolic links followed
    std::filesystem::path temp_;    // the new file while it is written
    std::FILE* stream_ = nullptr;   // where the bytes go; nullptr into memory
    bool owned_ = false;            // stream_ was opened here and is closed here
    std::string* memory_ = nullptr;
    std::string buf_;
};

// The whole content of a file, or of standard input for "-". Throws TZivError.
std::string ReadInput(const std::string& path);

// A file, or standard input for "-", opened for reading as it goes. Throws TZivError.
class TZivInput {
public:
    explicit TZivInput(const std::string& path);
    std::istream& Stream() { return file_.is_open() ? file_ : *stdin_; }

private:
    std::ifstream file_;
    std::istream* stdin_ = nullptr;
};
