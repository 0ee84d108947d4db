#pragma once

#include <string>

namespace brivant::sys {

// The few calls whose way of doing things differs from one system to another, chosen when the
// program is built (core/system/System<Name>.cpp): everything else the program does with files
// is the same standard calls everywhere. Each call sets errno where it fails.

// A file with no name yet in `folder`, open for writing; -1 where the system (or its file
// system there) has none, and the content is then written under a temporary name instead.
int OpenUnnamed(const std::string& folder);
// Gives the unnamed file open as `fd` the name `name`; false when it cannot.
bool NameUnnamed(int fd, const std::string& name);
// What was written to `fd` on the disk; false when the system says it is not.
bool SyncFile(int fd);
// The names made in `folder` on the disk too; a folder that cannot be synced is left as it is.
void SyncFolder(const std::string& folder);
// The new file `fd` gets the owner of the file it replaces, where this process may give it.
void KeepOwner(int fd, unsigned owner, unsigned group);
// A second name for a file; false when it cannot (EEXIST when `to` is taken).
bool HardLink(const std::string& from, const std::string& to);
// Whether this process may write the file.
bool CanWrite(const std::string& path);
// The folder for the program's temporary files.
std::string TempFolder();
// Whether the open descriptor `fd` is a terminal (standard output shown to a person).
bool IsTerminal(int fd);

}  // namespace brivant::sys
