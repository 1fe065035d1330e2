#pragma once

#include <string>

// Files of the user's own that no other local user may read: the service
// journal holds the units' PINs and the owners' phone numbers. One
// implementation per operating system (PrivateFilesPosix.cpp,
// PrivateFilesWin32.cpp); paths are UTF-8.
namespace k57::privatefiles {

// Makes `folder` (whose parent exists) the user's alone from the start.
// False when it is not there afterwards.
bool MakeFolder(const std::string& folder);

// Makes `path` (a file or a folder) the user's alone: 0600 / 0700, or an
// access list that names the user alone (which a folder's new files
// inherit). False when it could not be done.
bool MakePrivate(const std::string& path, bool folder = false);

// Whether this user may write `path` (which exists).
bool Writable(const std::string& path);

// A file this user owns but may not write (a leftover of another run)
// made writable again, the user's alone. False when it still cannot be
// written.
bool MendWritable(const std::string& path);

}  // namespace k57::privatefiles
