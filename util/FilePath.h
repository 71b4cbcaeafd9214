// FilePath: the library's UTF-16 file names as the file system takes them.
#pragma once

#include <filesystem>
#include <string>

// A file name as the file system takes it.
std::string NativeFileName(const std::u16string& fileName);

// A file name as a path; UTF-8 in between, so that no conversion can throw.
std::filesystem::path ToPath(const std::u16string& fileName);
