#pragma once
// Text that lumaret-cli prints. File names may hold any byte but "/" and NUL, so a name with a
// line feed could split a "done" line in two and fool a script that reads the output; a name with
// an escape sequence could drive the terminal. Every path and every text taken from a file or an
// encoder is printed through printable().
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace app {

// The text with its control characters written as escapes: "\n", "\r", "\t", "\\" for a
// backslash, "\xHH" for the other C0 controls and DEL, "\u00HH" for the C1 controls (U+0080 to
// U+009F). Everything else, other UTF-8 and bytes that are not UTF-8 included, stays as it is.
std::string printable(std::string_view text);

// The output folder `folder` of `command` ("convert", "command") resolved as the program resolves
// it (convert::QueuedFile::resolveFolder); nothing, with one error line on `err`, for a relative
// folder, which would otherwise land in whatever folder the program was started from.
std::optional<std::string> cliOutputFolder(const char* command, const std::string& folder, std::ostream& err);

}  // namespace app
