// FileReplace: replacing a whole file so that no reader ever sees it half-written, and
// clearing away what an interrupted replacement left behind.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

// Writes bytes to a temporary file in the target's folder ("<name>.<12 hex digits>.tmp"), has
// it put on the disk and puts it in the target's place, so that no reader ever sees a
// half-written file, not even after a power loss. A read-only target (Platform: its
// attribute, or its mode bits) and a folder of that name are not replaced. On failure the
// temporary file is removed, the target is left as it was, and false is returned.
bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes);

// Whether the file is marked read-only, so that WriteFileReplacing does not replace it: on
// Windows its attribute, elsewhere no write permission for anyone in its mode bits.
bool IsReadOnlyFile(const std::u16string& fileName);

// Whether WriteFileReplacing could replace fileName now, and a failed save could still remove
// it: the file is not marked read-only, and its folder takes a new file and lets it be removed
// again. Tried with an empty temporary file by the name WriteFileReplacing uses, so that the
// folder's permissions, attributes and access rules all have their say.
bool CanReplaceFile(const std::u16string& fileName);

// A name for a temporary file beside the target that no other writer picks, as
// WriteFileReplacing names its own ("<name>.<12 hex digits>.tmp"), so that
// RemoveStaleTemporaries also finds one that another writer left behind. attempt tells the
// names of one writer's retries apart.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned attempt = 0);

// Removes the temporary files of WriteFileReplacing for this target that a run ended in the
// middle of a save (killed, or the machine going down) left behind: those at least
// minimumAge old, so that a save under way in another process keeps its own.
void RemoveStaleTemporaries(const std::u16string& fileName,
                            std::chrono::seconds minimumAge = std::chrono::minutes(1));
