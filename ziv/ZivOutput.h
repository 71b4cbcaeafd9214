// ZivOutput: where a command's result goes. Standard output is written as the result is made;
// a file is written whole at the end, replacing the old one at once, so that a failure leaves
// the old file (or none) and never half a result.
#pragma once

#include <cstdio>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>

#include "ziv/ZivError.h"

class TZivOutput {
public:
    // path "-" or empty is standard output.
    explicit TZivOutput(std::string path);
    // Into memory: every byte is appended to *memory.
    explicit TZivOutput(std::string* memory);
    // Into an open stream, written as the result is made, like standard output.
    explicit TZivOutput(std::FILE* stream);
    TZivOutput(const TZivOutput&) = delete;
    TZivOutput& operator=(const TZivOutput&) = delete;

    void Write(std::string_view bytes);
    // Ends the result: flushes standard output, or replaces the file. Throws TZivError.
    void Commit();

private:
    void Flush();

    std::string path_;
    std::FILE* stream_;  // standard output or another open stream; nullptr for a file
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
