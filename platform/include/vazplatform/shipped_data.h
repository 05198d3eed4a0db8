// Where a program of the kit finds the data shipped with it: the sample card
// decks, format files and config.ini live in <program folder>/../share/kestrin,
// in the build tree (build/bin, build/share/kestrin) as in an installed kit
// (PREFIX/bin, PREFIX/share/kestrin), so no path of either is built in.
#pragma once

#include <initializer_list>
#include <string>

namespace vazplat {

// The folder of the running program (/proc/self/exe); empty when unknown.
std::string ProgramFolder();

// <program folder>/../share/kestrin, cleaned of "..": empty when the
// program's folder is unknown.
std::string ShippedDataFolder();

// A file named by a user: `file` itself when it exists, is absolute or names
// a folder ("dir/x"); otherwise the first existing SHIPPED/SUBFOLDER/file.
// When none exists, `file` as given, so that the caller reports what the
// user wrote.
std::string FindShippedFile(const std::string& file, std::initializer_list<const char*> subfolders);

}  // namespace vazplat
