// FilePath: the library's UTF-16 file names as the file system takes them.
#include "FilePath.h"

#include "Utf8.h"

std::string NativeFileName(const std::u16string& fileName) {
    return ToUtf8(fileName);
}

std::filesystem::path ToPath(const std::u16string& fileName) {
    const std::string utf8 = NativeFileName(fileName);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
