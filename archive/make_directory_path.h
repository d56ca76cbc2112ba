// Creation of a directory chain below an optional root.
#pragma once

// Creates `root` (not its parents) when missing, then every directory along
// `path` below it. `root` may be null; it must then end with a separator
// when given. Paths of 260 bytes or more are left alone.
void MakeDirectoryPath(const char* root, const char* path);
