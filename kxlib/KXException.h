#pragma once
// KXException: the base of the library's exceptions. They report programming errors only (a null
// smart pointer dereferenced, a thread started twice); ordinary failures are results, never
// exceptions. The message names the throw site, the kind and a description:
//   "File:<file> Line:<line> Name:<name()> Description:<description>\n"
// or, without a file or with line 0, "Name:<name()> Description:<description>\n".
#include <exception>
#include <string>

namespace KXLib {

class KXException : public virtual std::exception {
public:
    // file is not copied: pass a string constant such as __FILE__ (or null).
    KXException(const char* file, int line, std::string description);
    ~KXException() override;

    // Throws a copy of this exception as its most-derived kind; every subclass overrides it.
    [[noreturn]] virtual void raise() const;
    // The kind's name, as shown in the message.
    virtual const char* name() const;

    // The message above. The text stays valid while this exception object lives.
    const char* what() const noexcept override;

    const char* file() const { return file_; }
    int line() const { return line_; }
    const std::string& description() const { return description_; }

private:
    const char* file_;
    int line_;
    std::string description_;
    mutable std::string message_;   // filled by what()
};

}  // namespace KXLib
