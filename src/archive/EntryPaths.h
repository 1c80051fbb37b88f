#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// How entry names are formed from files on disk and files from entry names. The editor's Add
// File, Add Directory and Extract All and the command-line tool share these rules, so both give
// the same names and refuse the same dangerous ones.

/// The folder that the names of a whole added folder are relative to: its parent, so that every
/// name starts with the folder's own name (adding /mods/data names /mods/data/ini/x.ini
/// "data\ini\x.ini"). Relative paths count from the current folder.
std::filesystem::path EntryNameBaseOfFolder(const std::filesystem::path& folder);

/// The name of `file` relative to `base`, its parts joined with '\'. Nullopt when `file` does not
/// lie below `base`. Both are compared as absolute, lexically normalised paths (links are not
/// resolved), so "mods/./data/../data/x.ini" below "mods" is "data\x.ini".
std::optional<std::string> EntryNameRelativeTo(const std::filesystem::path& file,
                                               const std::filesystem::path& base);

/// The name the editor proposes for one added file: its whole absolute path without the root
/// (the drive letter, colon and separator on Windows, the leading '/' elsewhere).
std::string ProposedEntryNameForFile(const std::filesystem::path& file);

/// A name typed by a user with every '/' turned into the archive's separator '\'.
std::string EntryNameWithBackslashes(std::string_view name);

/// The file an entry is extracted to below `folder`, or nullopt with the reason in `reason` when
/// its name would leave the folder (a ".." part, a leading separator, a drive letter) or names a
/// folder rather than a file. Both '\' and '/' separate parts; empty and "." parts are dropped.
std::optional<std::filesystem::path> ExtractionPath(const std::filesystem::path& folder,
                                                    std::string_view entryName, std::string* reason);

} // namespace kestrel
