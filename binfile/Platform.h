#pragma once
#include <string>

// File-system services that differ between Windows and the rest. Paths are UTF-8.

// Puts the file `from` in the place of `to` in one step, replacing an existing `to`.
// On Windows the move is retried briefly while another program (a virus scanner, the
// game) holds either file. Returns true on success; on failure `error` (if given) holds
// the system's reason and both files are as they were.
bool ReplaceFileAtomically(const std::string& from, const std::string& to, std::string* error = nullptr);
