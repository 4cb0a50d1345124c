// Whole text files, read and saved safely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vrx4::text_file {

// Reads a whole regular file of at most maxBytes bytes into `text`. The
// file is opened without blocking and refused when it is not a regular file
// (a FIFO or a device could block or never end), so a read never hangs.
// On failure `text` is unchanged and `detail` says why.
bool load(const std::string& path, std::string& text, std::string& detail, std::size_t maxBytes);

// Opens a file for reading as load() does, for a reader that streams it:
// without blocking, without locking it, and only when it is a regular file.
// The descriptor (close it), or -1 with `detail` saying why.
int openRegular(const std::string& path, std::string& detail);

// Writes `text` to `path` through a temporary file in the same directory
// that is renamed over the target (through a symbolic link: over the file
// it points to), keeping an existing file's permissions. A failed save
// leaves the previous file as it was; `detail` gets the reason.
bool save(const std::string& path, std::string_view text, std::string* detail = nullptr);

// The system's text for an errno value.
std::string systemReason(int err);

}  // namespace vrx4::text_file
