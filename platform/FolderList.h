#pragma once
// Files of one folder found by a search pattern, and reading a file named by
// a UTF-16 path. A pattern is a folder (everything up to its last '/', none
// for the current folder) followed by a name in which '*' stands for any run
// of characters and '?' for any one character.
#include <cstddef>
#include <string>
#include <vector>

// The names (without the folder) of the regular files of the pattern's
// folder whose names match the pattern's name with ASCII case ignored, in
// name order with ASCII case ignored (names equal so are ordered by their
// code units). Empty when nothing matches or the folder cannot be read. A
// name that is no valid UTF-8 on disk is left out: it could not be opened
// again through the name it would be given.
std::vector<std::u16string> FindFiles(const std::u16string& pattern);

// True when the name matches the pattern ('*', '?'), ASCII case ignored.
bool MatchesNoCase(const std::u16string& name, const std::u16string& pattern);

// Reads the whole regular file at path into bytes; false when it is missing,
// is not a regular file, holds more than maxSize bytes or cannot be read.
bool ReadFileBytes(const std::u16string& path, size_t maxSize, std::string* bytes);
