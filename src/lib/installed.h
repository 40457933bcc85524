// Where the program finds its own files, whether it runs from its build
// folder, an unpacked zip or an installed tree (/usr/bin beside
// /usr/share/doc/orvanel), and where it writes when its own folder is not
// writable.
#pragma once

#include <string>

/// FILE_NAME beside the program when it is there, else in the installed
/// documentation folder when it is there, else beside the program (so that
/// opening it fails as it always did).
std::string FindProgramDocument(const std::string& fileName);

/// FILE_NAME in the user's state folder (see plat::UserStateFolder); empty
/// when there is none. The folder is not created here.
std::string MakeUserStatePath(const std::string& fileName);

/// Creates the folder that PATH is in, with its parents; true when it exists
/// afterwards.
bool CreateFolderOf(const std::string& path);
