#pragma once
// Whole-file saving that never leaves a half-written file behind: the bytes go to a
// temporary file in the target's folder, are flushed to disk, and the temporary file is then
// moved over the target in one step. If anything fails the temporary file is removed, the
// old file stays as it was, and the failure is raised.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Raises EFCreateError when the temporary file cannot be created, EWriteError when writing,
// flushing or the final replacement fails.
void WriteFileAtomically(const std::string& path, const std::string& bytes);
void WriteFileAtomically(const std::string& path, const void* data, size_t size);
// The file made of the pieces one after the other, without joining them first.
void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces);
// The file made of the pieces `next` gives one after the other until it gives an empty one;
// each piece is written before the next is asked for, so a large file is never whole in
// memory.
void WriteFileAtomically(const std::string& path, const std::function<std::string_view()>& next);

// The step that moves the finished temporary file over the target. Returns an empty text on
// success, else a description of the failure. Replaceable so that tests can make it fail.
using TFileReplaceFunc = std::string (*)(const std::string& tempPath,
                                         const std::string& targetPath);
// Installs func (nullptr restores the operating-system step); returns the one it replaced.
TFileReplaceFunc SetFileReplaceFunc(TFileReplaceFunc func);

// Removes what saves of `path` that were ended half-way left beside it: the temporary files
// named as this module names them ("<name>.~<process id>-<number>.tmp") whose process no
// longer runs. Files of a process still running, and every other file, are left alone.
// Returns how many files were removed; a folder that cannot be listed removes nothing.
int RemoveStaleTemporaryFiles(const std::string& path);
